// The program's start when its main window cannot be made, in-process: the
// frame's window is refused outright, or dies inside CreateWindowEx (its
// WM_CREATE fails, so WM_NCDESTROY arrives before the constructor returns).
// Either way the start ends with exit status 1, the frame object is deleted
// exactly once, and nothing is freed twice.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

#include "main_frame.h"

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

// Every live allocation of the frame's size, to see double and missing deletes.
constexpr int kSlots = 64;
void* g_frames[kSlots];
int g_doubleDeletes = 0;

bool g_refuseFrame = false;  // refuse the frame window at HCBT_CREATEWND
WNDPROC g_frameProc = nullptr;

LRESULT CALLBACK FailingCreate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return -1;
    return ::CallWindowProcA(g_frameProc, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[64] = {};
        ::GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        // The failure's message box is refused too, so nothing waits for a click.
        if (std::string_view(name) == "#32770") return 1;
        if (std::string_view(name) == "NavaidEditFrame") {
            if (g_refuseFrame) return 1;
            g_frameProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC,
                                    reinterpret_cast<LONG_PTR>(&FailingCreate)));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    if (size == sizeof(CMainFrame)) {
        for (void*& slot : g_frames)
            if (slot == nullptr) {
                slot = block;
                break;
            }
    }
    return block;
}

void operator delete(void* block) noexcept {
    if (block == nullptr) return;
    for (void*& slot : g_frames)
        if (slot == block) {
            slot = nullptr;
            std::free(block);
            return;
        }
    // Not a live frame: fine for other objects, a double delete for a frame
    // whose memory is gone already.
    std::free(block);
}

void operator delete(void* block, std::size_t size) noexcept {
    if (block != nullptr && size == sizeof(CMainFrame)) {
        bool live = false;
        for (void* slot : g_frames) live = live || slot == block;
        if (!live) {
            ++g_doubleDeletes;
            return;
        }
    }
    operator delete(block);
}

int LiveFrames() {
    int live = 0;
    for (void* slot : g_frames) live += slot != nullptr;
    return live;
}

int main() {
    int failures = 0;
    for (bool refuse : {true, false}) {
        g_refuseFrame = refuse;
        const int before = LiveFrames();
        HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CbtHook, nullptr, ::GetCurrentThreadId());
        const int status = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_HIDE);
        ::UnhookWindowsHookEx(hook);
        const int leaked = LiveFrames() - before;
        const char* how = refuse ? "window refused" : "WM_CREATE failed";
        if (status != 1 || g_doubleDeletes != 0 || leaked != 0) {
            std::printf("FAILED %s: exit %d, frames deleted twice %d, frames left %d\n", how,
                        status, g_doubleDeletes, leaked);
            ++failures;
        }
    }
    std::printf("%d passed, %d failed\n", 2 - failures, failures);
    return failures == 0 ? 0 : 1;
}
