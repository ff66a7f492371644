// Placeholder until the options page lands.
#include "app/frm_tidewell.h"

namespace tidewell {
void TFrmTidewell::LoadConfig() {}
void TFrmTidewell::SaveConfig(const Text&, int32_t) {}
void TFrmTidewell::SaveConfig(const Text&, bool) {}
void TFrmTidewell::SaveConfig(const Text&, const Text&) {}
void TFrmTidewell::ChkUsagePhysClick(ui::TComponent*) {}
void TFrmTidewell::ChkUsagePageClick(ui::TComponent*) {}
void TFrmTidewell::ChkUsageWorkClick(ui::TComponent*) {}
void TFrmTidewell::ChkMinuteClick(ui::TComponent*) {}
void TFrmTidewell::ChkCleanOnTrayClick(ui::TComponent*) {}
void TFrmTidewell::ChkAutoStartClick(ui::TComponent*) {}
void TFrmTidewell::EditUsagePhysChange(ui::TComponent*) {}
void TFrmTidewell::EditUsagePageChange(ui::TComponent*) {}
void TFrmTidewell::EditUsageWorkChange(ui::TComponent*) {}
void TFrmTidewell::EditMinuteChange(ui::TComponent*) {}
}  // namespace tidewell
