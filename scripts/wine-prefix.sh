#!/usr/bin/env bash
# Creates (once) the Wine prefix of a build folder: scripts/wine-prefix.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
