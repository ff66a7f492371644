#include "tests/support/fake_task_scheduler.h"

#include <oleauto.h>

#include <algorithm>
#include <utility>

#include "autostart/logon_trigger_win.h"

namespace tidewell::testing {

namespace {

using Outcome = FakeTaskScheduler::Outcome;
using Definition = FakeTaskScheduler::Definition;

constexpr HRESULT kNotConnected = HRESULT_FROM_WIN32(ERROR_ONLY_IF_CONNECTED);
constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
constexpr HRESULT kExists = HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);

Text FromBstr(BSTR b) { return b ? Text(reinterpret_cast<const char16_t*>(b), ::SysStringLen(b)) : Text(); }

// Built by appending: GCC 12 warns falsely about "\"" + text at -O3.
std::string InQuotes(const Text& text) {
    std::string quoted(1, '"');
    quoted += TextToUtf8(text);
    quoted += '"';
    return quoted;
}

std::string Quoted(BSTR b) { return b ? InQuotes(FromBstr(b)) : "null"; }

std::string Describe(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY: return "VT_EMPTY";
        case VT_I4: return "VT_I4:" + std::to_string(v.lVal);
        case VT_BSTR: return "VT_BSTR:" + Quoted(v.bstrVal);
        default: return "VT_" + std::to_string(v.vt);
    }
}

std::string Flag(VARIANT_BOOL b) { return std::to_string(b); }

std::string InterfaceName(REFIID riid) {
    const struct {
        const IID* iid;
        const char* name;
    } known[] = {
        {&IID_ITaskService, "ITaskService"},     {&IID_ITaskFolder, "ITaskFolder"},
        {&IID_ITaskDefinition, "ITaskDefinition"}, {&IID_IPrincipal, "IPrincipal"},
        {&IID_ITriggerCollection, "ITriggerCollection"}, {&IID_ITrigger, "ITrigger"},
        {&__uuidof(ILogonTrigger), "ILogonTrigger"}, {&IID_IActionCollection, "IActionCollection"},
        {&IID_IAction, "IAction"},               {&IID_IExecAction, "IExecAction"},
        {&IID_ITaskSettings, "ITaskSettings"},   {&IID_IIdleSettings, "IIdleSettings"},
        {&IID_IRegisteredTaskCollection, "IRegisteredTaskCollection"},
        {&IID_IRegisteredTask, "IRegisteredTask"},
    };
    for (const auto& k : known) {
        if (IsEqualIID(riid, *k.iid)) return k.name;
    }
    wchar_t text[40] = {};
    ::StringFromGUID2(riid, text, 40);
    return TextToUtf8(Text(reinterpret_cast<const char16_t*>(text)));
}

// IUnknown and IDispatch for every fake object; Cast names the interfaces an
// object has beyond those.
template <typename Interface>
class FakeObject : public Interface {
public:
    FakeObject(FakeTaskScheduler& fake, const char* name) : fake_(fake), name_(name) { ++fake_.liveObjects; }
    virtual ~FakeObject() { --fake_.liveObjects; }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        const Outcome outcome = fake_.Step(std::string(name_) + "::QueryInterface(" + InterfaceName(riid) + ")", true);
        void* cast = Cast(riid);
        if (outcome == Outcome::Fail || !cast) return E_NOINTERFACE;
        if (outcome == Outcome::Empty) return S_OK;
        *out = cast;
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return Unexpected("GetTypeInfoCount"); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected("GetTypeInfo"); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return Unexpected("GetIDsOfNames");
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return Unexpected("Invoke");
    }

protected:
    virtual void* Cast(REFIID) { return nullptr; }

    HRESULT Unexpected(const char* method) {
        (void)fake_.Step(std::string(name_) + "::" + method + " (unexpected)");
        return E_NOTIMPL;
    }

    // Records a call; Succeed means the method goes on with its work.
    Outcome Step(const char* method, const std::string& arguments = "", bool objectOut = false) {
        return fake_.Step(std::string(name_) + "::" + method + "(" + arguments + ")", objectOut);
    }

    // Hands a fresh object out through an out-parameter after the step's outcome.
    template <typename Out, typename Made>
    HRESULT HandOut(Outcome outcome, Out** out, Made* made) {
        if (!out) {
            if (made) made->Release();
            return E_POINTER;
        }
        *out = nullptr;
        if (outcome == Outcome::Fail) {
            if (made) made->Release();
            return E_FAIL;
        }
        if (outcome == Outcome::Empty) {
            if (made) made->Release();
            return S_OK;
        }
        *out = made;  // made carries the reference it was created with
        return S_OK;
    }

    FakeTaskScheduler& fake_;

private:
    const char* name_;
    ULONG references_ = 1;
};

#define FAKE_UNEXPECTED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return Unexpected(#method); }

class FakeIdleSettings : public FakeObject<IIdleSettings> {
public:
    FakeIdleSettings(FakeTaskScheduler& fake, std::shared_ptr<Definition> d)
        : FakeObject(fake, "IIdleSettings"), definition_(std::move(d)) {}
    HRESULT STDMETHODCALLTYPE put_StopOnIdleEnd(VARIANT_BOOL stop) override {
        if (Step("put_StopOnIdleEnd", Flag(stop)) == Outcome::Fail) return E_FAIL;
        definition_->stopOnIdleEnd = stop;
        return S_OK;
    }
    FAKE_UNEXPECTED(get_IdleDuration, BSTR*)
    FAKE_UNEXPECTED(put_IdleDuration, BSTR)
    FAKE_UNEXPECTED(get_WaitTimeout, BSTR*)
    FAKE_UNEXPECTED(put_WaitTimeout, BSTR)
    FAKE_UNEXPECTED(get_StopOnIdleEnd, VARIANT_BOOL*)
    FAKE_UNEXPECTED(get_RestartOnIdle, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_RestartOnIdle, VARIANT_BOOL)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_IIdleSettings) ? static_cast<IIdleSettings*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

class FakeSettings : public FakeObject<ITaskSettings> {
public:
    FakeSettings(FakeTaskScheduler& fake, std::shared_ptr<Definition> d)
        : FakeObject(fake, "ITaskSettings"), definition_(std::move(d)) {}
    HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL start) override {
        if (Step("put_StartWhenAvailable", Flag(start)) == Outcome::Fail) return E_FAIL;
        definition_->startWhenAvailable = start;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override {
        if (Step("put_ExecutionTimeLimit", Quoted(limit)) == Outcome::Fail) return E_FAIL;
        definition_->executionTimeLimit = FromBstr(limit);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IdleSettings(IIdleSettings** settings) override {
        const Outcome outcome = Step("get_IdleSettings", "", true);
        return HandOut(outcome, settings,
                       outcome == Outcome::Succeed ? new FakeIdleSettings(fake_, definition_) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE put_DisallowStartIfOnBatteries(VARIANT_BOOL disallow) override {
        if (Step("put_DisallowStartIfOnBatteries", Flag(disallow)) == Outcome::Fail) return E_FAIL;
        definition_->disallowStartIfOnBatteries = disallow;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_StopIfGoingOnBatteries(VARIANT_BOOL stop) override {
        if (Step("put_StopIfGoingOnBatteries", Flag(stop)) == Outcome::Fail) return E_FAIL;
        definition_->stopIfGoingOnBatteries = stop;
        return S_OK;
    }
    FAKE_UNEXPECTED(get_AllowDemandStart, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_AllowDemandStart, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_RestartInterval, BSTR*)
    FAKE_UNEXPECTED(put_RestartInterval, BSTR)
    FAKE_UNEXPECTED(get_RestartCount, INT*)
    FAKE_UNEXPECTED(put_RestartCount, INT)
    FAKE_UNEXPECTED(get_MultipleInstances, TASK_INSTANCES_POLICY*)
    FAKE_UNEXPECTED(put_MultipleInstances, TASK_INSTANCES_POLICY)
    FAKE_UNEXPECTED(get_StopIfGoingOnBatteries, VARIANT_BOOL*)
    FAKE_UNEXPECTED(get_DisallowStartIfOnBatteries, VARIANT_BOOL*)
    FAKE_UNEXPECTED(get_AllowHardTerminate, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_AllowHardTerminate, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_StartWhenAvailable, VARIANT_BOOL*)
    FAKE_UNEXPECTED(get_XmlText, BSTR*)
    FAKE_UNEXPECTED(put_XmlText, BSTR)
    FAKE_UNEXPECTED(get_RunOnlyIfNetworkAvailable, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_RunOnlyIfNetworkAvailable, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_ExecutionTimeLimit, BSTR*)
    FAKE_UNEXPECTED(get_Enabled, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_Enabled, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_DeleteExpiredTaskAfter, BSTR*)
    FAKE_UNEXPECTED(put_DeleteExpiredTaskAfter, BSTR)
    FAKE_UNEXPECTED(get_Priority, INT*)
    FAKE_UNEXPECTED(put_Priority, INT)
    FAKE_UNEXPECTED(get_Compatibility, TASK_COMPATIBILITY*)
    FAKE_UNEXPECTED(put_Compatibility, TASK_COMPATIBILITY)
    FAKE_UNEXPECTED(get_Hidden, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_Hidden, VARIANT_BOOL)
    FAKE_UNEXPECTED(put_IdleSettings, IIdleSettings*)
    FAKE_UNEXPECTED(get_RunOnlyIfIdle, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_RunOnlyIfIdle, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_WakeToRun, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_WakeToRun, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_NetworkSettings, INetworkSettings**)
    FAKE_UNEXPECTED(put_NetworkSettings, INetworkSettings*)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_ITaskSettings) ? static_cast<ITaskSettings*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

class FakePrincipal : public FakeObject<IPrincipal> {
public:
    FakePrincipal(FakeTaskScheduler& fake, std::shared_ptr<Definition> d)
        : FakeObject(fake, "IPrincipal"), definition_(std::move(d)) {}
    HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override {
        if (Step("put_RunLevel", std::to_string(level)) == Outcome::Fail) return E_FAIL;
        definition_->runLevel = level;
        return S_OK;
    }
    FAKE_UNEXPECTED(get_Id, BSTR*)
    FAKE_UNEXPECTED(put_Id, BSTR)
    FAKE_UNEXPECTED(get_DisplayName, BSTR*)
    FAKE_UNEXPECTED(put_DisplayName, BSTR)
    FAKE_UNEXPECTED(get_UserId, BSTR*)
    FAKE_UNEXPECTED(put_UserId, BSTR)
    FAKE_UNEXPECTED(get_LogonType, TASK_LOGON_TYPE*)
    FAKE_UNEXPECTED(put_LogonType, TASK_LOGON_TYPE)
    FAKE_UNEXPECTED(get_GroupId, BSTR*)
    FAKE_UNEXPECTED(put_GroupId, BSTR)
    FAKE_UNEXPECTED(get_RunLevel, TASK_RUNLEVEL_TYPE*)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_IPrincipal) ? static_cast<IPrincipal*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

// Every trigger of this fake is made as a logon-trigger object; it answers
// for ILogonTrigger only when it was created with the logon type.
class FakeTrigger : public FakeObject<ILogonTrigger> {
public:
    FakeTrigger(FakeTaskScheduler& fake, std::shared_ptr<Definition> d, size_t index)
        : FakeObject(fake, "ITrigger"), definition_(std::move(d)), index_(index) {}
    HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) override {
        if (fake_.Step("ILogonTrigger::put_Delay(" + Quoted(delay) + ")") == Outcome::Fail) return E_FAIL;
        definition_->triggers.at(index_).delay = FromBstr(delay);
        return S_OK;
    }
    FAKE_UNEXPECTED(get_Type, TASK_TRIGGER_TYPE2*)
    FAKE_UNEXPECTED(get_Id, BSTR*)
    FAKE_UNEXPECTED(put_Id, BSTR)
    FAKE_UNEXPECTED(get_Repetition, IRepetitionPattern**)
    FAKE_UNEXPECTED(put_Repetition, IRepetitionPattern*)
    FAKE_UNEXPECTED(get_ExecutionTimeLimit, BSTR*)
    FAKE_UNEXPECTED(put_ExecutionTimeLimit, BSTR)
    FAKE_UNEXPECTED(get_StartBoundary, BSTR*)
    FAKE_UNEXPECTED(put_StartBoundary, BSTR)
    FAKE_UNEXPECTED(get_EndBoundary, BSTR*)
    FAKE_UNEXPECTED(put_EndBoundary, BSTR)
    FAKE_UNEXPECTED(get_Enabled, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_Enabled, VARIANT_BOOL)
    FAKE_UNEXPECTED(get_Delay, BSTR*)
    FAKE_UNEXPECTED(get_UserId, BSTR*)
    FAKE_UNEXPECTED(put_UserId, BSTR)

private:
    void* Cast(REFIID riid) override {
        if (IsEqualIID(riid, IID_ITrigger)) return static_cast<ITrigger*>(this);
        const bool logon = definition_->triggers.at(index_).type == TASK_TRIGGER_LOGON;
        if (logon && IsEqualIID(riid, __uuidof(ILogonTrigger))) return static_cast<ILogonTrigger*>(this);
        return nullptr;
    }
    std::shared_ptr<Definition> definition_;
    size_t index_;
};

class FakeTriggers : public FakeObject<ITriggerCollection> {
public:
    FakeTriggers(FakeTaskScheduler& fake, std::shared_ptr<Definition> d)
        : FakeObject(fake, "ITriggerCollection"), definition_(std::move(d)) {}
    HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger** trigger) override {
        const Outcome outcome = Step("Create", std::to_string(type), true);
        FakeTrigger* made = nullptr;
        if (outcome == Outcome::Succeed) {
            definition_->triggers.push_back({type, std::nullopt});
            made = new FakeTrigger(fake_, definition_, definition_->triggers.size() - 1);
        }
        return HandOut(outcome, trigger, static_cast<ITrigger*>(made));
    }
    FAKE_UNEXPECTED(get_Count, LONG*)
    FAKE_UNEXPECTED(get_Item, LONG, ITrigger**)
    FAKE_UNEXPECTED(get__NewEnum, IUnknown**)
    FAKE_UNEXPECTED(Remove, VARIANT)
    FAKE_UNEXPECTED(Clear)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_ITriggerCollection) ? static_cast<ITriggerCollection*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

class FakeExecAction : public FakeObject<IExecAction> {
public:
    FakeExecAction(FakeTaskScheduler& fake, std::shared_ptr<Definition> d, size_t index)
        : FakeObject(fake, "IAction"), definition_(std::move(d)), index_(index) {}
    HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override {
        if (fake_.Step("IExecAction::put_Path(" + Quoted(path) + ")") == Outcome::Fail) return E_FAIL;
        definition_->actions.at(index_).path = FromBstr(path);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_WorkingDirectory(BSTR directory) override {
        if (fake_.Step("IExecAction::put_WorkingDirectory(" + Quoted(directory) + ")") == Outcome::Fail) return E_FAIL;
        definition_->actions.at(index_).workingDirectory = FromBstr(directory);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Arguments(BSTR arguments) override {
        if (fake_.Step("IExecAction::put_Arguments(" + Quoted(arguments) + ")") == Outcome::Fail) return E_FAIL;
        definition_->actions.at(index_).arguments = FromBstr(arguments);
        return S_OK;
    }
    FAKE_UNEXPECTED(get_Id, BSTR*)
    FAKE_UNEXPECTED(put_Id, BSTR)
    FAKE_UNEXPECTED(get_Type, TASK_ACTION_TYPE*)
    FAKE_UNEXPECTED(get_Path, BSTR*)
    FAKE_UNEXPECTED(get_Arguments, BSTR*)
    FAKE_UNEXPECTED(get_WorkingDirectory, BSTR*)

private:
    void* Cast(REFIID riid) override {
        if (IsEqualIID(riid, IID_IAction)) return static_cast<IAction*>(this);
        const bool exec = definition_->actions.at(index_).type == TASK_ACTION_EXEC;
        if (exec && IsEqualIID(riid, IID_IExecAction)) return static_cast<IExecAction*>(this);
        return nullptr;
    }
    std::shared_ptr<Definition> definition_;
    size_t index_;
};

class FakeActions : public FakeObject<IActionCollection> {
public:
    FakeActions(FakeTaskScheduler& fake, std::shared_ptr<Definition> d)
        : FakeObject(fake, "IActionCollection"), definition_(std::move(d)) {}
    HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE type, IAction** action) override {
        const Outcome outcome = Step("Create", std::to_string(type), true);
        FakeExecAction* made = nullptr;
        if (outcome == Outcome::Succeed) {
            definition_->actions.push_back({type, std::nullopt, std::nullopt, std::nullopt});
            made = new FakeExecAction(fake_, definition_, definition_->actions.size() - 1);
        }
        return HandOut(outcome, action, static_cast<IAction*>(made));
    }
    FAKE_UNEXPECTED(get_Count, LONG*)
    FAKE_UNEXPECTED(get_Item, LONG, IAction**)
    FAKE_UNEXPECTED(get__NewEnum, IUnknown**)
    FAKE_UNEXPECTED(get_XmlText, BSTR*)
    FAKE_UNEXPECTED(put_XmlText, BSTR)
    FAKE_UNEXPECTED(Remove, VARIANT)
    FAKE_UNEXPECTED(Clear)
    FAKE_UNEXPECTED(get_Context, BSTR*)
    FAKE_UNEXPECTED(put_Context, BSTR)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_IActionCollection) ? static_cast<IActionCollection*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

class FakeDefinition : public FakeObject<ITaskDefinition> {
public:
    explicit FakeDefinition(FakeTaskScheduler& fake)
        : FakeObject(fake, "ITaskDefinition"), definition_(std::make_shared<Definition>()) {
        fake_.definitions[static_cast<ITaskDefinition*>(this)] = definition_;
    }
    ~FakeDefinition() override { fake_.definitions.erase(static_cast<ITaskDefinition*>(this)); }

    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** principal) override {
        const Outcome outcome = Step("get_Principal", "", true);
        return HandOut(outcome, principal,
                       outcome == Outcome::Succeed ? new FakePrincipal(fake_, definition_) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** triggers) override {
        const Outcome outcome = Step("get_Triggers", "", true);
        return HandOut(outcome, triggers, outcome == Outcome::Succeed ? new FakeTriggers(fake_, definition_) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** actions) override {
        const Outcome outcome = Step("get_Actions", "", true);
        return HandOut(outcome, actions, outcome == Outcome::Succeed ? new FakeActions(fake_, definition_) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings** settings) override {
        const Outcome outcome = Step("get_Settings", "", true);
        return HandOut(outcome, settings, outcome == Outcome::Succeed ? new FakeSettings(fake_, definition_) : nullptr);
    }
    FAKE_UNEXPECTED(get_RegistrationInfo, IRegistrationInfo**)
    FAKE_UNEXPECTED(put_RegistrationInfo, IRegistrationInfo*)
    FAKE_UNEXPECTED(put_Triggers, ITriggerCollection*)
    FAKE_UNEXPECTED(put_Settings, ITaskSettings*)
    FAKE_UNEXPECTED(get_Data, BSTR*)
    FAKE_UNEXPECTED(put_Data, BSTR)
    FAKE_UNEXPECTED(put_Principal, IPrincipal*)
    FAKE_UNEXPECTED(put_Actions, IActionCollection*)
    FAKE_UNEXPECTED(get_XmlText, BSTR*)
    FAKE_UNEXPECTED(put_XmlText, BSTR)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_ITaskDefinition) ? static_cast<ITaskDefinition*>(this) : nullptr;
    }
    std::shared_ptr<Definition> definition_;
};

class FakeRegisteredTask : public FakeObject<IRegisteredTask> {
public:
    FakeRegisteredTask(FakeTaskScheduler& fake, Text name)
        : FakeObject(fake, "IRegisteredTask"), taskName_(std::move(name)) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        const Outcome outcome = Step("get_Name");
        if (outcome == Outcome::Fail) return E_FAIL;
        const auto* text = reinterpret_cast<const OLECHAR*>(taskName_.data());
        *name = ::SysAllocStringLen(text, static_cast<UINT>(taskName_.size()));
        return S_OK;
    }
    FAKE_UNEXPECTED(get_Path, BSTR*)
    FAKE_UNEXPECTED(get_State, TASK_STATE*)
    FAKE_UNEXPECTED(get_Enabled, VARIANT_BOOL*)
    FAKE_UNEXPECTED(put_Enabled, VARIANT_BOOL)
    FAKE_UNEXPECTED(Run, VARIANT, IRunningTask**)
    FAKE_UNEXPECTED(RunEx, VARIANT, LONG, LONG, BSTR, IRunningTask**)
    FAKE_UNEXPECTED(GetInstances, LONG, IRunningTaskCollection**)
    FAKE_UNEXPECTED(get_LastRunTime, DATE*)
    FAKE_UNEXPECTED(get_LastTaskResult, LONG*)
    FAKE_UNEXPECTED(get_NumberOfMissedRuns, LONG*)
    FAKE_UNEXPECTED(get_NextRunTime, DATE*)
    FAKE_UNEXPECTED(get_Definition, ITaskDefinition**)
    FAKE_UNEXPECTED(get_Xml, BSTR*)
    FAKE_UNEXPECTED(GetSecurityDescriptor, LONG, BSTR*)
    FAKE_UNEXPECTED(SetSecurityDescriptor, BSTR, LONG)
    FAKE_UNEXPECTED(Stop, LONG)
    FAKE_UNEXPECTED(GetRunTimes, const LPSYSTEMTIME, const LPSYSTEMTIME, DWORD*, LPSYSTEMTIME*)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_IRegisteredTask) ? static_cast<IRegisteredTask*>(this) : nullptr;
    }
    Text taskName_;
};

class FakeTaskList : public FakeObject<IRegisteredTaskCollection> {
public:
    FakeTaskList(FakeTaskScheduler& fake, std::vector<Text> names)
        : FakeObject(fake, "IRegisteredTaskCollection"), names_(std::move(names)) {}
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        if (Step("get_Count") == Outcome::Fail) return E_FAIL;
        *count = static_cast<LONG>(names_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IRegisteredTask** task) override {
        const Outcome outcome = Step("get_Item", Describe(index), true);
        // Counted from 1, like the real collection.
        const bool valid = index.vt == VT_I4 && index.lVal >= 1 && index.lVal <= static_cast<LONG>(names_.size());
        if (outcome == Outcome::Succeed && !valid) {
            if (task) *task = nullptr;
            return E_INVALIDARG;
        }
        return HandOut(outcome, task,
                       outcome == Outcome::Succeed
                           ? new FakeRegisteredTask(fake_, names_[static_cast<size_t>(index.lVal - 1)])
                           : nullptr);
    }
    FAKE_UNEXPECTED(get__NewEnum, IUnknown**)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_IRegisteredTaskCollection) ? static_cast<IRegisteredTaskCollection*>(this)
                                                                : nullptr;
    }
    std::vector<Text> names_;
};

class FakeFolder : public FakeObject<ITaskFolder> {
public:
    explicit FakeFolder(FakeTaskScheduler& fake) : FakeObject(fake, "ITaskFolder") {}
    HRESULT STDMETHODCALLTYPE GetTasks(LONG flags, IRegisteredTaskCollection** tasks) override {
        const Outcome outcome = Step("GetTasks", std::to_string(flags), true);
        std::vector<Text> names = fake_.rootTasks;
        if (flags & TASK_ENUM_HIDDEN) {
            names.insert(names.end(), fake_.hiddenRootTasks.begin(), fake_.hiddenRootTasks.end());
        }
        return HandOut(outcome, tasks,
                       outcome == Outcome::Succeed ? new FakeTaskList(fake_, std::move(names)) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE DeleteTask(BSTR name, LONG flags) override {
        if (Step("DeleteTask", Quoted(name) + "," + std::to_string(flags)) == Outcome::Fail) return E_FAIL;
        const Text task = FromBstr(name);
        for (auto* list : {&fake_.rootTasks, &fake_.hiddenRootTasks}) {
            auto it = std::find(list->begin(), list->end(), task);
            if (it == list->end()) continue;
            list->erase(it);
            fake_.registered.erase(task);
            return S_OK;
        }
        return kNotFound;
    }
    HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition* definition, LONG flags, VARIANT user,
                                                     VARIANT password, TASK_LOGON_TYPE logon, VARIANT sddl,
                                                     IRegisteredTask** task) override {
        auto known = fake_.definitions.find(definition);
        const std::string which = known == fake_.definitions.end() ? "foreign definition" : "definition";
        const Outcome outcome =
            Step("RegisterTaskDefinition",
                 Quoted(path) + "," + which + "," + std::to_string(flags) + "," + Describe(user) + "," +
                     Describe(password) + "," + std::to_string(logon) + "," + Describe(sddl) + "," +
                     (task ? "out" : "no out"),
                 true);
        if (task) *task = nullptr;
        if (outcome == Outcome::Fail) return E_FAIL;
        if (known == fake_.definitions.end()) return E_INVALIDARG;
        const Text name = FromBstr(path);
        const bool exists = std::find(fake_.rootTasks.begin(), fake_.rootTasks.end(), name) != fake_.rootTasks.end();
        if (exists && !(flags & TASK_UPDATE)) return kExists;
        if (!exists && !(flags & TASK_CREATE)) return kNotFound;
        if (!exists) fake_.rootTasks.push_back(name);
        fake_.registered[name] = *known->second;
        if (task && outcome == Outcome::Succeed) *task = new FakeRegisteredTask(fake_, name);
        return S_OK;
    }
    FAKE_UNEXPECTED(get_Name, BSTR*)
    FAKE_UNEXPECTED(get_Path, BSTR*)
    FAKE_UNEXPECTED(GetFolder, BSTR, ITaskFolder**)
    FAKE_UNEXPECTED(GetFolders, LONG, ITaskFolderCollection**)
    FAKE_UNEXPECTED(CreateFolder, BSTR, VARIANT, ITaskFolder**)
    FAKE_UNEXPECTED(DeleteFolder, BSTR, LONG)
    FAKE_UNEXPECTED(GetTask, BSTR, IRegisteredTask**)
    FAKE_UNEXPECTED(RegisterTask, BSTR, BSTR, LONG, VARIANT, VARIANT, TASK_LOGON_TYPE, VARIANT, IRegisteredTask**)
    FAKE_UNEXPECTED(GetSecurityDescriptor, LONG, BSTR*)
    FAKE_UNEXPECTED(SetSecurityDescriptor, BSTR, LONG)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_ITaskFolder) ? static_cast<ITaskFolder*>(this) : nullptr;
    }
};

class FakeService : public FakeObject<ITaskService> {
public:
    explicit FakeService(FakeTaskScheduler& fake) : FakeObject(fake, "ITaskService") {}
    HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override {
        if (Step("Connect", Describe(server) + "," + Describe(user) + "," + Describe(domain) + "," +
                                Describe(password)) == Outcome::Fail) {
            return E_FAIL;
        }
        connected_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder** folder) override {
        const Outcome outcome = Step("GetFolder", Quoted(path), true);
        if (outcome == Outcome::Succeed && (!connected_ || FromBstr(path) != u"\\")) {
            if (folder) *folder = nullptr;
            return connected_ ? kNotFound : kNotConnected;
        }
        return HandOut(outcome, folder, outcome == Outcome::Succeed ? new FakeFolder(fake_) : nullptr);
    }
    HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition** definition) override {
        const Outcome outcome = Step("NewTask", std::to_string(flags), true);
        if (outcome == Outcome::Succeed && !connected_) {
            if (definition) *definition = nullptr;
            return kNotConnected;
        }
        return HandOut(outcome, definition, outcome == Outcome::Succeed ? new FakeDefinition(fake_) : nullptr);
    }
    FAKE_UNEXPECTED(GetRunningTasks, LONG, IRunningTaskCollection**)
    FAKE_UNEXPECTED(get_Connected, VARIANT_BOOL*)
    FAKE_UNEXPECTED(get_TargetServer, BSTR*)
    FAKE_UNEXPECTED(get_ConnectedUser, BSTR*)
    FAKE_UNEXPECTED(get_ConnectedDomain, BSTR*)
    FAKE_UNEXPECTED(get_HighestVersion, DWORD*)

private:
    void* Cast(REFIID riid) override {
        return IsEqualIID(riid, IID_ITaskService) ? static_cast<ITaskService*>(this) : nullptr;
    }
    bool connected_ = false;
};

#undef FAKE_UNEXPECTED

}  // namespace

void PrintTo(const FakeTaskScheduler::Definition& d, std::ostream* os) {
    const auto text = [](const std::optional<Text>& t) { return t ? InQuotes(*t) : std::string("-"); };
    const auto flag = [](const std::optional<VARIANT_BOOL>& b) { return b ? std::to_string(*b) : std::string("-"); };
    *os << "{runLevel " << (d.runLevel ? std::to_string(*d.runLevel) : "-") << "; triggers";
    for (const auto& t : d.triggers) *os << " [" << t.type << " delay " << text(t.delay) << "]";
    *os << "; actions";
    for (const auto& a : d.actions) {
        *os << " [" << a.type << " " << text(a.path) << " " << text(a.workingDirectory) << " " << text(a.arguments)
            << "]";
    }
    *os << "; startWhenAvailable " << flag(d.startWhenAvailable) << " limit " << text(d.executionTimeLimit)
        << " stopOnIdleEnd " << flag(d.stopOnIdleEnd) << " disallowOnBatteries " << flag(d.disallowStartIfOnBatteries)
        << " stopOnBatteries " << flag(d.stopIfGoingOnBatteries) << "}";
}

FakeTaskScheduler::Outcome FakeTaskScheduler::Step(std::string call, bool objectOut) {
    calls.push_back(std::move(call));
    handsOutObject.push_back(objectOut);
    const size_t index = calls.size() - 1;
    if (failCall == index) return Outcome::Fail;
    if (emptyCall == index && objectOut) return Outcome::Empty;
    return Outcome::Succeed;
}

TaskSchedulerAccess FakeTaskScheduler::Access() {
    TaskSchedulerAccess access;
    access.initializeSecurity = [this] {
        return Step("CoInitializeSecurity") == Outcome::Fail ? E_ACCESSDENIED : securityResult;
    };
    access.createService = [this](IUnknown** service) -> HRESULT {
        *service = nullptr;
        const Outcome outcome = Step("CoCreateInstance(TaskScheduler,IUnknown)", true);
        if (outcome == Outcome::Fail) return REGDB_E_CLASSNOTREG;
        if (outcome == Outcome::Empty) return S_OK;
        *service = static_cast<ITaskService*>(new FakeService(*this));
        return S_OK;
    };
    access.executablePath = [this] { return executablePath; };
    return access;
}

}  // namespace tidewell::testing
