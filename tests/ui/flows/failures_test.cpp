// Failed file work is never reported as success: the user is told which file
// failed and why, the screen says no database or no action, and no output
// that looks finished is left behind.
#include "ui_fixture.h"

namespace uidriver {
namespace {

const Bytes kOneVor = VorRecord("ONE", "FIRST", 1, 2, 110, 0, 0, kVor);

class Failure : public UiTest {
protected:
    // Expects the program's failure message naming `file` and `reason`, and
    // closes it (after a screenshot, when one is named).
    void ExpectFailureMessage(const std::string& file, const char* reason,
                              const std::string& screenshot = "") {
        HWND box = m_app->WaitMessageBox();
        ASSERT_NE(box, nullptr) << "no message about " << file;
        const std::string text = ChildText(box);
        EXPECT_NE(text.find(file), std::string::npos) << text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        if (!screenshot.empty()) Shot(screenshot);
        m_app->Click(box, IDOK);
        ASSERT_TRUE(m_app->WaitGone(box));
    }
};

// Failures met before any navaid dialog opens.
struct EarlyCase {
    const char* name;
    int command;
    const char* folder;  // "" for the test's own database folder, else a prepared fixture
    const char* chosen;
    const char* blocker;  // made a folder before the command, or ""
    const char* failing;  // the file the message names
    const char* reason;
    int screen;
};
void PrintTo(const EarlyCase& c, std::ostream* out) { *out << c.name; }

class EarlyFailure : public Failure, public ::testing::WithParamInterface<EarlyCase> {};

TEST_P(EarlyFailure, IsReportedWithFileAndReasonAndLeavesNoOutput) {
    const EarlyCase& c = GetParam();
    const std::string folder = *c.folder ? WindowsPath(UI_WORK_DIR) + "\\" + c.folder : m_db;
    const std::string chosen = folder + "\\" + c.chosen;
    // The full-disk links are listed even where Wine cannot query a device.
    if (*c.folder && StoredName(folder + "\\" + c.failing).empty()) {
        GTEST_SKIP() << "no /dev/full here";
    }
    if (std::string(c.chosen).find('\\') == std::string::npos) WriteBytes(chosen, kOneVor);
    if (*c.blocker) MakeFolder(folder + "\\" + c.blocker);
    RunCommandOn(c.command, chosen);
    const std::string failing = Lower(folder + "\\" + c.failing);
    ExpectFailureMessage(failing, c.reason, c.command == IDM_VOR_DELETE ? "message-failure" : "");
    ExpectScreen(c.screen);
    if (*c.blocker) {
        EXPECT_TRUE(IsFolder(folder + "\\" + c.blocker));
    } else if (!*c.folder) {
        // (A link to the full device is the test's own and stays.)
        EXPECT_EQ(StoredName(failing), "") << failing << " was left behind";
    }
    EXPECT_EQ(m_app->WaitDialog([](HWND) { return true; }, 200), nullptr)
        << "a dialog opened after the failure";
    if (FileExists(chosen) && !IsFolder(chosen)) {
        EXPECT_EQ(ReadBytes(chosen), kOneVor);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EarlyFailure,
    ::testing::Values(EarlyCase{"SourceInAMissingFolder", IDM_VOR_ADD, "", "missing\\vor.qvz", "",
                                "missing\\vor.qvz", "No such file", kNoDatabase},
                      EarlyCase{"WorkingCopyNameIsAFolder", IDM_VOR_DELETE, "", "vor.qvz",
                                "vor.qvz.new", "vor.qvz.new", "denied", kNoAction},
                      EarlyCase{"ListNameIsAFolder", IDM_NDB_LIST, "", "ndb.qvz", "ndb.qvz.txt",
                                "ndb.qvz.txt", "denied", kNoAction},
                      EarlyCase{"WorkingCopyOnAFullDisk", IDM_VOR_ADD, "fixtures\\full-disk",
                                "vor.qvz", "", "vor.qvz.new", "space", kNoAction},
                      EarlyCase{"ListOnAFullDisk", IDM_VOR_LIST, "fixtures\\full-disk", "vor.qvz",
                                "", "vor.qvz.txt", "space", kNoAction}),
    kRowName);

// Failures met in a navaid dialog's OK: a file made a folder under it.
TEST_F(Failure, FileWorkThatFailsInTheDialogIsReportedAndLeavesNoFinishedOutput) {
    const struct {
        int command;
        const char* title;
        const char* blocked;
        int list, select;  // the list to pick from and its selection message
        int screen;
    } cases[] = {
        {IDM_VOR_ADD, "Add VOR", "vor.qvz.new", IDC_TYPE_LIST, LB_SETCURSEL, kNoAction},
        {IDM_VOR_DELETE, "Delete VOR", "vor.qvz", IDC_NAVAID_LIST, CB_SETCURSEL, kNoDatabase}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        RemoveTree(m_db);
        MakeFolder(m_db);
        WriteBytes(Db("vor.qvz"), Join({kOneVor, kOneVor}));
        HWND dialog = OpenNavaidDialog(c.command, Db("vor.qvz"), c.title);
        ASSERT_NE(dialog, nullptr);
        RemoveTree(Db(c.blocked));
        MakeFolder(Db(c.blocked));
        SendMessageA(GetDlgItem(dialog, c.list), c.select, 0, 0);
        m_app->Click(dialog, IDOK);
        ASSERT_TRUE(m_app->WaitGone(dialog));
        ExpectFailureMessage(Lower(Db(c.blocked)), "denied");
        ExpectScreen(c.screen);
        EXPECT_TRUE(IsFolder(Db(c.blocked)));
        // Unreadable source: no working copy may look finished.
        if (c.screen == kNoDatabase) {
            EXPECT_FALSE(FileExists(Db("vor.qvz.new")));
        }
        ExpectNoTemporaryFile();
    }
}

}  // namespace
}  // namespace uidriver
