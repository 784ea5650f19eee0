#!/usr/bin/env bash
# Types Korean through a real input method (fcitx5 with its Hangul engine, over X input methods)
# into a QuillEdit window under Wine and runs the test that checks what arrived:
#   bash scripts/ime-real.sh [BUILD_ROOT]      (default: LUMENPAD_BUILD_ROOT or build/;
#   LUMENPAD_TEST_EXE names another test exe)
# Needs the packages fcitx5 and fcitx5-hangul, xdotool, xprop and the ko_KR.UTF-8 locale
# (scripts/setup.sh installs them). Exits non-zero when the test fails.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
B=$(realpath -m "${1:-${LUMENPAD_BUILD_ROOT:-$ROOT/build}}")
EXE=${LUMENPAD_TEST_EXE:-$B/win/lumen_tests.exe}
[[ -f $EXE ]] || { echo "no $EXE: build the Windows tests first"; exit 2; }
command -v fcitx5 >/dev/null && command -v xdotool >/dev/null || { echo "fcitx5 or xdotool missing"; exit 2; }
source "$ROOT/scripts/wine-env.sh"
X=$(mktemp -d)
FCITX_PID=""
cleanup() {
    [[ -n ${WINEPREFIX:-} ]] && wineserver -k >/dev/null 2>&1
    [[ -n $FCITX_PID ]] && kill "$(cat "$X/fcitx5.pid" 2>/dev/null)" 2>/dev/null
    lumen_wine_cleanup
    rm -rf "$X"
}
trap cleanup EXIT
lumen_start_xvfb || exit 1
lumen_use_prefix "$B/win/wine-949" ko_KR.UTF-8

# A private fcitx5 that starts in Hangul mode and leaves the drawing of the composition to the window.
export XDG_CONFIG_HOME=$X/config XDG_CACHE_HOME=$X/cache XDG_RUNTIME_DIR=$X/run
mkdir -p "$XDG_CONFIG_HOME/fcitx5/conf" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'P'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=hangul

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=hangul
Layout=

[GroupOrder]
0=Default
P
printf '[Behavior]\nActiveByDefault=True\n' >"$XDG_CONFIG_HOME/fcitx5/config"
printf 'UseOnTheSpot=True\n' >"$XDG_CONFIG_HOME/fcitx5/conf/xim.conf"
NO_AT_BRIDGE=1 setsid dbus-run-session -- bash -c "fcitx5 & echo \$! > $X/fcitx5.pid; wait" >"$X/fcitx5.log" 2>&1 </dev/null &
FCITX_PID=$!
for _ in $(seq 100); do xprop -root XIM_SERVERS 2>/dev/null | grep -q @server=fcitx && break; sleep 0.1; done
xprop -root XIM_SERVERS 2>/dev/null | grep -q @server=fcitx || { echo "fcitx5 did not come up"; cat "$X/fcitx5.log"; exit 1; }

(cd "$X" && LUMENPAD_REAL_IME=1 LUMENPAD_IME_SHOT=shot.bmp env ${LUMENPAD_IME_WINEDEBUG:+WINEDEBUG=$LUMENPAD_IME_WINEDEBUG} LC_ALL=ko_KR.UTF-8 XMODIFIERS=@im=fcitx wine "$EXE" \
    --gtest_filter='Ime.RealInputMethodComposesInline' </dev/null >"$X/test.log" 2>&1) &
TEST_PID=$!
xdotool search --sync --name '^QuillEdit input method$' >/dev/null 2>&1 &
SEARCH_PID=$!
for _ in $(seq 300); do kill -0 $SEARCH_PID 2>/dev/null || break; sleep 0.05; done
kill $SEARCH_PID 2>/dev/null
xdotool key --delay 50 g k s r m f space
wait $TEST_PID
status=$?
tr -d '\r' <"$X/test.log" | grep -v '^$' | tail -n 20
[[ -n ${LUMENPAD_IME_LOG:-} ]] && cp "$X/test.log" "$X/fcitx5.log" "$X/shot.bmp" "$LUMENPAD_IME_LOG"
exit $status
