#!/usr/bin/env bash
# Start-up with a session against start-up without one, under Wine:
#   bash scripts/session-bench.sh [runs]        (default 9)
# Runs "lumenpad.exe --bench" in its own prefix with a private data folder, alternately with a session
# of 20 tabs (19 small files and a memo whose 10 MB text is in its backup; a small file is active, so
# the others load only when first shown) and with no session, and prints for each the medians of two
# spans taken from the bench line's time marks: from the program's first mark to its last (the window
# painted), which leaves out Wine's own process start-up, and the step of the window's creation that
# restores the session and shows the active tab (the eighth mark minus the seventh).
# Environment: LUMENPAD_BUILD_ROOT (the program is BUILD_ROOT/win/lumenpad.exe, built if missing).
set -uo pipefail
RUNS=${1:-9}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
source scripts/wine-env.sh
[[ -f $B/win/lumenpad.exe ]] || lumen_build_windows "$B" lumenpad || exit 1
trap lumen_wine_cleanup EXIT
lumen_start_xvfb || exit 1
LOC=ko_KR.UTF-8
lumen_use_prefix "$B/win/wine-sbench" "$LOC"
W=$B/session-bench
rm -rf "$W"
mkdir -p "$W/files" "$W/appdata/Lumenpad/backup"
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
lumen_wine $LOC reg add 'HKCU\Volatile Environment' /v LOCALAPPDATA /t REG_SZ /d "$(winpath "$W/appdata")" /f \
    >/dev/null 2>&1
DATA=$W/appdata/Lumenpad
printf 'restore=1\n' >"$DATA/settings.ini"
{
    printf 'lumenpad-session 1\nactive=0\n'
    for i in $(seq 1 19); do
        printf '파일 %d\nline two\n' "$i" >"$W/files/f$i.txt"
        printf 'tab\t%s\t\t0\t0\t0\t0\t0\t0\t\n' "$(winpath "$W/files/f$i.txt")"
    done
    printf 'tab\t\t00000000000000010001\t1\t0\t0\t0\t0\t0\tbig memo\n'
} >"$W/session.txt"
for i in $(seq 1 200000); do printf '큰 메모의 %d번째 줄 with some Latin text\n' "$i"; done |
    head -c 10000000 >"$DATA/backup/00000000000000010001.txt"

run() { # prints the marks of one bench line
    rm -f "$W/bench.txt"
    lumen_wine $LOC "$B/win/lumenpad.exe" --bench "$(winpath "$W/bench.txt")" </dev/null >/dev/null 2>&1
    head -n 1 "$W/bench.txt" 2>/dev/null | tr -d "\r"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR ? v[int((NR + 1) / 2)] : "none") }'; }
span() { # column: 1 first to last mark, 2 the restore step
    awk -F, -v c="$1" '{ n = split($4, m, " "); if (n >= 8) printf "%.1f\n", c == 1 ? m[n] - m[1] : m[8] - m[7] }'
}
run >/dev/null  # warm the prefix and the file cache
: >"$W/with.txt"
: >"$W/without.txt"
for r in $(seq 1 "$RUNS"); do
    cp "$W/session.txt" "$DATA/session.txt"
    run >>"$W/with.txt"
    rm -f "$DATA/session.txt"
    run >>"$W/without.txt"
done
for f in with without; do
    echo "$f a session: first mark to first paint $(span 1 <"$W/$f.txt" | median) ms," \
        "restore and first tab $(span 2 <"$W/$f.txt" | median) ms (median of $RUNS runs)"
done
