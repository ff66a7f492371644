#pragma once
// The Windows side of the update dialog: what it needs to know of the
// application, the ids of its controls, and the link's click handler.

#include <windows.h>

#include "app/ids.h"
#include "base/text.h"
#include "update/update_dialog.h"

namespace tidewell {

// The application's title (shown translated as the dialog's caption) and its
// main window (the dialog's owner; may be null). Set on the user-interface
// thread before the exchange starts.
void SetUpdateDialogApplication(const Text& title, HWND mainWindow);

namespace update_dialog {
inline constexpr wchar_t kClassName[] = L"TidewellUpdateDialog";
// Its control ids stand with all the others in app/ids.h.
using namespace ids::update_dialog;
}  // namespace update_dialog

class TFormHelper {
public:
    // The link's click handler: opens the address the clicked control carries
    // when it is a web address. The dialog stays open.
    static void OpenURL(HWND control);
};

}  // namespace tidewell
