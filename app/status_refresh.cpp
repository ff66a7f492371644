// Placeholder until the status tick lands.
#include "app/frm_tidewell.h"

namespace tidewell {
void TFrmTidewell::TmrStatusTimer(ui::TComponent*) {}
}  // namespace tidewell
