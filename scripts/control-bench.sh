#!/usr/bin/env bash
# Control-level benchmark under Wine: the same scenarios for each text control, side by side.
#   bash scripts/control-bench.sh [driver ...]      (default: every driver the program knows)
# Each driver runs in its own process so memory figures are its own. Reports land in
# build/control-bench/<driver>.txt and a combined table is printed at the end.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=${LUMENPAD_BUILD_ROOT:-$ROOT/build}
JOBS=${LUMENPAD_JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B "$B/win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >"$B/win-configure.log" 2>&1 || { tail -n 20 "$B/win-configure.log"; exit 1; }
cmake --build "$B/win" -j "$JOBS" --target lumen_control_bench >/dev/null

source scripts/wine-env.sh
trap lumen_wine_cleanup EXIT
lumen_start_xvfb
LOC=ko_KR.UTF-8
lumen_use_prefix "$B/win/wine-949" "$LOC"

OUT=$B/control-bench
mkdir -p "$OUT"
drivers=("$@")
if ((${#drivers[@]} == 0)); then
    read -r -a drivers < <(env LC_ALL=$LOC wine "$B/win/lumen_control_bench.exe" 2>/dev/null | tr -d '\r' |
        sed -n 's/.*drivers://p')
fi
for d in "${drivers[@]}"; do
    echo "== $d"
    (cd "$OUT" && env LC_ALL=$LOC timeout "${LUMENPAD_BENCH_TIMEOUT:-900}" wine "$B/win/lumen_control_bench.exe" "$d" "$d.txt" </dev/null |
        stdbuf -oL tr -d "\r") || echo "$d: failed or timed out"
done

# name | value per driver
echo
printf '%-44s' "scenario"
for d in "${drivers[@]}"; do printf ' %12s' "$d"; done
echo
first=$OUT/${drivers[0]}.txt
[[ -f $first ]] || exit 0
while IFS= read -r line; do
    name=${line:0:44}
    printf '%-44s' "$name"
    for d in "${drivers[@]}"; do
        v=$(grep -F -- "$name" "$OUT/$d.txt" 2>/dev/null | head -n 1 | cut -c46-56 | tr -d ' ')
        printf ' %12s' "${v:--}"
    done
    unit=$(echo "${line:56}" | sed 's/ *(.*//')
    echo "  $unit"
done < <(tr -d '\r' <"$first")
