// The six command flows from the menu command to the files and the screen.
#include <cmath>
#include <limits>

#include "navaid_db.h"
#include "ui_fixture.h"

namespace uidriver {
namespace {

const Bytes kThreeVors = Join({VorRecord("ZZZ", "ZULU", 1, 2, 113.1f, 1, 100, kVor),
                               VorRecord("AAA", "ALPHA", 3, 4, 114.2f, 2, 200, kVortac),
                               VorRecord("MMM", "MIKE", 5, 6, 115.3f, 3, 300, kDme)});
const Bytes kThreeNdbs = Join({NdbRecord("NB1", "ONE", 1, 2, 300, 0, kNdb),
                               NdbRecord("NB2", "TWO", 3, 4, 350, 0, kNdbDme),
                               NdbRecord("NB3", "THREE", 5, 6, 400, 0, kNdb)});

Bytes Slice(const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + from, bytes.begin() + to);
}

TEST_F(UiTest, ChooseFileBehindTheOpenDialogWithBothFiltersAndCancelMeansNoDatabase) {
    WriteBytes(Db("vor.qvz"), kThreeVors);
    m_app->Command(IDM_VOR_ADD);
    HWND open = m_app->WaitOpenDialog();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(GetWindow(open, GW_OWNER), m_app->MainWindow());
    const std::vector<std::string> filters = {"QVZ files (*.qvz)", " NewQVZ files (*.new)"};
    EXPECT_EQ(ListEntries(GetDlgItem(open, 0x470), true), filters);  // "Files of type"
    EXPECT_EQ(SendMessageA(GetDlgItem(open, 0x470), CB_GETCURSEL, 0, 0), 0);
    // Wine opens the dialog over the prompt's corner; move it aside to see the prompt.
    SetWindowPos(open, nullptr, 440, 390, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectScreen(kChooseFile);
    Shot("dialog-open-on-choose-file");
    m_app->Click(open, IDCANCEL);
    ASSERT_TRUE(m_app->WaitGone(open));
    ExpectScreen(kNoDatabase);
    Shot("screen-no-database");
    EXPECT_EQ(FolderEntries(m_db), std::vector<std::string>{"vor.qvz"});
}

// One addition per row: the fields as typed, and the record they must give.
struct AddCase {
    const char* name;
    int command;
    const char* title;
    const char* id;
    const char* navaidName;
    const char* numbers[5];  // latitude, longitude, frequency, magvar, altitude
    int typeShown;           // position in the sorted type list
    Bytes expected;
};
void PrintTo(const AddCase& c, std::ostream* out) { *out << c.name; }

class AddFlow : public UiTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddFlow, AppendsTheTypedNavaidToACopyOfTheChosenFile) {
    const AddCase& c = GetParam();
    const bool vor = c.command == IDM_VOR_ADD;
    const Bytes source = vor ? kThreeVors : kThreeNdbs;
    WriteBytes(Db("Nav.QVZ"), source);
    HWND dialog = OpenNavaidDialog(c.command, Db("Nav.QVZ"), c.title);
    ASSERT_NE(dialog, nullptr);
    ExpectScreen(kIntro);
    Shot(vor ? "dialog-add-vor" : "dialog-add-ndb");
    m_app->SetText(dialog, IDC_ID, c.id);
    m_app->SetText(dialog, IDC_NAME, c.navaidName);
    const int fields[] = {IDC_LATITUDE, IDC_LONGITUDE, IDC_FREQUENCY, IDC_MAGVAR, IDC_ALTITUDE};
    for (int k = 0; k < (vor ? 5 : 4); ++k) m_app->SetText(dialog, fields[k], c.numbers[k]);
    SendMessageA(GetDlgItem(dialog, IDC_TYPE_LIST), LB_SETCURSEL, c.typeShown, 0);
    m_app->Click(dialog, IDOK);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    ExpectScreen(kModified);
    if (vor) Shot("screen-modified");
    EXPECT_EQ(ReadBytes(Db("nav.qvz.new")), Join({source, c.expected}));
    EXPECT_EQ(StoredName(Db("nav.qvz.new")), "nav.qvz.new");
    EXPECT_EQ(ReadBytes(Db("Nav.QVZ")), source);
    ExpectNoTemporaryFile();
}

const float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Conversions, AddFlow,
    ::testing::Values(AddCase{"SpacesCommaExponentDOverflowUnits",
                              IDM_VOR_ADD,
                              "Add VOR",
                              " lax ",
                              "los angeles",
                              {"  52.5", "52,5", "5.25D1", "1e39", "1500ft"},
                              4,
                              VorRecord("LAX", "LOS ANGELES", 52.5f, 52.0f, 52.5f, kInfinity, 1500,
                                        kVortac)},
                      AddCase{"WrappingAltitudeAndNoNumbers",
                              IDM_VOR_ADD,
                              "Add VOR",
                              "abc",
                              "dme station",
                              {"N52", "", "113.6", "-3.5e-1", "4294967297"},
                              0,
                              VorRecord("ABC", "DME STATION", 0, 0, 113.6f, -0.35f, 1, kDme)},
                      AddCase{"NdbCarriesZeroAltitude",
                              IDM_NDB_ADD,
                              "Add NDB",
                              "nb9",
                              "beacon",
                              {"48.1", "-11.2", "415", "0.5"},
                              1,
                              NdbRecord("NB9", "BEACON", 48.1f, -11.2f, 415, 0.5f, kNdbDme)}),
    kRowName);

// One deletion per row: the record picked and the file it must leave.
struct DeleteCase {
    const char* name;
    int command;
    const char* title;
    int pick;
    Bytes expected;
};
void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class DeleteFlow : public UiTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteFlow, ListsRecordsInFileOrderAndDeletesThePickedOne) {
    const DeleteCase& c = GetParam();
    const bool vor = c.command == IDM_VOR_DELETE;
    const Bytes source = vor ? kThreeVors : kThreeNdbs;
    WriteBytes(Db("db.qvz"), source);
    HWND dialog = OpenNavaidDialog(c.command, Db("db.qvz"), c.title);
    ASSERT_NE(dialog, nullptr);
    Shot(vor ? "dialog-delete-vor" : "dialog-delete-ndb");
    const std::vector<std::string> expectedLabels =
        vor ? std::vector<std::string>{"ZZZ       ZULU                ",
                                       "AAA       ALPHA               ",
                                       "MMM       MIKE                "}
            : std::vector<std::string>{"NB1       ONE                 ",
                                       "NB2       TWO                 ",
                                       "NB3       THREE               "};
    EXPECT_EQ(ListEntries(GetDlgItem(dialog, IDC_NAVAID_LIST), true), expectedLabels);
    SendMessageA(GetDlgItem(dialog, IDC_NAVAID_LIST), CB_SETCURSEL, c.pick, 0);
    m_app->Click(dialog, IDOK);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    ExpectScreen(kModified);
    EXPECT_EQ(ReadBytes(Db("db.qvz.new")), c.expected);
    EXPECT_EQ(ReadBytes(Db("db.qvz")), source);
}

INSTANTIATE_TEST_SUITE_P(
    Picks, DeleteFlow,
    ::testing::Values(DeleteCase{"VorMiddleOfUnsortedLabels", IDM_VOR_DELETE, "Delete VOR", 1,
                                 Join({Slice(kThreeVors, 0, 56), Slice(kThreeVors, 112, 168)})},
                      DeleteCase{"NdbLast", IDM_NDB_DELETE, "Delete NDB", 2,
                                 Slice(kThreeNdbs, 0, 106)}),
    kRowName);

// Each navaid dialog as it opens (modal, centred over the main window,
// nothing chosen), then each way out of it without a navaid: the working copy
// stays an exact copy of the chosen file and the screen says nothing was done.
struct LeaveCase {
    const char* name;
    int command;
    const char* title;
    const char* label;               // a label the dialog must show
    std::vector<std::string> types;  // as shown (sorted); none in a Delete dialog
    const char* how;                 // "cancel", "escape", "close box", "enter"
};
void PrintTo(const LeaveCase& c, std::ostream* out) { *out << c.name; }

class LeaveDialog : public UiTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveDialog, OpensWithNothingChosenAndLeavesAnExactCopyAndNoAction) {
    const LeaveCase& c = GetParam();
    const Bytes source =
        c.command == IDM_VOR_ADD || c.command == IDM_VOR_DELETE ? kThreeVors : kThreeNdbs;
    WriteBytes(Db("x.qvz"), source);
    HWND dialog = OpenNavaidDialog(c.command, Db("x.qvz"), c.title);
    ASSERT_NE(dialog, nullptr);
    HWND main = m_app->MainWindow();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window takes input under a modal dialog";
    RECT outer, frame;
    GetWindowRect(dialog, &outer);
    GetWindowRect(main, &frame);
    EXPECT_NEAR((outer.left + outer.right) / 2.0, (frame.left + frame.right) / 2.0, 2);
    EXPECT_NEAR((outer.top + outer.bottom) / 2.0, (frame.top + frame.bottom) / 2.0, 2);
    EXPECT_EQ(ChildText(dialog, "Button"), "OK\nAbbrechen");
    EXPECT_NE(ChildText(dialog).find(c.label), std::string::npos) << ChildText(dialog);
    EXPECT_EQ(GetDlgItem(dialog, IDC_ALTITUDE) != nullptr, c.command == IDM_VOR_ADD);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, IDOK)) << "the focus is not on OK";
    if (c.types.empty()) {
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_NAVAID_LIST), CB_GETCURSEL, 0, 0), CB_ERR);
    } else {
        HWND types = GetDlgItem(dialog, IDC_TYPE_LIST);
        EXPECT_EQ(ListEntries(types, false), c.types);
        EXPECT_EQ(SendMessageA(types, LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_ID), EM_GETLIMITTEXT, 0, 0), 10);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_NAME), EM_GETLIMITTEXT, 0, 0), 20);
    }

    const std::string how = c.how;
    if (how == "cancel") m_app->Click(dialog, IDCANCEL);
    if (how == "escape") m_app->PressKey(dialog, IDOK, VK_ESCAPE);
    if (how == "close box") PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (how == "enter") m_app->PressKey(dialog, IDOK, VK_RETURN);
    ASSERT_TRUE(m_app->WaitGone(dialog)) << how << " did not end the dialog";
    EXPECT_TRUE(IsWindowEnabled(main));
    ExpectScreen(kNoAction);
    if (how == "cancel") Shot("screen-no-action");
    EXPECT_EQ(ReadBytes(Db("x.qvz.new")), source);
    EXPECT_EQ(ReadBytes(Db("x.qvz")), source);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LeaveDialog,
    ::testing::Values(
        LeaveCase{"AddVorAbbrechen",
                  IDM_VOR_ADD,
                  "Add VOR",
                  "Altitude:",
                  {"DME", "TACAN", "VOR", "VOR-DME", "VORTAC"},
                  "cancel"},
        LeaveCase{"AddNdbEscape", IDM_NDB_ADD, "Add NDB", "MagVar:", {"NDB", "NDB-DME"}, "escape"},
        LeaveCase{
            "DeleteVorCloseBox", IDM_VOR_DELETE, "Delete VOR", "Select VOR:", {}, "close box"},
        LeaveCase{"DeleteNdbEnterWithNothingPicked",
                  IDM_NDB_DELETE,
                  "Delete NDB",
                  "Select NDB:",
                  {},
                  "enter"}),
    kRowName);

TEST_F(UiTest, ListFlowsWriteTheListBesideTheChosenFile) {
    const struct {
        int command;
        navaid::Family family;
        const Bytes& source;
    } cases[] = {{IDM_VOR_LIST, navaid::Family::Vor, kThreeVors},
                 {IDM_NDB_LIST, navaid::Family::Ndb, kThreeNdbs}};
    for (const auto& c : cases) {
        const std::string file = c.family == navaid::Family::Vor ? "v.qvz" : "n.qvz";
        WriteBytes(Db(file), c.source);
        RunCommandOn(c.command, Db(file));
        ExpectScreen(kListCreated);
        const size_t size = navaid::RecordSize(c.family);
        std::string expected = navaid::ListHeaderLine(c.family);
        for (size_t at = 0; at + size <= c.source.size(); at += size) {
            expected += navaid::ListRecordLine(c.family, c.source.data() + at);
        }
        EXPECT_EQ(ReadBytes(Db(file + ".txt")), Bytes(expected.begin(), expected.end()));
        EXPECT_EQ(ReadBytes(Db(file)), c.source);
        EXPECT_FALSE(FileExists(Db(file + ".new")));
    }
    Shot("screen-list-created");
}

TEST_F(UiTest, ANewFileAsSourceGivesNewNew) {
    WriteBytes(Db("vor.qvz.new"), kThreeVors);
    HWND dialog = OpenNavaidDialog(IDM_VOR_DELETE, Db("VOR.QVZ.NEW"), "Delete VOR");
    ASSERT_NE(dialog, nullptr);
    m_app->Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    ExpectScreen(kNoAction);
    EXPECT_EQ(ReadBytes(Db("vor.qvz.new.new")), kThreeVors);
    EXPECT_EQ(StoredName(Db("vor.qvz.new.new")), "vor.qvz.new.new");
}

TEST_F(UiTest, OkWithoutATypeAsksForOneAndKeepsTheDialogAndItsFields) {
    WriteBytes(Db("vor.qvz"), kThreeVors);
    HWND dialog = OpenNavaidDialog(IDM_VOR_ADD, Db("vor.qvz"), "Add VOR");
    ASSERT_NE(dialog, nullptr);
    m_app->SetText(dialog, IDC_ID, "tst");
    m_app->SetText(dialog, IDC_LATITUDE, "1.5");
    m_app->Click(dialog, IDOK);
    HWND box = m_app->WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no message about the missing type";
    EXPECT_NE(ChildText(box).find("type"), std::string::npos) << ChildText(box);
    Shot("message-choose-type");
    m_app->Click(box, IDOK);
    ASSERT_TRUE(m_app->WaitGone(box));
    ASSERT_TRUE(IsWindow(dialog)) << "the dialog closed without a type";
    EXPECT_EQ(ReadBytes(Db("vor.qvz.new")), kThreeVors);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_ID)), "tst");

    SendMessageA(GetDlgItem(dialog, IDC_TYPE_LIST), LB_SETCURSEL, 2, 0);
    m_app->Click(dialog, IDOK);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    ExpectScreen(kModified);
    EXPECT_EQ(ReadBytes(Db("vor.qvz.new")),
              Join({kThreeVors, VorRecord("TST", "", 1.5f, 0, 0, 0, 0, kVor)}));
    ExpectNoTemporaryFile();
}

}  // namespace
}  // namespace uidriver
