#!/usr/bin/env bash
# Builds the Windows program with MinGW-w64 and starts it under Wine.
# Uses $DISPLAY when set (your X session); otherwise starts a private Xvfb for the run.
# Arguments are passed to the program, e.g. `bash scripts/run.sh notes.txt`.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=${LUMENPAD_BUILD_ROOT:-$ROOT/build}
source scripts/wine-env.sh
lumen_build_windows "$B"
trap lumen_wine_cleanup EXIT
[[ -n ${DISPLAY:-} ]] || lumen_start_xvfb
LOC=${LUMENPAD_LOCALE:-ko_KR.UTF-8}
lumen_use_prefix "$B/win/wine-run" "$LOC"

if [[ ! -f $B/win/lumenpad.exe ]]; then
    echo "run: the program's window arrives with the application shell; built the library and tests only."
    exit 0
fi
env LC_ALL="$LOC" wine "$B/win/lumenpad.exe" "$@"
