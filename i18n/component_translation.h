#pragma once
// Translates every caption, list item and menu item that a component owns.

#include "base/text.h"

namespace tidewell {
namespace ui {
class TComponent;
class TMenuItem;
}  // namespace ui

// A non-empty Language becomes CurrentLanguage for this walk and every later
// translation.
void TranslateComponent(ui::TComponent* component, TextView language = {});
void TranslateMenuItem(ui::TMenuItem* item);

}  // namespace tidewell
