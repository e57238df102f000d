// How long the Delete VOR dialog of navaidedit.exe takes to be ready once the
// database file is chosen, for big databases. A benchmark, not a test: with
// DISPLAY and WINEPREFIX set as scripts/test.sh sets them, run
//   bash cmake/wine-run.sh build/win64/bin/dialog_open_bench.exe
// Target: under one second for 20,000 records.
#include <cstdio>
#include <cstring>
#include <string>

#include "resource.h"
#include "ui_driver.h"

int main() {
    using namespace uidriver;
    UseTestDesktop();
    const std::string folder = WindowsPath(BENCH_WORK_DIR);
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int records : {20000, 100000}) {
        // IDs "V<k>" and names "SCALE <k>", so every label differs.
        Bytes bytes(static_cast<size_t>(records) * 56, 0);
        for (int k = 0; k < records; ++k) {
            char label[31];
            std::snprintf(label, sizeof label, "V%-9dSCALE %-14d", k, k);
            std::memcpy(&bytes[static_cast<size_t>(k) * 56], label, 30);
            bytes[static_cast<size_t>(k) * 56 + 50] = 1;
        }
        const std::string database = folder + "\\big.qvz";
        WriteBytes(database, bytes);
        App app(WindowsPath(NAVAIDEDIT_EXE), folder);
        app.Command(IDM_VOR_DELETE);
        HWND open = app.WaitOpenDialog();
        const ULONGLONG start = GetTickCount64();
        if (open != nullptr) app.ChooseFile(open, database);
        HWND dialog = app.WaitWindow(
            [&](HWND w) {
                return WindowText(w) == "Delete VOR" &&
                       SendDlgItemMessageA(w, IDC_NAVAID_LIST, CB_GETCOUNT, 0, 0) == records;
            },
            120000);
        const double seconds = dialog != nullptr ? (GetTickCount64() - start) / 1000.0 : -1;
        std::printf("Delete VOR dialog ready for %6d records: %.3f s\n", records, seconds);
        if (dialog != nullptr) app.Click(dialog, IDCANCEL);
    }
    fs::remove_all(folder);
    return 0;
}
