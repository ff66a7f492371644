#include <windows.h>

#include "app/main_window_win.h"
#include "app/process_entry.h"
#include "base/command_line_win.h"
#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "i18n/translation.h"

namespace tidewell {
namespace {

constexpr wchar_t kInstanceMutex[] = L"TFrmTidewell";

class Win32InstancePlatform final : public InstancePlatform {
public:
    WindowHandle FindMainWindow() override {
        return reinterpret_cast<WindowHandle>(::FindWindowW(WidePtr(kMainWindowClass), nullptr));
    }
    void SendCommand(WindowHandle window, InstanceCommand command) override {
        if (window) ::SendMessageW(reinterpret_cast<HWND>(window), WM_USER, command, 0);
    }
    bool IsWindow(WindowHandle window) override { return ::IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }
    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
    bool OpenInstanceMutex() override {
        // Kept open until the process ends, as the running instance keeps its own.
        static UniqueKernelHandle opened;
        opened.reset(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutex));
        return static_cast<bool>(opened);
    }
    MutexResult CreateInstanceMutex() override {
        static UniqueKernelHandle created;
        created.reset(::CreateMutexW(nullptr, TRUE, kInstanceMutex));
        if (!created) return MutexResult::Failed;
        return ::GetLastError() == ERROR_ALREADY_EXISTS ? MutexResult::AlreadyExisted : MutexResult::Created;
    }
    void RunInstance(bool startHidden) override {
        // The user-interface thread keeps its apartment for the whole run; the
        // task calls' own CoInitialize then nest inside it.
        ComApartment apartment;
        // Workers (a clean, the update exchange) may still hand a step to the
        // window's host after the window is gone; the host therefore lives
        // until the process ends and answers them that the window is gone.
        auto* window = new MainWindow;
        if (!window->Create()) return;
        (void)window->Run(startHidden);
    }
};

}  // namespace
}  // namespace tidewell

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tidewell;
    LoadTranslationTable();
    Win32InstancePlatform platform;
    return RunProcessEntry(platform, FirstCommandLineArgument());
}
