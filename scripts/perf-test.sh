#!/usr/bin/env bash
# The program's own performance test under Wine: "lumenpad.exe --perftest" times typing, opening,
# scrolling, finding and switching tabs through the real main window, next to a floor (a bare
# window painted once per step).
#   bash scripts/perf-test.sh [runs]        (default 1; more runs print each scenario's median)
# Pinned as the Wine notes advise: Xvfb on the second CPU, wineserver and the program on the first.
# The program is built without the test build's bounds checks, in a tree of its own (build/release
# unless LUMENPAD_BUILD_ROOT says otherwise). Reports land in <build root>/perf-test/run-N.txt.
set -uo pipefail
RUNS=${1:-1}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build/release}")  # absolute: Wine prefixes and winepath need it
source scripts/wine-env.sh
lumen_build_windows "$B" lumenpad -DLUMENPAD_ASSERTIONS=OFF || exit 1
LOC=ko_KR.UTF-8
lumen_timing_wine "$B/win/wine-perf" "$LOC" || exit 1
OUT=$B/perf-test
rm -rf "$OUT"
mkdir -p "$OUT"
for r in $(seq 1 "$RUNS"); do
    report=$(winepath -w "$OUT/run-$r.txt" 2>/dev/null | tr -d '\r')
    timeout 600 env LC_ALL=$LOC wine "$B/win/lumenpad.exe" --perftest "$report" </dev/null >/dev/null 2>&1
    [[ -s $OUT/run-$r.txt ]] || { echo "run $r wrote no report" >&2; exit 1; }
done
if [[ $RUNS -eq 1 ]]; then
    tr -d '\r' <"$OUT/run-1.txt"
else
    # Each line's name is everything before the value; the median of the runs per name.
    cat "$OUT"/run-*.txt | tr -d '\r' | awk '{ unit = $NF; value = $(NF - 1); name = $0
            sub(/ +[0-9.]+ [A-Za-z]+$/, "", name)
            if (!(name in n)) order[++count] = name
            v[name, ++n[name]] = value; u[name] = unit }
        END { for (i = 1; i <= count; i++) { name = order[i]; k = n[name]
                for (a = 1; a <= k; a++) s[a] = v[name, a]
                for (a = 1; a <= k; a++) for (b = a + 1; b <= k; b++) if (s[b] < s[a]) { t = s[a]; s[a] = s[b]; s[b] = t }
                printf "%-44s %10.2f %s\n", name, s[int((k + 1) / 2)], u[name] } }'
fi
