// The settings page: loading the options into its controls, saving each
// change, and the handlers of its check boxes and lists. The controls are the
// options' only home; the status tick reads them directly.

#include "app/frm_tidewell.h"

namespace tidewell {

namespace {

// A value of the wrong type costs that one option its stored state, not the
// rest of the load: it takes its default and, because nothing turns on for
// it, nothing is written over it.
bool ReadBooleanOr(ConfigStore& config, const Text& name, bool defaultValue) {
    try {
        return config.ReadBoolean(name, defaultValue);
    } catch (const ConfigError&) {
        return defaultValue;
    }
}

int32_t ReadIntegerOr(ConfigStore& config, const Text& name, int32_t defaultValue) {
    try {
        return config.ReadInteger(name, defaultValue);
    } catch (const ConfigError&) {
        return defaultValue;
    }
}

// A rule's list is usable exactly while its check box is on; any change of a
// rule restarts the interval and the minimum gap between automatic cleans.
void ApplyRule(TFrmTidewell& form, const ui::TCheckBox& check, ui::TComboBox& list, const Text& name) {
    list.SetEnabled(check.Checked());
    form.NextTime = form.Host().Now();
    form.SaveConfig(name, list.Enabled());
}

void ApplyLimit(TFrmTidewell& form, const ui::TComboBox& list, const Text& name) {
    form.NextTime = form.Host().Now();
    form.SaveConfig(name, static_cast<int32_t>(list.ItemIndex()));
}

}  // namespace

void TFrmTidewell::LoadConfig() {
    if (host_.InitializeCom()) {
        ChkAutoStart->Tag = host_.AutoStartTaskExists(kAutoStartTaskName) ? 1 : 0;
        host_.UninitializeCom();
    }

    std::unique_ptr<ConfigStore> config = host_.OpenConfig(kOptionsPath);
    if (config) {
        EditUsagePhys->SetEnabled(ReadBooleanOr(*config, u"enabled_usage_phys", false));
        EditUsagePage->SetEnabled(ReadBooleanOr(*config, u"enabled_usage_page", false));
        EditUsageWork->SetEnabled(ReadBooleanOr(*config, u"enabled_usage_work", false));
        // A stored index outside the list leaves it without selection; the
        // status tick then falls back to its own limit.
        EditUsagePhys->SetItemIndex(ReadIntegerOr(*config, u"limit_usage_phys", 6));
        EditUsagePage->SetItemIndex(ReadIntegerOr(*config, u"limit_usage_page", 6));
        EditUsageWork->SetItemIndex(ReadIntegerOr(*config, u"limit_usage_work", 6));
        EditMinute->SetEnabled(ReadBooleanOr(*config, u"enabled_minute", false));
        EditMinute->SetItemIndex(ReadIntegerOr(*config, u"limit_minute", 3));
        ChkCleanOnTray->SetChecked(ReadBooleanOr(*config, u"cleanontray", false));
    }

    // Every check box starts off, so each one turned on here runs its click
    // handler and writes its value back; an existing task is registered again
    // with no delay and the current executable.
    ChkUsagePhys->SetChecked(EditUsagePhys->Enabled());
    ChkUsagePage->SetChecked(EditUsagePage->Enabled());
    ChkUsageWork->SetChecked(EditUsageWork->Enabled());
    ChkMinute->SetChecked(EditMinute->Enabled());
    ChkAutoStart->SetChecked(ChkAutoStart->Tag == 1);

    config.reset();
}

void TFrmTidewell::SaveConfig(const Text& name, int32_t value) {
    if (auto config = host_.OpenConfig(kOptionsPath)) config->WriteInteger(name, value);
}

void TFrmTidewell::SaveConfig(const Text& name, bool value) {
    if (auto config = host_.OpenConfig(kOptionsPath)) config->WriteBoolean(name, value);
}

void TFrmTidewell::SaveConfig(const Text& name, const Text& value) {
    if (auto config = host_.OpenConfig(kOptionsPath)) config->WriteString(name, value);
}

void TFrmTidewell::ChkUsagePhysClick(ui::TComponent*) {
    ApplyRule(*this, *ChkUsagePhys, *EditUsagePhys, u"enabled_usage_phys");
}

void TFrmTidewell::ChkUsagePageClick(ui::TComponent*) {
    ApplyRule(*this, *ChkUsagePage, *EditUsagePage, u"enabled_usage_page");
}

void TFrmTidewell::ChkUsageWorkClick(ui::TComponent*) {
    ApplyRule(*this, *ChkUsageWork, *EditUsageWork, u"enabled_usage_work");
}

void TFrmTidewell::ChkMinuteClick(ui::TComponent*) { ApplyRule(*this, *ChkMinute, *EditMinute, u"enabled_minute"); }

void TFrmTidewell::ChkCleanOnTrayClick(ui::TComponent*) { SaveConfig(u"cleanontray", ChkCleanOnTray->Checked()); }

void TFrmTidewell::ChkAutoStartClick(ui::TComponent*) {
    if (!host_.InitializeCom()) return;
    host_.SetAutoStartTask(kAutoStartTaskName, ChkAutoStart->Checked(), 0);
    host_.UninitializeCom();
}

void TFrmTidewell::EditUsagePhysChange(ui::TComponent*) { ApplyLimit(*this, *EditUsagePhys, u"limit_usage_phys"); }

void TFrmTidewell::EditUsagePageChange(ui::TComponent*) { ApplyLimit(*this, *EditUsagePage, u"limit_usage_page"); }

void TFrmTidewell::EditUsageWorkChange(ui::TComponent*) { ApplyLimit(*this, *EditUsageWork, u"limit_usage_work"); }

void TFrmTidewell::EditMinuteChange(ui::TComponent*) { ApplyLimit(*this, *EditMinute, u"limit_minute"); }

}  // namespace tidewell
