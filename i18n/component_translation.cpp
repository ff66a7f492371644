// Placeholder until the caption walk lands.
#include "i18n/component_translation.h"

namespace tidewell {
void TranslateComponent(ui::TComponent*, TextView) {}
void TranslateMenuItem(ui::TMenuItem*) {}
}  // namespace tidewell
