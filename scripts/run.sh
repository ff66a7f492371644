#!/usr/bin/env bash
# Builds Tidewell.exe and starts it under Wine. Arguments are passed to the program
# (for example /start). Without a display it runs on a virtual one, saves a
# screenshot of the main window and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Tidewell -j "$(nproc)"
scripts/wine-prefix.sh build/windows
export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe=build/windows/Tidewell.exe
echo "Tidewell.exe: $(stat -c %s "$exe") bytes"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$exe" "$@"
fi

shot="${TIDEWELL_SCREENSHOT:-$PWD/build/tidewell-main-window.png}"
export TIDEWELL_SHOT="$shot" TIDEWELL_EXE="$exe"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine "$TIDEWELL_EXE" "$@" &
    pid=$!
    for _ in $(seq 1 60); do
        xwininfo -root -tree 2>/dev/null | grep -q "\"Tidewell\"" && break
        sleep 0.5
    done
    sleep 2
    id=$(xwininfo -root -tree | grep "\"Tidewell\"" | grep -v "has no name" | awk "{print \$1}" | head -n1)
    if [ -n "$id" ]; then import -window "$id" "$TIDEWELL_SHOT"; else import -window root "$TIDEWELL_SHOT"; fi
    echo "Screenshot of the main window: $TIDEWELL_SHOT"
    wineserver -k || true
    wait $pid 2>/dev/null || true
' _ "$@"
