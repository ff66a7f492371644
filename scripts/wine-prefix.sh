#!/usr/bin/env bash
# Creates (once) the Wine prefix of a build folder: scripts/wine-prefix.sh BUILD_DIR [DPI]
# With a DPI other than 96 the prefix is BUILD_DIR/wineprefix-dpiDPI and its
# screen reports that resolution, for the tests of scaled layout.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
dpi="${2:-96}"
if [ "$dpi" = 96 ]; then
    export WINEPREFIX="$build_dir/wineprefix"
else
    export WINEPREFIX="$build_dir/wineprefix-dpi$dpi"
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
# The prefix's settings, applied once per version of this list.
stamp="$WINEPREFIX/.tidewell-settings-2"
if [ ! -f "$stamp" ]; then
    # Korean, Japanese and Chinese texts: the faces Windows would use for them
    # are replaced by the installed Nanum and Noto CJK fonts, and the Latin
    # faces link to them, so screenshots show the texts instead of empty boxes.
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    for file in /usr/share/fonts/truetype/nanum/NanumGothic.ttf /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc; do
        [ -f "$file" ] && cp -f "$file" "$fonts/"
    done
    for face in Gulim GulimChe Dotum Batang "Malgun Gothic"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d NanumGothic /f >/dev/null 2>&1 || true
    done
    for face in "MS UI Gothic" "MS Gothic" Meiryo "Yu Gothic" SimSun "Microsoft YaHei" PMingLiU; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f >/dev/null 2>&1 || true
    done
    link='NanumGothic.ttf,NanumGothic\0NotoSansCJK-Regular.ttc,Noto Sans CJK JP'
    for face in Tahoma "Segoe UI" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d "$link" /f >/dev/null 2>&1 || true
    done
    # Xvfb has no window manager: the dialog test's windows are drawn by Wine
    # itself (with their title bars, for its screenshots) instead of waiting
    # for a manager that never answers.
    wine reg add 'HKCU\Software\Wine\AppDefaults\update_dialog_test.exe\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 || true
    if [ "$dpi" != 96 ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || true
    fi
    wineserver -w || true
    touch "$stamp"
fi
