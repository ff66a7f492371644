// Registration, removal and lookup of the logon task through Task Scheduler 2.0.

#include <windows.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <string>

#include "autostart/auto_start.h"
#include "autostart/logon_trigger_win.h"
#include "autostart/task_duration.h"
#include "autostart/task_scheduler_win.h"
#include "base/scoped_win.h"
#include "base/wide_win.h"

namespace tidewell {

namespace {

using Microsoft::WRL::ComPtr;

// Any failing step ends the whole operation; nothing after it runs, so a
// registration that breaks off leaves the Task Scheduler as it was.
struct StepFailed {};

void Check(HRESULT hr) {
    if (FAILED(hr)) throw StepFailed{};
}

// Some implementations answer success and hand back no object.
template <typename T>
T* Need(const ComPtr<T>& object) {
    if (!object) throw StepFailed{};
    return object.Get();
}

class Bstr {
public:
    explicit Bstr(TextView text) : bstr_(text) {
        if (!bstr_.get()) throw StepFailed{};
    }
    [[nodiscard]] BSTR get() const noexcept { return bstr_.get(); }

private:
    ScopedBstr bstr_;
};

struct RootFolder {
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
};

RootFolder OpenRootFolder(const TaskSchedulerAccess& access) {
    const HRESULT security = access.initializeSecurity();
    if (FAILED(security) && security != RPC_E_TOO_LATE) throw StepFailed{};

    ComPtr<IUnknown> unknown;
    Check(access.createService(unknown.GetAddressOf()));
    RootFolder root;
    Check(Need(unknown)->QueryInterface(IID_PPV_ARGS(root.service.GetAddressOf())));
    // Four empty VARIANTs: this machine, the current user.
    const ScopedVariant none;
    Check(Need(root.service)->Connect(none.get(), none.get(), none.get(), none.get()));
    Check(root.service->GetFolder(Bstr(u"\\").get(), root.folder.GetAddressOf()));
    Need(root.folder);
    return root;
}

// Scans the root folder's visible tasks for one named exactly taskName.
bool RootFolderLists(ITaskFolder& folder, const Text& taskName) {
    ComPtr<IRegisteredTaskCollection> tasks;
    Check(folder.GetTasks(0, tasks.GetAddressOf()));
    LONG count = 0;
    Check(Need(tasks)->get_Count(&count));
    for (LONG i = 1; i <= count; ++i) {  // the collection counts from 1
        ScopedVariant index;
        ScopedVariant::SetInt32(index, i);
        ComPtr<IRegisteredTask> task;
        Check(tasks->get_Item(index.get(), task.GetAddressOf()));
        ScopedBstr name;
        Check(Need(task)->get_Name(name.put()));
        if (name.text() == taskName) return true;
    }
    return false;
}

ComPtr<ITaskSettings> SettingsOf(ITaskDefinition& definition) {
    ComPtr<ITaskSettings> settings;
    Check(definition.get_Settings(settings.GetAddressOf()));
    Need(settings);
    return settings;
}

void RegisterLogonTask(const TaskSchedulerAccess& access, const RootFolder& root, const Text& taskName,
                       int32_t delaySeconds) {
    ComPtr<ITaskDefinition> definition;
    Check(root.service->NewTask(0, definition.GetAddressOf()));
    Need(definition);

    ComPtr<IPrincipal> principal;
    Check(definition->get_Principal(principal.GetAddressOf()));
    Check(Need(principal)->put_RunLevel(TASK_RUNLEVEL_HIGHEST));

    ComPtr<ITriggerCollection> triggers;
    Check(definition->get_Triggers(triggers.GetAddressOf()));
    ComPtr<ITrigger> trigger;
    Check(Need(triggers)->Create(TASK_TRIGGER_LOGON, trigger.GetAddressOf()));
    Need(trigger);
    if (delaySeconds > 0) {
        ComPtr<ILogonTrigger> logon;
        Check(trigger.As(&logon));
        Check(Need(logon)->put_Delay(Bstr(SecondsToTaskDuration(delaySeconds)).get()));
    }

    ComPtr<IActionCollection> actions;
    Check(definition->get_Actions(actions.GetAddressOf()));
    ComPtr<IAction> action;
    Check(Need(actions)->Create(TASK_ACTION_EXEC, action.GetAddressOf()));
    ComPtr<IExecAction> exec;
    Need(action);
    Check(action.As(&exec));
    Need(exec);
    const Text path = access.executablePath();
    if (path.empty()) throw StepFailed{};
    Check(exec->put_Path(Bstr(path).get()));
    Check(exec->put_WorkingDirectory(Bstr(FolderOfPath(path)).get()));
    Check(exec->put_Arguments(Bstr(u"/start").get()));

    Check(SettingsOf(*definition.Get())->put_StartWhenAvailable(VARIANT_TRUE));
    Check(SettingsOf(*definition.Get())->put_ExecutionTimeLimit(Bstr(u"PT0S").get()));
    ComPtr<IIdleSettings> idle;
    Check(SettingsOf(*definition.Get())->get_IdleSettings(idle.GetAddressOf()));
    Check(Need(idle)->put_StopOnIdleEnd(VARIANT_FALSE));
    Check(SettingsOf(*definition.Get())->put_DisallowStartIfOnBatteries(VARIANT_FALSE));
    Check(SettingsOf(*definition.Get())->put_StopIfGoingOnBatteries(VARIANT_FALSE));

    const ScopedVariant none;
    ScopedVariant emptySddl;
    ScopedVariant::SetText(emptySddl, u"");
    if (!emptySddl.get().bstrVal) throw StepFailed{};
    ComPtr<IRegisteredTask> registered;
    Check(root.folder->RegisterTaskDefinition(Bstr(taskName).get(), definition.Get(), TASK_CREATE_OR_UPDATE,
                                              none.get(), none.get(), TASK_LOGON_INTERACTIVE_TOKEN, emptySddl.get(),
                                              registered.GetAddressOf()));
}

Text RunningExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return FromWide(buffer.data(), length);
        if (buffer.size() >= 32768) return {};  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

Text FolderOfPath(const Text& path) {
    const size_t slash = path.rfind(u'\\');
    return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

TaskSchedulerAccess SystemTaskScheduler() {
    TaskSchedulerAccess access;
    access.initializeSecurity = [] {
        return ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    };
    access.createService = [](IUnknown** service) {
        return ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IUnknown, reinterpret_cast<void**>(service));
    };
    access.executablePath = RunningExecutablePath;
    return access;
}

void SetAutoStartTask(const TaskSchedulerAccess& access, const Text& taskName, bool enable, int32_t delaySeconds) {
    try {
        const RootFolder root = OpenRootFolder(access);
        if (enable) {
            RegisterLogonTask(access, root, taskName, delaySeconds);
        } else if (RootFolderLists(*root.folder.Get(), taskName)) {
            Check(root.folder->DeleteTask(Bstr(taskName).get(), 0));
        }
    } catch (...) {
        // Silent by design: the check box keeps the user's state and the next
        // start shows the task as it really is.
    }
}

bool AutoStartTaskExists(const TaskSchedulerAccess& access, const Text& taskName) {
    try {
        const RootFolder root = OpenRootFolder(access);
        return RootFolderLists(*root.folder.Get(), taskName);
    } catch (...) {
        return false;
    }
}

void SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds) {
    SetAutoStartTask(SystemTaskScheduler(), taskName, enable, delaySeconds);
}

bool AutoStartTaskExists(const Text& taskName) { return AutoStartTaskExists(SystemTaskScheduler(), taskName); }

}  // namespace tidewell
