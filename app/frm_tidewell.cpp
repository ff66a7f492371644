#include "app/frm_tidewell.h"

namespace tidewell {

TFrmTidewell::TFrmTidewell(FormHost& host) : ui::TForm(u"FrmTidewell", u"Tidewell", 500, 450), host_(host) {
    BuildFromDefinition();
    WireHandlers();
}

TFrmTidewell::~TFrmTidewell() {
    // The controls' handlers point into this object; they go before its members.
    DestroyComponents();
}

void TFrmTidewell::WireHandlers() {
    auto bind = [this](void (TFrmTidewell::*handler)(ui::TComponent*)) {
        return [this, handler](ui::TComponent* sender) { (this->*handler)(sender); };
    };
    BtnHome->OnClick = bind(&TFrmTidewell::BtnHomeClick);
    BtnConfig->OnClick = bind(&TFrmTidewell::BtnHomeClick);
    BtnDonate->OnClick = bind(&TFrmTidewell::BtnHomeClick);
    SVGIconImage1->OnClick = bind(&TFrmTidewell::SVGIconImage1Click);
    BtnClean->OnClick = bind(&TFrmTidewell::BtnCleanClick);
    ChkUsagePhys->OnClick = bind(&TFrmTidewell::ChkUsagePhysClick);
    ChkUsagePage->OnClick = bind(&TFrmTidewell::ChkUsagePageClick);
    ChkUsageWork->OnClick = bind(&TFrmTidewell::ChkUsageWorkClick);
    ChkMinute->OnClick = bind(&TFrmTidewell::ChkMinuteClick);
    ChkCleanOnTray->OnClick = bind(&TFrmTidewell::ChkCleanOnTrayClick);
    ChkAutoStart->OnClick = bind(&TFrmTidewell::ChkAutoStartClick);
    EditUsagePhys->OnChange = bind(&TFrmTidewell::EditUsagePhysChange);
    EditUsagePage->OnChange = bind(&TFrmTidewell::EditUsagePageChange);
    EditUsageWork->OnChange = bind(&TFrmTidewell::EditUsageWorkChange);
    EditMinute->OnChange = bind(&TFrmTidewell::EditMinuteChange);
    EditInfo->OnClick = bind(&TFrmTidewell::EditInfoClick);
    TmrStatus->OnTimer = bind(&TFrmTidewell::TmrStatusTimer);
    BtnOpen->OnClick = bind(&TFrmTidewell::BtnOpenClick);
    BtnCopyright->OnClick = bind(&TFrmTidewell::BtnCopyrightClick);
    BtnClose->OnClick = bind(&TFrmTidewell::BtnCloseClick);
}

}  // namespace tidewell
