// Placeholder until the clean flow lands.
#include "app/frm_tidewell.h"

namespace tidewell {
void TFrmTidewell::SetIsRunning(bool value) { FIsRunning = value; }
void TFrmTidewell::Clean(bool) {}
void TFrmTidewell::BtnCleanClick(ui::TComponent*) {}
}  // namespace tidewell
