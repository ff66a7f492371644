#include "app/process_entry.h"

namespace tidewell {
namespace {

// A second start: "/start" (the logon task) stays silent, anything else brings
// the running instance's window forward.
void ActAsSecondStart(InstancePlatform& platform, InstancePlatform::WindowHandle window, const Text& argument) {
    if (argument == u"/start") return;
    platform.SendCommand(window, kCommandShow);
}

}  // namespace

int RunProcessEntry(InstancePlatform& platform, const Text& argument) {
    const InstancePlatform::WindowHandle window = platform.FindMainWindow();

    if (argument == u"/uninst") {
        platform.SendCommand(window, kCommandRemoveTaskAndQuit);
        for (int i = 0; i < 10 && platform.IsWindow(window); ++i) platform.Sleep(100);
        return 0;
    }

    if (platform.OpenInstanceMutex()) {
        ActAsSecondStart(platform, window, argument);
        return 0;
    }

    // Two processes started at the same instant can both miss the mutex above;
    // the one whose creation finds it already there is the second start after all.
    if (platform.CreateInstanceMutex() == InstancePlatform::MutexResult::AlreadyExisted) {
        if (argument != u"/start") ActAsSecondStart(platform, platform.FindMainWindow(), argument);
        return 0;
    }

    platform.RunInstance(argument == u"/start");
    return 0;
}

}  // namespace tidewell
