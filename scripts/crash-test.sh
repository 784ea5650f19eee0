#!/usr/bin/env bash
# The crash test: nothing typed is lost when the program is killed.
#   bash scripts/crash-test.sh [rounds]        (default 5)
# Starts the real program (lumenpad.exe) under Wine with its data folder in a private place, types
# random Hangul and Latin text into several tabs (four files, one of 4 MB, and three memos) through the
# driver in the Windows test program (CrashDriver.DISABLED_Run in tests/files/crash_driver_wintest.cpp),
# which also saves file tabs and toggles line numbers now and then, and kills the program with
# SIGKILL: odd rounds at a random moment, even rounds in the middle of a write, watching for the
# temporary file of one kind of write (a user file's save, a backup, the session, the settings) and
# killing a random part of the way through it. Before restarting it checks
# that the session and settings files are whole, that backups and user files hold states the user
# typed (never empty or torn); after restarting, with the cut-off writes' temporary files left in
# place, that every tab is back with everything typed at least 1.5 s before the kill and no other.
# Autosave is written into settings.ini while the program is down. Each round's lines go to
# BUILD_ROOT/crash/rounds.log. Ends with "crash test: R rounds, K kills (W with a write cut off, then
# per kind), N tabs checked, F failures", where a write counts as cut off only when its temporary
# file outlived the program, and exits non-zero on any failure.
# Environment: LUMENPAD_BUILD_ROOT, LUMENPAD_JOBS, LUMENPAD_CRASH_SEED.
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

# Three small files (Hangul and Latin, LF line ends, UTF-8; one of about 300 KB) and one of about
# 4 MB, whose saves and backups take tens of milliseconds: long enough to be cut off on purpose.
printf '첫 번째 파일\nfirst file\n' >"$W/files/f1.txt"
printf 'second 두 번째\n' >"$W/files/f2.txt"
for i in $(seq 1 6000); do printf '긴 파일의 %d번째 줄 line of a longer file\n' "$i"; done >"$W/files/f3.txt"
awk 'BEGIN { for (i = 1; i <= 60000; i++) printf "큰 파일의 %d번째 줄: 빠른 갈색 여우 the quick brown fox\n", i }' \
    >"$W/files/big.txt"

SEED=${LUMENPAD_CRASH_SEED:-$RANDOM}
RANDOM=$SEED
LOG=$W/rounds.log
: >"$LOG"
AIM=""
driver() { # phase [kill time]
    (cd "$W" && env LUMENPAD_CRASH_PHASE="$1" LUMENPAD_CRASH_KILL="${2:-0}" LUMENPAD_CRASH_DIR="$(winpath "$W")" \
        LUMENPAD_CRASH_DATA="$(winpath "$DATA")" LUMENPAD_CRASH_FILES="$(winpath "$W/files")" \
        LUMENPAD_CRASH_SEED="$((SEED + round))" LUMENPAD_CRASH_MEMOS=3 LUMENPAD_CRASH_AIM="$AIM" \
        LUMENPAD_CRASH_BIG=big.txt LC_ALL=$LOC \
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

shopt -s nullglob
# The temporary files of each kind of write: a save of a user file writes ".~lumenpad<pid>.tmp" beside
# it (and Wine's ReplaceFileW parks the old file as "rf*.tmp" for a moment); the writer thread
# writes a backup, the session or the settings as the name + ".tmp". Sets TEMPS to those present
# now (no command substitution: the aimed kill calls this every half millisecond).
temps() { # kind
    case $1 in
    file) TEMPS=("$W/files"/.~lumenpad*.tmp) ;;
    replace) TEMPS=("$W/files"/rf*.tmp) ;;
    backup) TEMPS=("$DATA/backup"/*.tmp) ;;
    session) TEMPS=("$DATA"/session.txt.tm[p]) ;; # a bracket makes it a pattern, which nullglob drops
    settings) TEMPS=("$DATA"/settings.ini.tm[p]) ;;
    esac
}
KINDS=(file backup session settings replace)
# What the even rounds aim at. The program swaps a saved file in by one rename, even under Wine, so
# Wine's swap ("replace") is only looked for after a kill.
AIMS=(file backup session settings)
exec {tick}<> <(:) # a pipe nobody writes: read -t on it sleeps without starting a process

# The aimed kill: polls every half millisecond for the temporary file of one kind. Each write seen from
# start to end teaches how long that kind lasts; after the first, a start is answered by a kill after a
# random part of the longest write seen so far, provided the file is still there at that moment (a
# write that ends first only teaches). Writes of one kind differ in length (a 4 MB file and a small
# one), so a kill may keep missing: after 10 s it kills at the first sight of a write. Gives up and
# kills anyway after 20 s. Sets AIMED to what happened.
aim_kill() { # kind
    local kind=$1 now started=0 longest=0 delay=-1 seen=0
    local hurry=$((${EPOCHREALTIME/./} + 10000000)) deadline=$((${EPOCHREALTIME/./} + 20000000))
    while :; do
        now=${EPOCHREALTIME/./}
        temps "$kind"
        if ((${#TEMPS[@]})); then
            if ((started == 0)); then
                started=$now seen=$((seen + 1)) delay=-1
                ((longest > 0)) && delay=$((RANDOM * longest / 32768))
                ((now > hurry)) && delay=0
            fi
            if ((delay >= 0 && now - started >= delay)); then
                kill -KILL "$PROGRAM"
                killed_at=${now}000
                AIMED="killed $(((now - started) / 1000)).$(((now - started) / 100 % 10)) ms into write $seen"
                AIMED+=" (longest before: $((longest / 1000)).$((longest / 100 % 10)) ms)"
                return
            fi
        elif ((started)); then
            ((now - started > longest)) && longest=$((now - started))
            started=0
        fi
        ((now > deadline)) && break
        read -r -t 0.0005 -u "$tick"
    done
    AIMED="no $kind write cut off in 20 s ($seen seen)"
    killed_at=$(date +%s%N)
    kill -KILL "$PROGRAM"
}

# Odd rounds kill at a random moment, autosave off and on in turn; even rounds aim at one kind of
# write each, in the order of AIMS, with autosave on where user files are the aim and off where the
# large file's backups are.
round_plan() { # round -> AIM, AUTOSAVE
    if (($1 % 2)); then
        AIM="" AUTOSAVE=$((($1 / 2) % 2))
    else
        AIM=${AIMS[($1 / 2 - 1) % ${#AIMS[@]}]}
        case $AIM in file) AUTOSAVE=1 ;; backup) AUTOSAVE=0 ;; *) AUTOSAVE=$((($1 / 2) % 2)) ;; esac
    fi
}

kills=0 cut=0 checked=0 failures=0 left=0 removed=0
declare -A cut_by=()
round=0
round_plan 1
printf 'autosave=%d\n' "$AUTOSAVE" >"$DATA/settings.ini"
start_program "$W/files/f1.txt" "$W/files/f2.txt" "$W/files/f3.txt" "$W/files/big.txt"
for round in $(seq 1 "$ROUNDS"); do
    round_plan "$round"
    echo "== round $round: autosave $AUTOSAVE, ${AIM:+aimed at $AIM writes}$([[ -z $AIM ]] && echo a random moment)" | tee -a "$LOG"
    rm -f "$W/journal.txt"
    driver type &
    TYPER=$!
    # The clock starts once typing has begun: a kill while the driver starts up or reads the tabs
    # tests nothing and leaves it without a journal (or with a tab it could not read).
    for ((i = 0; i < 600; i++)); do
        grep -qs '^E' "$W/journal.txt" && break
        kill -0 "$TYPER" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -z $AIM ]]; then # the aimed kill takes its own time
        wait_ms=$((500 + RANDOM % 9000))
        sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
    fi
    if ! kill -0 "$PROGRAM" 2>/dev/null; then
        echo "program ended by itself before the kill" | tee -a "$LOG"
        failures=$((failures + 1))
        break
    fi
    if [[ -n $AIM ]]; then
        aim_kill "$AIM"
        wait "$PROGRAM" 2>/dev/null
        echo "$AIMED" | tee -a "$LOG"
    else
        killed_at=$(date +%s%N)
        kill -KILL "$PROGRAM"
        wait "$PROGRAM" 2>/dev/null
    fi
    kills=$((kills + 1))
    wait "$TYPER"
    # A write was cut off when its temporary file outlived the program.
    leftovers=()
    for kind in "${KINDS[@]}"; do
        temps "$kind"
        ((${#TEMPS[@]})) || continue
        cut_by[$kind]=$((${cut_by[$kind]:-0} + 1))
        leftovers+=("${TEMPS[@]}")
        for f in "${TEMPS[@]}"; do echo "cut off: $kind ${f#"$W"/} ($(stat -c %s "$f") bytes)" | tee -a "$LOG"; done
    done
    ((${#leftovers[@]})) && cut=$((cut + 1))

    driver files "$killed_at" || failures=$((failures + 1))
    round_plan $((round + 1))
    printf 'autosave=%d\n' "$AUTOSAVE" >"$DATA/settings.ini"
    # The leftovers stay for the restart: it must not trip over them.
    start_program
    if driver verify "$killed_at"; then
        checked=$((checked + $(grep -E '^crash-driver verify' "$LOG" | tail -n 1 | grep -oE '[0-9]+ tabs checked' |
            grep -oE '^[0-9]+')))
    else
        failures=$((failures + 1))
    fi
    # What the restarted program did with them: a backup's is deleted at start-up with the other
    # backups no tab names, the session's is rewritten and moved in by the next session write; the
    # others stay (removed here, so that the next round counts only its own).
    for f in "${leftovers[@]}"; do
        left=$((left + 1))
        if [[ -e $f ]]; then
            echo "still there after the restart: ${f#"$W"/}" >>"$LOG"
            rm -f "$f"
        else
            removed=$((removed + 1))
        fi
    done
done
kill -KILL "$PROGRAM" 2>/dev/null
wait "$PROGRAM" 2>/dev/null
kinds_line=""
for kind in "${KINDS[@]}"; do kinds_line+=", ${cut_by[$kind]:-0} $kind"; done
echo "seed $SEED; log in $LOG; $left temporary files left by kills, $removed of them gone after the restart"
echo "crash test: $round rounds, $kills kills ($cut with a write cut off${kinds_line}), $checked tabs checked, $failures failures"
((failures == 0))
