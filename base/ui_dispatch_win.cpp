#include "base/ui_dispatch_win.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "app/ids.h"

namespace tidewell {
namespace {

struct Request {
    std::function<void()> step;
    HANDLE done = nullptr;
    bool ran = false;
    bool running = false;
};

std::mutex g_mutex;
std::set<Request*> g_pending;  // posted, not yet taken by the user-interface thread
HWND g_window = nullptr;
DWORD g_uiThread = 0;
std::atomic<bool> g_terminated{false};

LRESULT CALLBACK DispatchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != ids::WmRunOnUiThread) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    auto* request = reinterpret_cast<Request*>(lParam);
    {
        std::lock_guard lock(g_mutex);
        if (g_pending.erase(request) == 0) return 0;  // dropped by a shutdown
        request->running = true;
    }
    try {
        request->step();
        request->ran = true;
    } catch (...) {
        // A failing step still releases its worker.
    }
    ::SetEvent(request->done);
    return 0;
}

}  // namespace

void InstallUiDispatcher() {
    std::lock_guard lock(g_mutex);
    if (g_window) return;
    static const wchar_t kClass[] = L"TidewellUiDispatch";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DispatchProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    g_window = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    g_uiThread = ::GetCurrentThreadId();
}

void ShutdownUiDispatcher() {
    HWND window;
    {
        std::lock_guard lock(g_mutex);
        window = g_window;
        g_window = nullptr;
        for (Request* r : g_pending) ::SetEvent(r->done);
        g_pending.clear();
    }
    if (window) ::DestroyWindow(window);
}

bool RunOnUiThread(std::function<void()> step) {
    if (::GetCurrentThreadId() == g_uiThread) {
        if (!g_window) return false;
        step();
        return true;
    }
    Request request;
    request.step = std::move(step);
    request.done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        std::lock_guard lock(g_mutex);
        if (!g_window || !::PostMessageW(g_window, ids::WmRunOnUiThread, 0, reinterpret_cast<LPARAM>(&request))) {
            ::CloseHandle(request.done);
            return false;
        }
        g_pending.insert(&request);
    }
    ::WaitForSingleObject(request.done, INFINITE);
    ::CloseHandle(request.done);
    return request.ran;
}

void RequestTermination() noexcept { g_terminated.store(true); }
bool TerminationRequested() noexcept { return g_terminated.load(); }

void StartWorker(std::function<void()> work) {
    std::thread([work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // Workers report nothing; whatever they changed is undone by their completion step.
        }
    }).detach();
}

}  // namespace tidewell
