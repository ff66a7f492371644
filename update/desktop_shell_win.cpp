#include "update/desktop_shell_win.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "base/scoped_win.h"

namespace tidewell {

using Microsoft::WRL::ComPtr;

DesktopShell FindDesktopShell() {
    DesktopShell result;
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows)))) {
        result.failedStep = "CoCreateInstance(ShellWindows)";
        return result;
    }
    VARIANT location{};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT root{};
    root.vt = VT_EMPTY;
    LONG window = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop) != S_OK ||
        !desktop) {
        result.failedStep = "IShellWindows::FindWindowSW";
        return result;
    }
    ComPtr<IServiceProvider> provider;
    if (FAILED(desktop.As(&provider))) {
        result.failedStep = "IServiceProvider";
        return result;
    }
    ComPtr<IShellBrowser> browser;
    if (FAILED(provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) || !browser) {
        result.failedStep = "QueryService(SID_STopLevelBrowser)";
        return result;
    }
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(&view)) || !view) {
        result.failedStep = "IShellBrowser::QueryActiveShellView";
        return result;
    }
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) || !background) {
        result.failedStep = "IShellView::GetItemObject(SVGIO_BACKGROUND)";
        return result;
    }
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background.As(&folderView))) {
        result.failedStep = "IShellFolderViewDual";
        return result;
    }
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(&application)) || !application) {
        result.failedStep = "IShellFolderViewDual::get_Application";
        return result;
    }
    if (FAILED(application.As(&result.dispatch))) {
        result.failedStep = "IShellDispatch2";
        return result;
    }
    return result;
}

bool OpenWithDesktopShell(const Text& target) {
    const DesktopShell shell = FindDesktopShell();
    if (!shell.dispatch) return false;
    ScopedBstr file(target);
    ScopedVariant none;
    ScopedVariant verb;
    ScopedVariant::SetText(verb, u"open");
    ScopedVariant show;
    ScopedVariant::SetInt32(show, SW_SHOWNORMAL);
    // No parameters and no working directory: both stay empty variants.
    return SUCCEEDED(shell.dispatch->ShellExecute(file.get(), none.get(), none.get(), verb.get(), show.get()));
}

}  // namespace tidewell
