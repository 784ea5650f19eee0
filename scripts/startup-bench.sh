#!/usr/bin/env bash
# Start-up against a floor, under Wine:
#   bash scripts/startup-bench.sh [runs]        (default 15)
# Runs "lumenpad.exe --bench" (an empty data folder, so one empty memo) and the floor program
# (tests/bench/startup_floor: a class, a window, one paint) alternately, each run in a fresh process,
# and prints for each the median, 10th and 90th percentile of: the first paint in milliseconds since
# the process was created (its last time mark), and the working set when it wrote its line (Wine
# reports no private bytes). The program is built without bounds checks in build/release, like the
# performance test.
# Pinned as the Wine notes advise. Environment: LUMENPAD_BUILD_ROOT.
set -uo pipefail
RUNS=${1:-15}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build/release}")  # absolute: Wine prefixes and winepath need it
source scripts/wine-env.sh
lumen_build_windows "$B" lumenpad -DLUMENPAD_ASSERTIONS=OFF || exit 1
lumen_build_windows "$B" lumen_startup_floor -DLUMENPAD_ASSERTIONS=OFF || exit 1
LOC=ko_KR.UTF-8
lumen_timing_wine "$B/win/wine-startup" "$LOC" || exit 1
W=$B/startup-bench
rm -rf "$W"
mkdir -p "$W/appdata"
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# The program's data folder is the bench's own, empty before every run.
lumen_wine $LOC reg add 'HKCU\Volatile Environment' /v LOCALAPPDATA /t REG_SZ /d "$(winpath "$W/appdata")" /f \
    >/dev/null 2>&1
out() { winpath "$W/$1.txt"; }
run() { # name exe [args...]
    local name=$1
    shift
    rm -rf "$W/appdata/Lumenpad"
    timeout 60 env LC_ALL=$LOC wine "$@" "$(out "$name")" </dev/null >/dev/null 2>&1
}
# Warm the prefix and the file cache; these runs are not counted.
run warm "$B/win/lumenpad.exe" --bench
run warm "$B/win/lumen_startup_floor.exe"
: >"$W/program.txt"
: >"$W/floor.txt"
for r in $(seq 1 "$RUNS"); do
    run program "$B/win/lumenpad.exe" --bench
    run floor "$B/win/lumen_startup_floor.exe"
done
# column of a bench line: paint (last mark) or ws (KiB, printed in MB)
column() {
    tr -d '\r' | awk -F, -v c="$1" '{ n = split($4, m, " ")
        if (c == "paint" && n > 0) print m[n]; else if (c == "ws") print $2 / 1024 }'
}
spread() { # median, p10 and p90 of the numbers on stdin
    sort -n | awk '{ v[NR] = $1 } END { if (!NR) { print "none"; exit }
        printf "%8.1f  (p10 %6.1f, p90 %6.1f, %d runs)", v[int((NR + 1) / 2)], v[int(NR * 0.1) + 1], v[int(NR * 0.9 + 0.5)], NR }'
}
for what in paint ws; do
    case $what in
        paint) label="first paint, ms since process creation" ;;
        ws) label="working set after first paint, MB" ;;
    esac
    printf '%-42s program %s\n' "$label" "$(column $what <"$W/program.txt" | spread)"
    printf '%-42s floor   %s\n' "" "$(column $what <"$W/floor.txt" | spread)"
done
