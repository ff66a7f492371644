#pragma once
// A recording stand-in for the platform side of the main window, for native
// tests of the window's rules. Workers run when the test says so.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/form_host.h"
#include "tests/unit/memory_config.h"
#include "ui/widgets.h"

namespace tidewell::testing {

class FakeHost : public FormHost {
public:
    Text argument;
    DateTime now = 46000.5;
    NumberFormat numberFormat;
    bool comWorks = true;
    bool answerYes = false;
    bool taskExists = false;
    Text version = u"1.2.3";
    // Every call, in order, as readable text: "SetAutoStartTask(TidewellTaskMachine,1,60)".
    std::vector<std::string> calls;
    std::deque<std::function<void()>> workers;
    std::vector<std::function<void()>> pendingUiSteps;
    bool windowGone = false;
    // Registry contents shared by every store this host opens, by key path.
    std::map<Text, std::shared_ptr<MemoryConfig::Values>> registry;
    std::function<void(bool, const Text&)> updateProc;

    Text FirstArgument() override { return argument; }
    DateTime Now() override { return now; }
    NumberFormat LocaleNumberFormat() override { return numberFormat; }
    void StartWorker(std::function<void()> work) override {
        Record("StartWorker");
        workers.push_back(std::move(work));
    }
    bool RunOnUiThread(std::function<void()> step) override {
        if (windowGone) return false;
        step();
        return true;
    }
    void CloseMainWindow() override { Record("CloseMainWindow"); }
    void ShowMainWindow() override { Record("ShowMainWindow"); }
    void HideMainWindow() override { Record("HideMainWindow"); }
    void SetApplicationTitle(const Text& title) override { Record("SetApplicationTitle(" + TextToUtf8(title) + ")"); }
    ui::TTrayIcon* CreateTrayIcon(ui::TForm& owner) override {
        Record("CreateTrayIcon");
        return new ui::TTrayIcon(&owner, u"TrayIcon");
    }
    void RepaintTrayIcon(ui::TTrayIcon&, bool reload) override {
        Record(std::string("RepaintTrayIcon(") + (reload ? "1" : "0") + ")");
    }
    void AttachThemeHelper(ui::TForm&) override { Record("AttachThemeHelper"); }
    bool AskYesNo(const Text& text, const Text& title) override {
        Record("AskYesNo(" + TextToUtf8(text) + "," + TextToUtf8(title) + ")");
        return answerYes;
    }
    void ShowNotification(const Text& name, const Text& title, const Text& body) override {
        Record("ShowNotification(" + TextToUtf8(name) + "," + TextToUtf8(title) + "," + TextToUtf8(body) + ")");
    }
    void ShellOpen(const Text& target) override { Record("ShellOpen(" + TextToUtf8(target) + ")"); }
    Text VersionText(const Text&) override { return version; }
    std::unique_ptr<ConfigStore> OpenConfig(const Text& path) override {
        auto& values = registry[path];
        if (!values) values = std::make_shared<MemoryConfig::Values>();
        return std::make_unique<MemoryConfig>(values, [this](const std::string& c) { Record(c); });
    }
    bool InitializeCom() override {
        Record("InitializeCom");
        return comWorks;
    }
    void UninitializeCom() override { Record("UninitializeCom"); }
    void SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds) override {
        Record("SetAutoStartTask(" + TextToUtf8(taskName) + "," + (enable ? "1" : "0") + "," +
               std::to_string(delaySeconds) + ")");
        taskExists = enable;
    }
    bool AutoStartTaskExists(const Text& taskName) override {
        Record("AutoStartTaskExists(" + TextToUtf8(taskName) + ")");
        return taskExists;
    }
    bool EnablePrivilege(const Text& name, bool enable) override {
        Record("EnablePrivilege(" + TextToUtf8(name) + "," + (enable ? "1" : "0") + ")");
        return true;
    }
    void CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset) override {
        Record("CheckUpdate(" + TextToUtf8(endpoint) + "," + std::to_string(offset) + ")");
        updateProc = std::move(proc);
    }

    // Runs the oldest started worker to its end.
    void RunNextWorker() {
        auto work = std::move(workers.front());
        workers.pop_front();
        work();
    }
    [[nodiscard]] size_t Count(const std::string& prefix) const {
        size_t n = 0;
        for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
        return n;
    }

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

}  // namespace tidewell::testing
