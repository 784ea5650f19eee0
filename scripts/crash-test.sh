#!/usr/bin/env bash
# The crash test: nothing typed is lost when the program is killed.
#   bash scripts/crash-test.sh [rounds]        (default 5)
# Starts the real program (lumenpad.exe) under Wine with its data folder in a private place, types
# random Hangul and Latin text into several tabs (three files and three memos) through the driver in
# the Windows test program (CrashDriver.DISABLED_Run in tests/files/crash_driver_wintest.cpp), kills
# the program with SIGKILL at a random moment (every other round aimed at the moment the one-second
# backup step writes), and before restarting checks that the session file is whole and that no user
# file is empty or torn; after restarting, that every tab is back with everything typed at least
# 1.5 s before the kill. Autosave alternates between rounds (written into settings.ini while the
# program is down). Each round's driver lines go to BUILD_ROOT/crash/rounds.log.
# Ends with "crash test: R rounds, K kills (W with a write cut off), N tabs checked, F failures" and
# exits non-zero on any failure. Environment: LUMENPAD_BUILD_ROOT, LUMENPAD_JOBS, LUMENPAD_CRASH_SEED.
set -uo pipefail

ROUNDS=${1:-5}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
source scripts/wine-env.sh

if [[ ! -f $B/win/lumenpad.exe || ! -f $B/win/lumen_tests.exe || ${LUMENPAD_CRASH_REBUILD:-1} == 1 ]]; then
    echo "== Windows build"
    lumen_build_windows "$B" || { echo "crash test: build failed"; exit 1; }
fi
[[ -f $B/win/lumenpad.exe ]] || { echo "crash test: no lumenpad.exe (the program is not built yet)"; exit 1; }

trap lumen_wine_cleanup EXIT
trap 'lumen_wine_cleanup; exit 130' INT TERM
lumen_start_xvfb || exit 1
LOC=ko_KR.UTF-8
lumen_use_prefix "$B/win/wine-crash" "$LOC"

W=$B/crash
rm -rf "$W"
mkdir -p "$W/files" "$W/appdata/Lumenpad/backup"
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# The prefix is the crash test's own; its profile's LOCALAPPDATA points into the work folder.
lumen_wine $LOC reg add 'HKCU\Volatile Environment' /v LOCALAPPDATA /t REG_SZ /d "$(winpath "$W/appdata")" /f \
    >/dev/null 2>&1
DATA=$W/appdata/Lumenpad

# Three files: short Hangul and Latin text, LF line ends, UTF-8; one of about 300 KB so that its
# backups and saves take long enough to be cut off now and then.
printf '첫 번째 파일\nfirst file\n' >"$W/files/f1.txt"
printf 'second 두 번째\n' >"$W/files/f2.txt"
for i in $(seq 1 6000); do printf '긴 파일의 %d번째 줄 line of a longer file\n' "$i"; done >"$W/files/f3.txt"

SEED=${LUMENPAD_CRASH_SEED:-$RANDOM}
RANDOM=$SEED
LOG=$W/rounds.log
: >"$LOG"
driver() { # phase [kill time]
    (cd "$W" && env LUMENPAD_CRASH_PHASE="$1" LUMENPAD_CRASH_KILL="${2:-0}" LUMENPAD_CRASH_DIR="$(winpath "$W")" \
        LUMENPAD_CRASH_DATA="$(winpath "$DATA")" LUMENPAD_CRASH_FILES="$(winpath "$W/files")" \
        LUMENPAD_CRASH_SEED="$((SEED + round))" LUMENPAD_CRASH_MEMOS=3 LC_ALL=$LOC \
        wine "$B/win/lumen_tests.exe" --gtest_also_run_disabled_tests --gtest_filter=CrashDriver.DISABLED_Run \
        </dev/null 2>&1 | tr -d '\r' | tee -a "$LOG" | grep -E '^crash-driver|Failure|error'; exit "${PIPESTATUS[0]}")
}
start_program() { # files...
    local args=() f
    for f in "$@"; do args+=("$(winpath "$f")"); done
    (cd "$W" && exec env LC_ALL=$LOC wine "$B/win/lumenpad.exe" "${args[@]}" </dev/null >>"$W/program.log" 2>&1) &
    PROGRAM=$!
}
# The wine loader execs the program in place, so the subshell's PID is the Windows process.

kills=0 cut=0 checked=0 failures=0
round=0
start_program "$W/files/f1.txt" "$W/files/f2.txt" "$W/files/f3.txt"
for round in $(seq 1 "$ROUNDS"); do
    echo "== round $round" | tee -a "$LOG"
    rm -f "$W/journal.txt"
    driver type &
    TYPER=$!
    # Random moment, or aimed: just after the backup step that follows a finished burst.
    wait_ms=$((2500 + RANDOM % 9000))
    sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
    if ((round % 2 == 0)); then
        last=$(grep -E '^E' "$W/journal.txt" 2>/dev/null | tail -n 1 | cut -f2)
        if [[ -n $last ]]; then
            target=$((last + (1000 + RANDOM % 150) * 1000000))
            now=$(date +%s%N)
            ((target > now)) && sleep "$(printf '0.%03d' $(((target - now) / 1000000 % 1000)))"
        fi
    fi
    if ! kill -0 "$PROGRAM" 2>/dev/null; then
        echo "program ended by itself before the kill" | tee -a "$LOG"
        failures=$((failures + 1))
        break
    fi
    killed_at=$(date +%s%N)
    kill -KILL "$PROGRAM"
    wait "$PROGRAM" 2>/dev/null
    kills=$((kills + 1))
    wait "$TYPER"
    temps=$(find "$DATA" "$W/files" -name '*.tmp' | wc -l)
    ((temps > 0)) && cut=$((cut + 1))
    find "$DATA" "$W/files" -name '*.tmp' -delete

    driver files "$killed_at" || failures=$((failures + 1))
    # The next round types with autosave on after an odd round, off after an even one.
    printf 'autosave=%d\n' $((round % 2)) >"$DATA/settings.ini"
    start_program
    if driver verify "$killed_at"; then
        checked=$((checked + $(grep -E '^crash-driver verify' "$LOG" | tail -n 1 | grep -oE '[0-9]+ tabs checked' |
            grep -oE '^[0-9]+')))
    else
        failures=$((failures + 1))
    fi
done
kill -KILL "$PROGRAM" 2>/dev/null
wait "$PROGRAM" 2>/dev/null
echo "seed $SEED; log in $LOG"
echo "crash test: $round rounds, $kills kills ($cut with a write cut off), $checked tabs checked, $failures failures"
((failures == 0))
