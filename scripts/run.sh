#!/usr/bin/env bash
# Builds the Windows program with MinGW-w64 and starts it under Wine with the given files, e.g.
# `bash scripts/run.sh notes.txt 메모.txt`.
#  - With DISPLAY set (your X session, or ssh -X): the window opens there; the script ends with it.
#  - Without DISPLAY: a private Xvfb is started; the script waits for the first paint, saves a
#    screenshot, prints its path, and closes the program (at once when not run from a terminal,
#    otherwise when you press Enter).
# Environment: LUMENPAD_BUILD_ROOT (build trees, default build/), LUMENPAD_LOCALE (default
# ko_KR.UTF-8, the Korean ANSI code page), LUMENPAD_SHOT (where the screenshot goes).
set -euo pipefail

CALLER_DIR=$PWD
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
LOC=${LUMENPAD_LOCALE:-ko_KR.UTF-8}
source scripts/wine-env.sh
echo "run: building lumenpad.exe in $B/win"
lumen_build_windows "$B" lumenpad

# Wine turns file names from the command line into UTF-16 through the C library's locale: without
# the locale itself, Hangul names arrive broken.
if ! locale -a 2>/dev/null | grep -qi "^${LOC%%.*}\.utf-\?8$" && [[ $(id -u) == 0 ]]; then
    localedef -i "${LOC%%.*}" -f UTF-8 "$LOC" >/dev/null 2>&1 || true
fi

trap lumen_wine_cleanup EXIT
PRIVATE=0
if [[ -z ${DISPLAY:-} ]]; then
    lumen_start_xvfb
    PRIVATE=1
fi
lumen_use_prefix "$B/win/wine-run" "$LOC"

cd "$CALLER_DIR"  # relative file names are the caller's
if ((PRIVATE == 0)); then
    env LC_ALL="$LOC" wine "$B/win/lumenpad.exe" "$@"
    exit 0
fi

env LC_ALL="$LOC" wine "$B/win/lumenpad.exe" "$@" &
PROGRAM=$!
# The window is shown before its first paint returns; a title ending in the program's name means
# the tabs are open and painted.
shown=0
for _ in $(seq 1 150); do
    if xdotool search --onlyvisible --name ' - 루멘판$' >/dev/null 2>&1; then shown=1; break; fi
    kill -0 "$PROGRAM" 2>/dev/null || break
    sleep 0.1
done
if ((shown == 0)); then
    echo "run: the window did not appear" >&2
    exit 1
fi
sleep 0.5
SHOT=${LUMENPAD_SHOT:-$B/lumenpad-screenshot.png}
import -window root "$SHOT"
echo "run: screenshot of the window: $SHOT"
echo "run: it ran on a private display ($DISPLAY); to use the window itself, run this script where"
echo "     DISPLAY points at your X session (for example over ssh -X)."
if [[ -t 0 ]]; then
    read -r -p "run: press Enter to close the program. " _ || true
fi
