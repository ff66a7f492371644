#!/usr/bin/env bash
# Runs a Windows executable under Wine with the test prefix of the build folder.
# ctest calls this as the cross-compiling emulator; WINEPREFIX comes from the test's environment.
set -euo pipefail
: "${WINEPREFIX:=$(pwd)/wineprefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
