// The caption walk over a window's component tree.

#include "i18n/component_translation.h"

#include "i18n/translation.h"
#include "ui/widgets.h"

namespace tidewell {
namespace {

void TranslateComboItems(ui::TComboBox& combo) {
    // Replacing an item may drop the selection in the real control, so the
    // index is put back once all items are done.
    const int selected = combo.ItemIndex();
    const size_t count = combo.Items().size();
    for (size_t i = 0; i < count; ++i) combo.SetItem(i, Translate(combo.Items()[i]));
    combo.SetItemIndex(selected);
}

// A window's title, which also becomes the application title and the tray
// hint, is shown in Korean or else in English, whatever the language.
[[nodiscard]] Text TranslatedCaption(const ui::TComponent& component) {
    if (dynamic_cast<const ui::TForm*>(&component) && CurrentLanguage() != u"ko") {
        return Translate(component.Caption(), u"en");
    }
    return Translate(component.Caption());
}

}  // namespace

void TranslateComponent(ui::TComponent* component, TextView language) {
    if (!language.empty()) SetCurrentLanguage(Text(language));
    if (!component) return;

    if (auto* combo = dynamic_cast<ui::TComboBox*>(component)) {
        TranslateComboItems(*combo);
        return;
    }
    if (auto* menu = dynamic_cast<ui::TPopupMenu*>(component)) TranslateMenuItem(&menu->Items());
    if (component->HasCaption()) component->SetCaption(TranslatedCaption(*component));
    // Copied: a caption change must not be able to pull the list from under the loop.
    const std::vector<ui::TComponent*> owned = component->Components();
    for (ui::TComponent* child : owned) TranslateComponent(child, language);
}

void TranslateMenuItem(ui::TMenuItem* item) {
    if (!item) return;
    item->SetCaption(Translate(item->Caption()));
    for (ui::TMenuItem* sub : item->Items()) TranslateMenuItem(sub);
}

}  // namespace tidewell
