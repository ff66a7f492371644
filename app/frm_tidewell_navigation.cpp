// Header buttons, the logo, the author menu item and the version line.

#include "app/frm_tidewell.h"
#include "build_config.h"

namespace tidewell {

void TFrmTidewell::BtnHomeClick(ui::TComponent* sender) {
    static const char16_t* const kButtons[] = {u"BtnHome", u"BtnConfig", u"BtnDonate"};
    if (!sender) return;
    int position = -1;
    for (int i = 0; i < 3; ++i) {
        if (EqualsIgnoringAsciiCase(sender->Name(), kButtons[i])) position = i;
    }
    auto* button = dynamic_cast<ui::TStyledToolButton*>(sender);
    switch (position) {
        case 0:
        case 1:
            if (button) button->SetDown(true);
            PnlMain->SetActiveCardIndex(position);
            break;
        case 2:
            host_.ShellOpen(Text(u"https://") + TIDEWELL_WEB_HOST + u"/donate?tidewell");
            break;
        default:
            break;
    }
}

void TFrmTidewell::SVGIconImage1Click(ui::TComponent*) {
    host_.ShellOpen(Text(u"http://") + TIDEWELL_WEB_HOST + u"/tidewell");
}

void TFrmTidewell::BtnCopyrightClick(ui::TComponent*) {
    host_.ShellOpen(Text(u"https://") + TIDEWELL_WEB_HOST + u"/tidewell?v=" + host_.VersionText(u"%d.%d.%d"));
}

void TFrmTidewell::EditInfoClick(ui::TComponent*) { SetActiveControl(nullptr); }

}  // namespace tidewell
