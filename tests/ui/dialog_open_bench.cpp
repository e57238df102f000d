// How long the Delete VOR dialog takes to be ready once the database file is
// chosen, for big databases. A benchmark, not a test: run it by hand with
//   bash tests/ui/run_ui_tests.sh build/win64/bin/dialog_open_bench.exe
//        build/win64/tests/ui/work
// (DISPLAY and WINEPREFIX set as scripts/test.sh sets them). Target: under
// one second for 20,000 records.
#include <cstdio>
#include <string>

#include "resource.h"
#include "ui_driver.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// From the Open dialog's OK to the Delete VOR dialog listing every record.
double TimeDialogOpen(const std::string& folder, int records) {
    const std::string database = folder + "\\big.qvz";
    uidriver::Bytes bytes(static_cast<size_t>(records) * 56, ' ');
    for (int k = 0; k < records; ++k) {
        std::string id = std::to_string(k);
        id.insert(id.begin(), 'V');
        std::copy(id.begin(), id.end(), bytes.begin() + static_cast<size_t>(k) * 56);
    }
    uidriver::WriteBytes(database, bytes);
    uidriver::App app(uidriver::WindowsPath(NAVAIDEDIT_EXE), folder);
    app.Command(IDM_VOR_DELETE);
    HWND open = app.WaitOpenDialog();
    if (open == nullptr) return -1;
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    app.ChooseFile(open, database);
    HWND dialog = app.WaitDialog(
        [&](HWND window) {
            return uidriver::WindowText(window) == "Delete VOR" &&
                   SendMessageA(GetDlgItem(window, IDC_NAVAID_LIST), CB_GETCOUNT, 0, 0) == records;
        },
        120000);
    QueryPerformanceCounter(&ready);
    if (dialog == nullptr) return -1;
    app.Click(dialog, IDCANCEL);
    app.WaitGone(dialog, 60000);
    return Seconds(start, ready);
}

}  // namespace

int main() {
    uidriver::UseTestDesktop();
    const std::string folder = uidriver::WindowsPath(UI_WORK_DIR) + "\\bench";
    uidriver::RemoveTree(folder);
    uidriver::MakeFolder(folder);
    for (int records : {20000, 100000}) {
        const double seconds = TimeDialogOpen(folder, records);
        std::printf("Delete VOR dialog ready for %6d records: %.3f s\n", records, seconds);
    }
    uidriver::RemoveTree(folder);
    return 0;
}
