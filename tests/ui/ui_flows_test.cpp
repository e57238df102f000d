// Each command flow of navaidedit.exe under Wine, from the menu through the
// Open dialog and the navaid dialog to the message, the screen and the files
// left on disk, compared byte for byte with golden files.
#include <cstdio>
#include <sstream>

#include "ui_test.h"

namespace uidriver {
namespace {

// A golden file; "scale" is 100,000 VOR records labelled "V<k>" and
// "SCALE <k>", so every label differs, and "scale-new" the same but the last.
Bytes Golden(const std::string& name) {
    if (!name.starts_with("scale")) return ReadBytes(WindowsPath(UI_DATA_DIR) + "\\" + name);
    Bytes bytes(100000 * 56, 0);
    for (int k = 0; k < 100000; ++k) {
        std::snprintf(reinterpret_cast<char*>(&bytes[k * 56]), 31, "V%-9dSCALE %-14d", k, k);
        bytes[k * 56 + 50] = 1;  // a VOR type code
    }
    bytes.resize(name == "scale-new" ? bytes.size() - 56 : bytes.size());
    return bytes;
}

// The parts of a text between separators; none for an empty text.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// The navaid dialogs, by the command that opens them.
struct Form {
    int command;
    const char* title;
    const char* label;               // a label the dialog shows
    std::vector<std::string> types;  // as listed (sorted); none in a Delete dialog
};
const Form kForms[] = {
    {IDM_VOR_ADD, "Add VOR", "Altitude:", {"DME", "TACAN", "VOR", "VOR-DME", "VORTAC"}},
    {IDM_NDB_ADD, "Add NDB", "MagVar:", {"NDB", "NDB-DME"}},
    {IDM_VOR_DELETE, "Delete VOR", "Select VOR:", {}},
    {IDM_NDB_DELETE, "Delete NDB", "Select NDB:", {}}};
const int kFields[] = {IDC_ID,        IDC_NAME,   IDC_LATITUDE, IDC_LONGITUDE,
                       IDC_FREQUENCY, IDC_MAGVAR, IDC_ALTITUDE};

// One flow per row: the command, the file chosen, what is done in the navaid
// dialog, and the message, screen and files that must follow.
struct Flow {
    const char* name;
    int command;
    const char* folder;   // "" the test's own, else one prepared in the work folder
    const char* chosen;   // typed into the Open dialog, relative to the folder
    const char* source;   // golden database written as `chosen` first, or ""
    const char* block;    // made a folder: "<name" before the command, ">name" in the dialog
    const char* typed;    // ID, name, then the numbers in tab order, separated by "|"
    int pick;             // type or record selected before OK; -1 none
    const char* leave;    // ok, cancel, escape, close box, enter; "cancel open"; "" no dialog
    const char* failing;  // the file a failure message names, or "", and the reason
    const char* reason;
    int screen;
    const char* after;  // the folder afterwards: "name=golden", or a name not read
};
void PrintTo(const Flow& flow, std::ostream* out) { *out << flow.name; }

class Flows : public Ui, public testing::WithParamInterface<Flow> {
protected:
    // Moves a dialog off the main window, so that the screen can be judged.
    static void MoveAside(HWND dialog) {
        SetWindowPos(dialog, nullptr, 800, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The dialog as it opens: modal, centred over the main window, focus on
    // OK, nothing chosen, and the records listed in file order.
    void ExpectFreshDialog(HWND dialog, const Form& form, const Bytes& source) const {
        HWND main = m_app->Main();
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window takes input under a modal dialog";
        RECT outer, frame;
        GetWindowRect(dialog, &outer);
        GetWindowRect(main, &frame);
        EXPECT_NEAR(outer.left + outer.right, frame.left + frame.right, 4);
        EXPECT_NEAR(outer.top + outer.bottom, frame.top + frame.bottom, 4);
        EXPECT_EQ(ChildText(dialog, "Button"), "OK\nAbbrechen");
        EXPECT_NE(ChildText(dialog).find(form.label), std::string::npos) << ChildText(dialog);
        EXPECT_EQ(GetDlgItem(dialog, IDC_ALTITUDE) != nullptr, form.command == IDM_VOR_ADD);
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
        EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, IDOK)) << "the focus is not on OK";
        if (form.types.empty()) {  // every record's label in file order: count and samples
            const size_t size = form.command == IDM_VOR_DELETE ? 56 : 53,
                         count = source.size() / size;
            HWND list = GetDlgItem(dialog, IDC_NAVAID_LIST);
            EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(count));
            for (size_t k : {size_t{0}, count / 2, count - 1}) {
                wchar_t label[64] = {};  // Wine hands list texts to another process in UTF-16
                EXPECT_EQ(SendMessageW(list, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(label)), 30);
                EXPECT_EQ(std::string(label, label + 30),
                          std::string(&source[k * size], &source[k * size + 30]));
            }
            EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
        } else {
            EXPECT_EQ(ListEntries(GetDlgItem(dialog, IDC_TYPE_LIST), false), form.types);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_TYPE_LIST, LB_GETCURSEL, 0, 0), LB_ERR);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_ID, EM_GETLIMITTEXT, 0, 0), 10);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_NAME, EM_GETLIMITTEXT, 0, 0), 20);
        }
    }
};

TEST_P(Flows, EndsWithItsMessageScreenAndFiles) {
    const Flow& f = GetParam();
    const std::string name = f.name, leave = f.leave, block = f.block;
    const std::string folder = *f.folder ? WindowsPath(UI_WORK_DIR) + "\\" + f.folder : m_db;
    const std::string chosen = folder + "\\" + f.chosen;
    if (*f.folder && (!fs::exists(folder) || std::ranges::count(Entries(folder), f.failing) == 0)) {
        GTEST_SKIP() << "no link to /dev/full here";
    }
    if (*f.source) WriteBytes(chosen, Golden(f.source));
    const auto makeBlock = [&] {  // a folder where the program wants a file
        fs::remove_all(folder + "\\" + block.substr(1));
        fs::create_directory(folder + "\\" + block.substr(1));
    };
    if (block[0] == '<') makeBlock();

    m_app->Command(f.command);
    HWND open = m_app->WaitOpenDialog();
    ASSERT_NE(open, nullptr) << "no Open dialog";
    EXPECT_EQ(GetWindow(open, GW_OWNER), m_app->Main());
    HWND filters = GetDlgItem(open, 0x470);  // "Files of type"
    EXPECT_EQ(ListEntries(filters, true),
              (std::vector<std::string>{"QVZ files (*.qvz)", " NewQVZ files (*.new)"}));
    EXPECT_EQ(SendMessageA(filters, CB_GETCURSEL, 0, 0), 0);
    if (leave == "cancel open") Shot(name + "-open");
    MoveAside(open);
    ExpectScreen(ScreenChooseFile);
    if (leave == "cancel open") Shot(name + "-choose-file");
    leave == "cancel open" ? m_app->Click(open, IDCANCEL) : m_app->ChooseFile(open, chosen);
    ASSERT_TRUE(m_app->WaitGone(open)) << "the Open dialog did not take " << chosen;

    const auto form = std::ranges::find(kForms, f.command, &Form::command);
    if (!leave.empty() && leave != "cancel open") {
        HWND dialog = m_app->WaitDialog(form->title, 180000);  // long at scale
        ASSERT_NE(dialog, nullptr) << "no " << form->title << " dialog";
        ExpectFreshDialog(dialog, *form, Golden(f.source));
        Shot(name + "-dialog");
        MoveAside(dialog);
        ExpectScreen(ScreenIntro);
        const std::vector<std::string> typed = Split(f.typed, '|');
        for (size_t k = 0; k < typed.size(); ++k) {
            SendDlgItemMessageA(dialog, kFields[k], WM_SETTEXT, 0, LPARAM(typed[k].c_str()));
        }
        const bool add = !form->types.empty();
        if (add && leave == "ok") {
            // OK without a type asks for one and keeps the dialog and its fields.
            m_app->Click(dialog, IDOK);
            ExpectMessage({"type"}, name + "-no-type");
            ASSERT_TRUE(IsWindow(dialog)) << "the dialog closed without a type";
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_ID)), typed.empty() ? "" : typed[0]);
            EXPECT_EQ(ReadBytes(chosen + ".new"), Golden(f.source));
        }
        if (block[0] == '>') makeBlock();
        if (f.pick >= 0) {
            SendDlgItemMessageA(dialog, add ? IDC_TYPE_LIST : IDC_NAVAID_LIST,
                                add ? LB_SETCURSEL : CB_SETCURSEL, f.pick, 0);
        }
        if (leave == "close box") PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (leave == "escape" || leave == "enter") {  // to the focused OK button
            const WPARAM key = leave == "escape" ? VK_ESCAPE : VK_RETURN;
            PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, key, 1);
            PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYUP, key, 0xC0000001);
        }
        if (leave == "ok" || leave == "cancel")
            m_app->Click(dialog, leave == "ok" ? IDOK : IDCANCEL);
        ASSERT_TRUE(m_app->WaitGone(dialog, 180000)) << leave << " did not end the dialog";
    }
    std::string failing = folder + "\\" + f.failing;
    CharLowerA(failing.data());  // as the program derives and reports names
    if (*f.failing) ExpectMessage({failing, f.reason}, name + "-message");
    EXPECT_EQ(m_app->WaitWindow([&](HWND w) { return w != m_app->Main(); }, 200), nullptr)
        << "a window is open at the end";
    EXPECT_TRUE(IsWindowEnabled(m_app->Main()));
    ExpectScreen(f.screen);
    Shot(name + "-screen");

    // Nothing but the expected files, anywhere: no temporary record file either.
    EXPECT_EQ(Entries(m_cwd), std::vector<std::string>{});
    std::vector<std::string> names;
    for (const std::string& entry : Split(f.after, ' ')) {
        const std::vector<std::string> named = Split(entry, '=');
        names.push_back(named[0]);
        if (named.size() > 1) {
            EXPECT_EQ(ReadBytes(folder + "\\" + named[0]), Golden(named[1])) << named[0];
        }
    }
    EXPECT_EQ(Entries(folder), names);
}

constexpr int NoAction = ScreenNoAction, NoDatabase = ScreenNoDatabase, Modified = ScreenModified;
const Flow kFlows[] = {
    {"CancelTheOpenDialog", IDM_VOR_ADD, "", "vor.qvz", "vor3.qvz", "", "", -1, "cancel open", "",
     "", NoDatabase, "vor.qvz=vor3.qvz"},
    {"AddVorSpacesCommaExponentDOverflowUnits", IDM_VOR_ADD, "", "Nav.QVZ", "vor3.qvz", "",
     " lax |los angeles|  52.5|52,5|5.25D1|1e39|1500ft", 4, "ok", "", "", Modified,
     "Nav.QVZ=vor3.qvz nav.qvz.new=add-vor-1.new"},
    {"AddVorCodePageWrappingAltitudeNoNumbers", IDM_VOR_ADD, "", "vor.qvz", "vor3.qvz", "",
     "abc|dme s\xFC"
     "d|N52||113.6|-3.5e-1|4294967297",
     0, "ok", "", "", Modified, "vor.qvz=vor3.qvz vor.qvz.new=add-vor-2.new"},
    {"AddNdbCarriesZeroAltitude", IDM_NDB_ADD, "", "ndb.qvz", "ndb3.qvz", "",
     "nb9|beacon|48.1|-11.2|415|0.5", 1, "ok", "", "", Modified,
     "ndb.qvz=ndb3.qvz ndb.qvz.new=add-ndb.new"},
    {"DeleteVorMiddle", IDM_VOR_DELETE, "", "vor.qvz", "vor3.qvz", "", "", 1, "ok", "", "",
     Modified, "vor.qvz=vor3.qvz vor.qvz.new=delete-vor.new"},
    {"DeleteNdbLast", IDM_NDB_DELETE, "", "ndb.qvz", "ndb3.qvz", "", "", 2, "ok", "", "", Modified,
     "ndb.qvz=ndb3.qvz ndb.qvz.new=delete-ndb.new"},
    {"ListVor", IDM_VOR_LIST, "", "vor.qvz", "vor3.qvz", "", "", -1, "", "", "", ScreenListCreated,
     "vor.qvz=vor3.qvz vor.qvz.txt=vor3.txt"},
    {"ListNdb", IDM_NDB_LIST, "", "ndb.qvz", "ndb3.qvz", "", "", -1, "", "", "", ScreenListCreated,
     "ndb.qvz=ndb3.qvz ndb.qvz.txt=ndb3.txt"},
    {"AddVorAbbrechen", IDM_VOR_ADD, "", "vor.qvz", "vor3.qvz", "", "", -1, "cancel", "", "",
     NoAction, "vor.qvz=vor3.qvz vor.qvz.new=vor3.qvz"},
    {"AddNdbEscape", IDM_NDB_ADD, "", "ndb.qvz", "ndb3.qvz", "", "", -1, "escape", "", "", NoAction,
     "ndb.qvz=ndb3.qvz ndb.qvz.new=ndb3.qvz"},
    {"DeleteVorCloseBox", IDM_VOR_DELETE, "", "vor.qvz", "vor3.qvz", "", "", -1, "close box", "",
     "", NoAction, "vor.qvz=vor3.qvz vor.qvz.new=vor3.qvz"},
    {"DeleteNdbEnterWithNothingPicked", IDM_NDB_DELETE, "", "ndb.qvz", "ndb3.qvz", "", "", -1,
     "enter", "", "", NoAction, "ndb.qvz=ndb3.qvz ndb.qvz.new=ndb3.qvz"},
    {"ANewFileGivesNewNew", IDM_VOR_DELETE, "", "VOR.QVZ.NEW", "vor3.qvz", "", "", -1, "cancel", "",
     "", NoAction, "VOR.QVZ.NEW=vor3.qvz vor.qvz.new.new=vor3.qvz"},
    {"SourceInAMissingFolder", IDM_VOR_ADD, "", "missing\\vor.qvz", "", "", "", -1, "",
     "missing\\vor.qvz", "No such file", NoDatabase, ""},
    {"WorkingCopyNameIsAFolder", IDM_VOR_DELETE, "", "vor.qvz", "vor3.qvz", "<vor.qvz.new", "", -1,
     "", "vor.qvz.new", "denied", NoAction, "vor.qvz=vor3.qvz vor.qvz.new"},
    {"ListNameIsAFolder", IDM_NDB_LIST, "", "ndb.qvz", "ndb3.qvz", "<ndb.qvz.txt", "", -1, "",
     "ndb.qvz.txt", "denied", NoAction, "ndb.qvz=ndb3.qvz ndb.qvz.txt"},
    {"WorkingCopyOnAFullDisk", IDM_VOR_ADD, "full-new", "vor.qvz", "vor3.qvz", "", "", -1, "",
     "vor.qvz.new", "space", NoAction, "vor.qvz=vor3.qvz vor.qvz.new"},
    {"ListOnAFullDisk", IDM_VOR_LIST, "full-txt", "vor.qvz", "vor3.qvz", "", "", -1, "",
     "vor.qvz.txt", "space", NoAction, "vor.qvz=vor3.qvz vor.qvz.txt"},
    {"WorkingCopyMadeAFolderUnderTheAddDialog", IDM_VOR_ADD, "", "vor.qvz", "vor3.qvz",
     ">vor.qvz.new", "", 0, "ok", "vor.qvz.new", "denied", NoAction,
     "vor.qvz=vor3.qvz vor.qvz.new"},
    {"SourceMadeAFolderUnderTheDeleteDialog", IDM_VOR_DELETE, "", "vor.qvz", "vor3.qvz", ">vor.qvz",
     "", 0, "ok", "vor.qvz", "denied", NoDatabase, "vor.qvz"},
    {"DeleteVorLastOfAHundredThousandAtScale", IDM_VOR_DELETE, "", "scale.qvz", "scale", "", "",
     99999, "ok", "", "", Modified, "scale.qvz=scale scale.qvz.new=scale-new"},
};
INSTANTIATE_TEST_SUITE_P(Rows, Flows, testing::ValuesIn(kFlows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace uidriver
