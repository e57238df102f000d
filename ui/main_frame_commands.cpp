// The main window's menu commands. The six database commands each run one flow
// from the file choice through the working copy or list and the navaid dialog
// to a result screen; Close and Info need no flow.
#include <string>

#include "afxdlgs.h"
#include "file_slots.h"
#include "main_frame.h"
#include "navaid_db.h"
#include "navaid_dialogs.h"

namespace {

constexpr char kDatabaseFilter[] = "QVZ files (*.qvz)|*.qvz| NewQVZ files (*.new)|*.new||";

// Shows the file-choice screen and asks for the database file. On a choice
// the family's source slot holds it and the slots are returned; on Cancel
// the screen says there is no database and the result is null.
FamilySlots* ChooseDatabase(CMainFrame& frame, navaid::Family family) {
    frame.SetScreen(ScreenChooseFile);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kDatabaseFilter);
    if (dialog.DoModal() != IDOK) {
        frame.SetScreen(ScreenNoDatabase);
        return nullptr;
    }
    SetSourcePath(FileSlots, family, static_cast<LPCSTR>(dialog.GetPathName()));
    return &FileSlots[family];
}

// Ends a flow whose file work failed: shows the screen that follows (an
// unreadable database is no database; an output that could not be written
// means nothing was done), then tells the user which file failed and why.
void FailFlow(CMainFrame& frame, const navaid::Outcome& outcome, const std::string& sourcePath) {
    const bool sourceFailed = outcome.file == sourcePath;
    frame.SetScreen(sourceFailed ? ScreenNoDatabase : ScreenNoAction);
    std::string text = sourceFailed ? "The database file could not be read:\n"
                                    : "The file could not be written:\n";
    text += outcome.file.empty() ? std::string("(no file)") : outcome.file;
    text.append("\n\n").append(outcome.reason);
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
}

// Add and delete: file choice, working copy, the family's dialog, result.
template <class TDialog>
void RunEditFlow(CMainFrame& frame, navaid::Family family) {
    FamilySlots* chosen = ChooseDatabase(frame, family);
    if (chosen == nullptr) return;
    FamilySlots& slots = *chosen;
    slots.workingCopyPath = navaid::WorkingCopyName(slots.sourcePath);
    const navaid::Outcome copied = navaid::MakeWorkingCopy(slots.sourcePath, slots.workingCopyPath);
    if (!copied) {
        FailFlow(frame, copied, slots.sourcePath);
        return;
    }

    frame.SetScreen(ScreenIntro);
    TDialog dialog;
    const INT_PTR result = dialog.DoModal();
    if (!dialog.m_outcome) {
        // This command made the working copy; after a failed edit it must not
        // pass for the edit's result. (A folder or device there is left alone.)
        navaid::io::RemoveFile(slots.workingCopyPath);
        FailFlow(frame, dialog.m_outcome, slots.sourcePath);
        return;
    }
    frame.SetScreen(result == IDOK ? ScreenModified : ScreenNoAction);
    if (dialog.m_outcome.HasWarning()) {
        // The edit stands; only a leftover file needs the user's attention.
        const std::string text = dialog.m_outcome.file + ":\n\n" + dialog.m_outcome.reason;
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

// List: file choice, then the list written beside the chosen file.
void RunListFlow(CMainFrame& frame, navaid::Family family) {
    FamilySlots* chosen = ChooseDatabase(frame, family);
    if (chosen == nullptr) return;
    FamilySlots& slots = *chosen;
    slots.listPath = navaid::ListName(slots.sourcePath);
    const navaid::Outcome listed =
        navaid::ExportNavaidList(family, slots.sourcePath, slots.listPath);
    if (!listed) {
        FailFlow(frame, listed, slots.sourcePath);
        return;
    }
    frame.SetScreen(ScreenListCreated);
}

}  // namespace

void CMainFrame::OnVorDelete() { RunEditFlow<CDeleteVorDlg>(*this, navaid::Family::Vor); }
void CMainFrame::OnVorAdd() { RunEditFlow<CAddVorDlg>(*this, navaid::Family::Vor); }
void CMainFrame::OnVorList() { RunListFlow(*this, navaid::Family::Vor); }
void CMainFrame::OnNdbDelete() { RunEditFlow<CDeleteNdbDlg>(*this, navaid::Family::Ndb); }
void CMainFrame::OnNdbAdd() { RunEditFlow<CAddNdbDlg>(*this, navaid::Family::Ndb); }
void CMainFrame::OnNdbList() { RunListFlow(*this, navaid::Family::Ndb); }
void CMainFrame::OnCloseCommand() { DestroyWindow(); }
void CMainFrame::OnInfo() { AfxMessageBox(kCreditLine, MB_OK); }
