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
// Each user interface gets a generation of its own; a worker keeps the one it
// was started under and is never handed to a later interface (only a process
// that makes several windows in turn, a test, has more than one).
std::atomic<unsigned> g_generation{1};
thread_local unsigned t_workerGeneration = 0;

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
    g_generation.fetch_add(1);
    g_terminated.store(false);
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
    if (t_workerGeneration != 0 && t_workerGeneration != g_generation.load()) return false;
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
    unsigned generation = 0;  // started with no interface up: bound to none
    {
        std::lock_guard lock(g_mutex);
        if (g_window) generation = g_generation.load();
    }
    std::thread([work = std::move(work), generation] {
        t_workerGeneration = generation;
        try {
            work();
        } catch (...) {
            // Workers report nothing; whatever they changed is undone by their completion step.
        }
    }).detach();
}

}  // namespace tidewell
