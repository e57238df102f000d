// The four navaid dialogs as the user meets them: modal, centred over the
// main window, their buttons and labels, and what they start with.
#include "ui_fixture.h"

namespace uidriver {
namespace {

struct DialogCase {
    const char* name;
    int command;
    const char* title;
    const char* label;               // a label the dialog must show
    std::vector<std::string> types;  // as shown (sorted); empty for a Delete dialog
};
void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class DialogLayout : public UiTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogLayout, OpensCentredAndModalWithNothingChosen) {
    const DialogCase& c = GetParam();
    WriteBytes(Db("empty.qvz"), {});
    HWND dialog = OpenNavaidDialog(c.command, Db("empty.qvz"), c.title);
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
    m_app->Click(dialog, IDCANCEL);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    EXPECT_TRUE(IsWindowEnabled(main));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogLayout,
    ::testing::Values(DialogCase{"AddVor",
                                 IDM_VOR_ADD,
                                 "Add VOR",
                                 "Altitude:",
                                 {"DME", "TACAN", "VOR", "VOR-DME", "VORTAC"}},
                      DialogCase{"AddNdb", IDM_NDB_ADD, "Add NDB", "MagVar:", {"NDB", "NDB-DME"}},
                      DialogCase{"DeleteVor", IDM_VOR_DELETE, "Delete VOR", "Select VOR:", {}},
                      DialogCase{"DeleteNdb", IDM_NDB_DELETE, "Delete NDB", "Select NDB:", {}}),
    kRowName);

}  // namespace
}  // namespace uidriver
