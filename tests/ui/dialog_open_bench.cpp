// How long the Delete VOR dialog takes to be ready once the database file is
// chosen, for big databases. A benchmark, not a test: run it by hand with
//   bash tests/ui/flows/run_flow_tests.sh build/win64/bin/dialog_open_bench.exe
//        build/win64/tests/ui/flows/work
// (DISPLAY and WINEPREFIX set as scripts/test.sh sets them). Target: under
// one second for 20,000 records.
#include <cstdio>
#include <string>

#include "flow_driver.h"
#include "resource.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// From the Open dialog's OK to the Delete VOR dialog listing every record.
double TimeDialogOpen(const std::string& folder, int records) {
    const std::string database = folder + "\\big.qvz";
    flows::Bytes bytes(static_cast<size_t>(records) * 56, ' ');
    for (int k = 0; k < records; ++k) {
        std::string id = std::to_string(k);
        id.insert(id.begin(), 'V');
        std::copy(id.begin(), id.end(), bytes.begin() + static_cast<size_t>(k) * 56);
    }
    flows::WriteBytes(database, bytes);
    flows::App app(flows::WindowsPath(NAVAIDEDIT_EXE), folder);
    app.Command(IDM_VOR_DELETE);
    HWND open = app.WaitOpenDialog();
    if (open == nullptr) return -1;
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    app.ChooseFile(open, database);
    HWND dialog = app.WaitDialog(
        [&](HWND window) {
            return flows::WindowText(window) == "Delete VOR" &&
                   SendMessageA(GetDlgItem(window, IDC_NAVAID_LIST), CB_GETCOUNT, 0, 0) == records;
        },
        120000);
    QueryPerformanceCounter(&ready);
    if (dialog == nullptr) return -1;
    app.CancelDialog(dialog);
    app.WaitGone(dialog, 60000);
    return Seconds(start, ready);
}

}  // namespace

int main() {
    flows::UseFlowDesktop();
    const std::string folder = flows::WindowsPath(FLOWS_WORK_DIR) + "\\bench";
    flows::RemoveTree(folder);
    flows::MakeFolder(folder);
    for (int records : {20000, 100000}) {
        const double seconds = TimeDialogOpen(folder, records);
        std::printf("Delete VOR dialog ready for %6d records: %.3f s\n", records, seconds);
    }
    flows::RemoveTree(folder);
    return 0;
}
