#pragma once
// The process entry: from the first command-line argument and from what already
// runs in the logon session, decide whether this process becomes the running
// instance or only passes a command to it and exits.

#include <cstdint>

#include "base/text.h"

namespace tidewell {

// Commands a second start sends to the running instance's main window (WM_USER).
enum InstanceCommand : unsigned {
    kCommandShow = 1,
    kCommandRemoveTaskAndQuit = 2,
};

class InstancePlatform {
public:
    virtual ~InstancePlatform() = default;
    using WindowHandle = uintptr_t;
    enum class MutexResult { Created, AlreadyExisted, Failed };

    // The top-level window of class "TFrmTidewell", 0 when none.
    [[nodiscard]] virtual WindowHandle FindMainWindow() = 0;
    // Sends WM_USER with the command and waits for the answer; nothing with window 0.
    virtual void SendCommand(WindowHandle window, InstanceCommand command) = 0;
    [[nodiscard]] virtual bool IsWindow(WindowHandle window) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // Opens the mutex "TFrmTidewell" (the handle stays open until the process ends).
    [[nodiscard]] virtual bool OpenInstanceMutex() = 0;
    // Creates the mutex "TFrmTidewell" with initial ownership (kept until the process ends).
    [[nodiscard]] virtual MutexResult CreateInstanceMutex() = 0;
    // Creates the main window and runs the message loop until it closes.
    virtual void RunInstance(bool startHidden) = 0;
};

// Returns the process's exit code, 0 on every path.
[[nodiscard]] int RunProcessEntry(InstancePlatform& platform, const Text& firstArgument);

}  // namespace tidewell
