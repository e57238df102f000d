// The Delete VOR dialog of the real program under Wine on a database of
// 100,000 records: it opens with every label, the last entry can be picked,
// and OK deletes exactly the last record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resource.h"
#include "ui_driver.h"

namespace {

constexpr int kRecords = 100000;
constexpr std::size_t kVorSize = 56;

// Record k: ID "V<k>", name "SCALE <k>", both space-padded; the rest zero but
// for a VOR type code, so every label differs.
uidriver::Bytes Database() {
    uidriver::Bytes bytes(static_cast<std::size_t>(kRecords) * kVorSize, 0);
    for (int k = 0; k < kRecords; ++k) {
        std::uint8_t* record = bytes.data() + static_cast<std::size_t>(k) * kVorSize;
        std::memset(record, ' ', 30);
        std::string id = std::to_string(k), name = id;
        id.insert(0, 1, 'V');
        name.insert(0, "SCALE ");
        std::memcpy(record, id.data(), id.size());
        std::memcpy(record + 10, name.data(), name.size());
        record[50] = 1;
    }
    return bytes;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

std::string Label(const uidriver::Bytes& bytes, int k) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + k * kVorSize, 30);
}

TEST(DeleteDialogScale, LastOfAHundredThousandRecordsIsPickedAndDeleted) {
    uidriver::UseTestDesktop();
    const std::string folder = uidriver::WindowsPath(SCALE_WORK_DIR);
    uidriver::RemoveTree(folder);
    uidriver::MakeFolder(folder);
    const std::string database = folder + "\\scale.qvz";
    const uidriver::Bytes bytes = Database();
    uidriver::WriteBytes(database, bytes);

    uidriver::App app(uidriver::WindowsPath(NAVAIDEDIT_EXE), folder);
    app.Command(IDM_VOR_DELETE);
    const HWND open = app.WaitOpenDialog();
    ASSERT_NE(open, nullptr) << "no Open dialog";
    LARGE_INTEGER chosen, ready, deleted;
    QueryPerformanceCounter(&chosen);
    app.ChooseFile(open, database);
    const HWND dialog = app.WaitDialog(
        [](HWND window) {
            return uidriver::WindowText(window) == "Delete VOR" &&
                   SendMessageA(GetDlgItem(window, IDC_NAVAID_LIST), CB_GETCOUNT, 0, 0) == kRecords;
        },
        180000);
    ASSERT_NE(dialog, nullptr) << "the Delete VOR dialog did not list every record";
    QueryPerformanceCounter(&ready);

    const HWND list = GetDlgItem(dialog, IDC_NAVAID_LIST);
    for (int k : {0, kRecords / 2, kRecords - 1}) {
        // Across processes Wine hands list texts over reliably only in UTF-16.
        wchar_t wide[64] = {};
        char text[128] = {};
        ASSERT_EQ(SendMessageW(list, CB_GETLBTEXTLEN, k, 0), 30) << "entry " << k;
        SendMessageW(list, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        EXPECT_EQ(std::string(text), Label(bytes, k)) << "entry " << k;
    }
    SendMessageA(list, CB_SETCURSEL, kRecords - 1, 0);
    app.Click(dialog, IDOK);
    ASSERT_TRUE(app.WaitGone(dialog, 180000)) << "the dialog did not close";
    EXPECT_EQ(app.WaitScreen(uidriver::kModified, 60000), uidriver::kModified);
    QueryPerformanceCounter(&deleted);
    // Figures for the record, not limits.
    std::printf(
        "[ scale ] Delete VOR dialog listing %d records: ready %.2f s after the file "
        "choice, deletion done %.2f s after OK\n",
        kRecords, Seconds(chosen, ready), Seconds(ready, deleted));

    const uidriver::Bytes copy = uidriver::ReadBytes(database + ".new");
    ASSERT_EQ(copy.size(), bytes.size() - kVorSize);
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), bytes.begin())) << "not the first 99,999";
    EXPECT_EQ(uidriver::ReadBytes(database), bytes) << "the database changed";
    EXPECT_TRUE(app.Close());
    uidriver::RemoveTree(folder);
}

}  // namespace
