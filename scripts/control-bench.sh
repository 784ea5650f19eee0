#!/usr/bin/env bash
# Control-level benchmark under Wine: the same scenarios for each text control, side by side.
#   bash scripts/control-bench.sh [driver ...]      (default: every driver the program knows)
# Each driver runs in its own process so memory figures are its own. Reports land in
# build/control-bench/<driver>.txt and a combined table is printed at the end;
# LUMENPAD_BENCH_REPORT_ONLY=1 prints the table from the last reports without running anything.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=${LUMENPAD_BUILD_ROOT:-$ROOT/build}
source scripts/wine-env.sh
lumen_build_windows "$B" lumen_control_bench
trap lumen_wine_cleanup EXIT
lumen_start_xvfb
LOC=ko_KR.UTF-8
lumen_use_prefix "$B/win/wine-949" "$LOC"

OUT=$B/control-bench
mkdir -p "$OUT"
EXE=$B/win/lumen_control_bench.exe
LIMIT=${LUMENPAD_BENCH_TIMEOUT:-240}
usage=$(env LC_ALL=$LOC wine "$EXE" 2>/dev/null | tr -d '\r' || true)
read -r -a groups < <(echo "$usage" | sed -n 's/^groups://p')
drivers=("$@")
((${#drivers[@]})) || read -r -a drivers < <(echo "$usage" | sed -n 's/^drivers://p')

# Every group runs in its own process under a time limit: a control that takes minutes over one
# step loses only that group, which the table shows as "timeout".
for d in "${drivers[@]}"; do
    [[ ${LUMENPAD_BENCH_REPORT_ONLY:-0} == 1 ]] && break
    rm -f "$OUT/$d.txt"
    for g in "${groups[@]}"; do
        echo "== $d: $g"
        if ! (cd "$OUT" && env LC_ALL=$LOC timeout "$LIMIT" wine "$EXE" "$d" "$d.txt" "$g" </dev/null 2>/dev/null |
            stdbuf -oL tr -d '\r'; exit "${PIPESTATUS[0]}"); then
            echo "timeout $g" >>"$OUT/$d.txt"
            WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
            lumen_use_prefix "$WINEPREFIX" "$LOC"
        fi
    done
done

# One row per scenario, one column per driver.
NAMES=(
    "memory: idle, one empty tab" "typing: small memo" "open: 100k lines (~10 MB)" "memory: after opening 10 MB"
    "typing: end of 100k-line file" "typing: middle of 100k-line file" "scroll: page down (per page)"
    "open: 2 MB single line (no wrap)" "typing: end of 2 MB line (no wrap)" "typing: start of 2 MB line (no wrap)"
    "typing: end of 2 MB line (wrap)" "memory: end" "typing: middle of 2 MB line (no wrap)"
)
declare -A GROUP_OF=(
    ["memory: idle, one empty tab"]=memo ["typing: small memo"]=memo ["open: 100k lines (~10 MB)"]=open10
    ["memory: after opening 10 MB"]=open10 ["typing: end of 100k-line file"]=open10
    ["typing: middle of 100k-line file"]=middle10 ["scroll: page down (per page)"]=page10
    ["open: 2 MB single line (no wrap)"]=open2 ["typing: end of 2 MB line (no wrap)"]=open2
    ["typing: start of 2 MB line (no wrap)"]=start2 ["typing: end of 2 MB line (wrap)"]=wrap2 ["memory: end"]=wrap2
    ["typing: middle of 2 MB line (no wrap)"]=middle2
)
echo
printf '%-40s' "scenario (median per step)"
for d in "${drivers[@]}"; do printf ' %12s' "$d"; done
echo
for name in "${NAMES[@]}"; do
    printf '%-40s' "$name"
    unit=""
    for d in "${drivers[@]}"; do
        row=$(grep -F -- "$name " "$OUT/$d.txt" 2>/dev/null | grep -v -F -e "(avg)" -e "(worst)" | head -n 1 || true)
        if [[ -n $row ]]; then
            printf ' %12s' "$(echo "${row:44:11}" | tr -d ' ')"
            unit=$(echo "${row:56}" | sed 's/ *(.*//')
        elif grep -q -x "timeout ${GROUP_OF[$name]}" "$OUT/$d.txt" 2>/dev/null; then
            printf ' %12s' ">${LIMIT}s"
        else
            printf ' %12s' "-"
        fi
    done
    echo "  $unit"
done
echo "('>${LIMIT}s': the scenario's group did not finish within the limit, opening included; '-': not measured)"
