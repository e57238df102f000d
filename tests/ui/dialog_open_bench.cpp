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

int main() {
    using namespace uidriver;
    UseTestDesktop();
    const std::string folder = WindowsPath(UI_WORK_DIR) + "\\bench";
    RemoveTree(folder);
    MakeFolder(folder);
    for (int records : {20000, 100000}) {
        const std::string database = folder + "\\big.qvz";
        WriteBytes(database, ManyVors(records));
        App app(WindowsPath(NAVAIDEDIT_EXE), folder);
        app.Command(IDM_VOR_DELETE);
        HWND open = app.WaitOpenDialog();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        if (open != nullptr) app.ChooseFile(open, database);
        HWND dialog = app.WaitListedDialog("Delete VOR", IDC_NAVAID_LIST, records, 120000);
        const double seconds = dialog != nullptr ? SecondsSince(start) : -1;
        std::printf("Delete VOR dialog ready for %6d records: %.3f s\n", records, seconds);
        if (dialog != nullptr) app.Click(dialog, IDCANCEL);
    }
    RemoveTree(folder);
    return 0;
}
