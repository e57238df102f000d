// The four navaid dialogs and the Open dialog as the user meets them: their
// controls, styles and layout, where they open, and what they start with.
#include <cstdint>
#include <map>

#include "flow_fixture.h"

namespace flows {
namespace {

struct Control {
    const char* className;
    int id;
    const char* text;
    DWORD styles;
    int x, y, width, height;  // dialog units
};

constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kTypeList = WS_CHILD | WS_VISIBLE | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                            WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kNavaidList =
    WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP;

std::vector<Control> EntryControls(bool vor) {
    std::vector<Control> controls = {
        {"Button", IDOK, "OK", kButton | BS_DEFPUSHBUTTON, 35, 144, 50, 14},
        {"Button", IDCANCEL, "Abbrechen", kButton, 101, 144, 50, 14},
        {"Static", -1, "ID:", kLabel, 31, 15, 52, 10},
        {"Static", -1, "Name:", kLabel, 31, 30, 52, 10},
        {"Static", -1, "Latitude:", kLabel, 31, 45, 52, 10},
        {"Static", -1, "Longitude:", kLabel, 31, 60, 52, 10},
        {"Static", -1, "Frequency:", kLabel, 31, 75, 52, 10},
        {"Static", -1, "MagVar:", kLabel, 31, 90, 52, 10},
        {"Static", -1, "Altitude:", kLabel, 31, 105, 52, 10},
        {"Static", -1, "Type:", kLabel, 31, 120, 52, 10},
        {"Edit", IDC_ID, "", kEdit, 90, 15, 50, 10},
        {"Edit", IDC_NAME, "", kEdit, 90, 30, 80, 10},
        {"Edit", IDC_LATITUDE, "", kEdit, 90, 45, 80, 10},
        {"Edit", IDC_LONGITUDE, "", kEdit, 90, 60, 80, 10},
        {"Edit", IDC_FREQUENCY, "", kEdit, 90, 75, 80, 10},
        {"Edit", IDC_MAGVAR, "", kEdit, 90, 90, 80, 10},
        {"Edit", IDC_ALTITUDE, "", kEdit, 90, 105, 80, 10},
        {"ListBox", IDC_TYPE_LIST, "", kTypeList, 90, 120, 55, 10}};
    if (!vor) {
        controls.erase(controls.begin() + 16);  // the Altitude field
        controls.erase(controls.begin() + 8);   // and its label
    }
    return controls;
}

std::vector<Control> DeleteControls(bool vor) {
    return {{"Button", IDOK, "OK", kButton | BS_DEFPUSHBUTTON, 35, 69, 50, 14},
            {"Button", IDCANCEL, "Abbrechen", kButton, 101, 69, 50, 14},
            vor ? Control{"Static", -1, "Select VOR:", kLabel, 33, 15, 43, 10}
                : Control{"Static", -1, "Select NDB:", kLabel, 37, 15, 47, 9},
            vor ? Control{"ComboBox", IDC_NAVAID_LIST, "", kNavaidList, 34, 31, 116, 12}
                : Control{"ComboBox", IDC_NAVAID_LIST, "", kNavaidList, 35, 30, 115, 12}};
}

struct DialogCase {
    const char* name;
    int command;
    const char* title;
    int width, height;  // dialog units
    bool entry;
    bool vor;
};
void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class DialogLayout : public FlowTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogLayout, OpensCentredWithTheTemplatesControlsAndNothingChosen) {
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

    const std::vector<Control> expected = c.entry ? EntryControls(c.vor) : DeleteControls(c.vor);
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(std::string("control ") + std::to_string(k) + " " + expected[k].text);
        EXPECT_STRCASEEQ(ClassName(children[k]).c_str(), expected[k].className);
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(children[k])), expected[k].id);
        EXPECT_EQ(WindowText(children[k]), expected[k].text);
    }

    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, IDOK)) << "the focus is not on OK";
    if (c.entry) {
        HWND types = GetDlgItem(dialog, IDC_TYPE_LIST);
        const std::vector<std::string> shown =
            c.vor ? std::vector<std::string>(std::begin(kVorTypesShown), std::end(kVorTypesShown))
                  : std::vector<std::string>(std::begin(kNdbTypesShown), std::end(kNdbTypesShown));
        EXPECT_EQ(ListEntries(dialog, IDC_TYPE_LIST, false), shown);
        EXPECT_EQ(SendMessageA(types, LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(SendMessageA(types, LB_GETTOPINDEX, 0, 0), 0);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_ID), EM_GETLIMITTEXT, 0, 0), 10);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_NAME), EM_GETLIMITTEXT, 0, 0), 20);
    } else {
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_NAVAID_LIST), CB_GETCURSEL, 0, 0), CB_ERR);
    }
    m_app->CancelDialog(dialog);
    ASSERT_TRUE(m_app->WaitGone(dialog));
    EXPECT_TRUE(IsWindowEnabled(main));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogLayout,
    ::testing::Values(DialogCase{"AddVor", IDM_VOR_ADD, "Add VOR", 186, 177, true, true},
                      DialogCase{"AddNdb", IDM_NDB_ADD, "Add NDB", 186, 177, true, false},
                      DialogCase{"DeleteVor", IDM_VOR_DELETE, "Delete VOR", 186, 90, false, true},
                      DialogCase{"DeleteNdb", IDM_NDB_DELETE, "Delete NDB", 186, 90, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A dialog template as stored in the program file.
struct Template {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title, fontName;
    int pointSize = 0;
    struct Item {
        DWORD style, exStyle;
        int x, y, width, height, id;
        std::string className, text;
    };
    std::vector<Item> items;
};

// Reads a DIALOG template (not DIALOGEX) of the German (Germany) language.
bool LoadTemplate(int id, Template& out) {
    HMODULE exe =
        LoadLibraryExA(WindowsPath(NAVAIDEDIT_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (exe == nullptr) return false;
    HRSRC found = FindResourceExA(exe, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    if (found == nullptr) return false;
    const auto* p = static_cast<const WORD*>(LockResource(LoadResource(exe, found)));
    auto dword = [&](int at) { return p[at] | (static_cast<DWORD>(p[at + 1]) << 16); };
    auto text = [&](const WORD*& q) {
        std::string s;
        if (*q == 0xFFFF) {
            s = std::to_string(q[1]);
            s.insert(s.begin(), '#');
            q += 2;
            return s;
        }
        while (*q) s += static_cast<char>(*q++);
        ++q;
        return s;
    };
    out.style = dword(0);
    out.exStyle = dword(2);
    const int count = p[4];
    out.x = static_cast<short>(p[5]), out.y = static_cast<short>(p[6]);
    out.width = static_cast<short>(p[7]), out.height = static_cast<short>(p[8]);
    const WORD* q = p + 9;
    text(q);  // menu
    text(q);  // class
    out.title = text(q);
    out.pointSize = *q++;
    out.fontName = text(q);
    for (int k = 0; k < count; ++k) {
        q = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(q) + 3) & ~uintptr_t{3});
        Template::Item item{dword(static_cast<int>(q - p)),
                            dword(static_cast<int>(q - p) + 2),
                            static_cast<short>(q[4]),
                            static_cast<short>(q[5]),
                            static_cast<short>(q[6]),
                            static_cast<short>(q[7]),
                            static_cast<short>(q[8]),
                            "",
                            ""};
        q += 9;
        item.className = text(q);
        item.text = text(q);
        q += 1 + *q / 2;  // creation data
        out.items.push_back(item);
    }
    FreeLibrary(exe);
    return true;
}

TEST(DialogTemplates, CarryExactlyTheControlsStylesAndPlaces) {
    const struct {
        int id;
        const char* title;
        int height;
        std::vector<Control> controls;
    } templates[] = {{IDD_DELETE_VOR, "Delete VOR", 90, DeleteControls(true)},
                     {IDD_ADD_VOR, "Add VOR", 177, EntryControls(true)},
                     {IDD_DELETE_NDB, "Delete NDB", 90, DeleteControls(false)},
                     {IDD_ADD_NDB, "Add NDB", 177, EntryControls(false)}};
    const std::map<std::string, std::string> classes = {{"#128", "Button"},
                                                        {"#129", "Edit"},
                                                        {"#130", "Static"},
                                                        {"#131", "ListBox"},
                                                        {"#133", "ComboBox"}};
    for (const auto& t : templates) {
        SCOPED_TRACE(t.title);
        Template dialog;
        ASSERT_TRUE(LoadTemplate(t.id, dialog)) << "no German (Germany) template " << t.id;
        EXPECT_EQ(dialog.style, DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        EXPECT_EQ(dialog.exStyle, 0u);
        EXPECT_EQ(dialog.x, 0);
        EXPECT_EQ(dialog.y, 0);
        EXPECT_EQ(dialog.width, 186);
        EXPECT_EQ(dialog.height, t.height);
        EXPECT_EQ(dialog.title, t.title);
        EXPECT_EQ(dialog.fontName, "MS Sans Serif");
        EXPECT_EQ(dialog.pointSize, 8);
        ASSERT_EQ(dialog.items.size(), t.controls.size());
        for (size_t k = 0; k < t.controls.size(); ++k) {
            const Control& e = t.controls[k];
            const Template::Item& item = dialog.items[k];
            SCOPED_TRACE(std::string("control ") + std::to_string(k) + " " + e.text);
            const auto named = classes.find(item.className);
            EXPECT_STRCASEEQ(
                named == classes.end() ? item.className.c_str() : named->second.c_str(),
                e.className);
            EXPECT_EQ(item.id, e.id);
            EXPECT_EQ(item.text, e.text);
            EXPECT_EQ(item.style, e.styles) << std::hex << item.style;
            EXPECT_EQ(item.exStyle, 0u);
            EXPECT_EQ((std::vector<int>{item.x, item.y, item.width, item.height}),
                      (std::vector<int>{e.x, e.y, e.width, e.height}));
        }
    }
}

TEST_F(FlowTest, OpenDialogOffersBothFiltersFirstOneSelected) {
    m_app->Command(IDM_NDB_LIST);
    HWND open = m_app->WaitOpenDialog();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(GetWindow(open, GW_OWNER), m_app->MainWindow());
    EXPECT_EQ(WindowText(open), "Open");
    const std::vector<std::string> filters = {"QVZ files (*.qvz)", " NewQVZ files (*.new)"};
    EXPECT_EQ(ListEntries(open, 0x470, true), filters);  // the "Files of type" box
    EXPECT_EQ(SendMessageA(GetDlgItem(open, 0x470), CB_GETCURSEL, 0, 0), 0);
    m_app->CancelDialog(open);
    ASSERT_TRUE(m_app->WaitGone(open));
    ExpectScreen(kNoDatabase);
}

}  // namespace
}  // namespace flows
