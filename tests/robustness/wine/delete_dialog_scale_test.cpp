// The Delete VOR dialog of the real program under Wine on a database of
// 100,000 records: it opens with every label, the last entry can be picked,
// and OK deletes exactly the last record.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "resource.h"
#include "ui_driver.h"

namespace uidriver {
namespace {

constexpr int kRecords = 100000;
constexpr size_t kVorSize = 56;

TEST(DeleteDialogScale, LastOfAHundredThousandRecordsIsPickedAndDeleted) {
    UseTestDesktop();
    const std::string folder = WindowsPath(SCALE_WORK_DIR);
    RemoveTree(folder);
    MakeFolder(folder);
    const std::string database = folder + "\\scale.qvz";
    const Bytes bytes = ManyVors(kRecords);
    WriteBytes(database, bytes);

    App app(WindowsPath(NAVAIDEDIT_EXE), folder);
    app.Command(IDM_VOR_DELETE);
    const HWND open = app.WaitOpenDialog();
    ASSERT_NE(open, nullptr) << "no Open dialog";
    LARGE_INTEGER chosen, ready;
    QueryPerformanceCounter(&chosen);
    app.ChooseFile(open, database);
    const HWND dialog = app.WaitListedDialog("Delete VOR", IDC_NAVAID_LIST, kRecords, 180000);
    ASSERT_NE(dialog, nullptr) << "the Delete VOR dialog did not list every record";
    const double toReady = SecondsSince(chosen);
    QueryPerformanceCounter(&ready);

    const HWND list = GetDlgItem(dialog, IDC_NAVAID_LIST);
    for (int k : {0, kRecords / 2, kRecords - 1}) {
        // Across processes Wine hands list texts over reliably only in UTF-16.
        wchar_t wide[64] = {};
        ASSERT_EQ(SendMessageW(list, CB_GETLBTEXTLEN, k, 0), 30) << "entry " << k;
        SendMessageW(list, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(wide));
        const std::string label(bytes.begin() + k * kVorSize, bytes.begin() + k * kVorSize + 30);
        EXPECT_EQ(std::string(wide, wide + 30), label) << "entry " << k;
    }
    SendMessageA(list, CB_SETCURSEL, kRecords - 1, 0);
    app.Click(dialog, IDOK);
    ASSERT_TRUE(app.WaitGone(dialog, 180000)) << "the dialog did not close";
    EXPECT_EQ(app.WaitScreen(kModified, 60000), kModified);
    // Figures for the record, not limits.
    std::printf(
        "[ scale ] Delete VOR dialog listing %d records: ready %.2f s after the file "
        "choice, deletion done %.2f s after OK\n",
        kRecords, toReady, SecondsSince(ready));

    const Bytes copy = ReadBytes(database + ".new");
    EXPECT_EQ(copy, Bytes(bytes.begin(), bytes.end() - kVorSize)) << "not the first 99,999";
    EXPECT_EQ(ReadBytes(database), bytes) << "the database changed";
    EXPECT_TRUE(app.Close());
    RemoveTree(folder);
}

}  // namespace
}  // namespace uidriver
