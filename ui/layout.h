#pragma once
// Places aligned controls inside their parent: top-aligned ones stack from the
// top (a later one at the same top goes above the earlier ones), right-aligned
// ones stand at the right edge, and a client-aligned one fills what is left.

#include "ui/component.h"

namespace tidewell::ui {

// Sets the bounds of the aligned children of parent for a client area of the
// given size (96 dpi). Children with Align::None keep their bounds.
void ArrangeAligned(TWinControl& parent, int clientWidth, int clientHeight);

}  // namespace tidewell::ui
