#pragma once
// Control ids, timer ids, command ids and the program's own window messages, in
// one place. Control ids are stable: tests and automation find controls by them.

namespace tidewell::ids {

enum Control : int {
    PnlHead = 1001,
    BtnHead = 1002,
    BtnHome = 1003,
    BtnConfig = 1004,
    BtnDonate = 1005,
    PnlLogo = 1006,
    SVGIconImage1 = 1007,
    PnlMain = 1010,
    Card1 = 1011,
    Card2 = 1012,
    LblTitle = 1020,
    ProgressBar = 1021,
    LblPhys = 1022,
    LblPhysStatus = 1023,
    LblVirtual = 1024,
    LblVirtualStatus = 1025,
    LblWorking = 1026,
    LblWorkingStatus = 1027,
    BtnClean = 1028,
    Indicator = 1029,
    GroupBox1 = 1040,
    ChkUsagePhys = 1041,
    ChkMinute = 1042,
    EditUsagePhys = 1043,
    EditMinute = 1044,
    ChkUsagePage = 1045,
    EditUsagePage = 1046,
    ChkUsageWork = 1047,
    EditUsageWork = 1048,
    GroupBox3 = 1050,
    ChkAutoStart = 1051,
    ChkCleanOnTray = 1052,
    EditInfo = 1053,
    AccentLine = 1060,
};

enum Timer : int {
    TmrStatus = 1,
    IndicatorAnimation = 2,
};

enum Command : int {
    BtnOpen = 2001,
    N2 = 2002,
    BtnCopyright = 2003,
    BtnClose = 2004,
};

// Controls of the update and notice dialog; its buttons are IDYES and IDNO.
namespace update_dialog {
enum Control : int {
    Icon = 3001,
    Question = 3002,
    Separator = 3003,
    HoldBox = 3004,
    NoteLink = 3005,
};
}  // namespace update_dialog

// Window messages of the program (WM_APP range); the inter-instance command is WM_USER.
enum Message : unsigned {
    WmRunOnUiThread = 0x8000 + 1,  // WM_APP + 1: lParam is a queued step
    WmTrayIcon = 0x8000 + 2,       // WM_APP + 2: notification-area icon callback
};

}  // namespace tidewell::ids
