#pragma once
// Resource identifiers shared by the .rc file and the code.
#define IDI_TIDEWELL 1
#define IDI_TRAY_IDLE 101
#define IDI_TRAY_BUSY 102
