#!/usr/bin/env bash
# Screenshots of the toolkit's popups under Wine in a private Xvfb: a menu with a submenu open, a
# question dialog and a tip, in light and dark mode. Builds the Windows test program, runs its
# colour cases, which pose when LUMENPAD_SHOTS_DIR is set, takes the screen at each pose it announces, and prints the folder with
# the PNGs (light-menu.png, light-dialog.png, light-tip.png and the dark ones).
# Environment: LUMENPAD_BUILD_ROOT (build trees, default build/), LUMENPAD_SHOTS (the folder, default
# <build root>/ui-shots).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
OUT=${LUMENPAD_SHOTS:-$B/ui-shots}
source scripts/wine-env.sh
echo "ui-shots: building lumen_tests.exe in $B/win"
lumen_build_windows "$B" lumen_tests

trap lumen_wine_cleanup EXIT
lumen_start_xvfb
lumen_use_prefix "$B/win/wine-949" ko_KR.UTF-8
rm -rf "$OUT"
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

# Wine sees the Unix root as drive Z:.
env LC_ALL=ko_KR.UTF-8 LUMENPAD_SHOTS_DIR="Z:${OUT//\//\\}" wine "$B/win/lumen_tests.exe" \
    --gtest_filter='*.ColoursReachTheWindow:TooltipWindow.*' </dev/null >"$OUT/run.log" 2>&1 &
RUN=$!

taken=0
for _ in $(seq 1 600); do
    for ready in "$OUT"/*.ready; do
        [[ -e $ready ]] || continue
        name=$(basename "$ready" .ready)
        [[ -e $OUT/$name.done ]] && continue
        import -window root -crop 920x660+0+0 +repage "$OUT/$name.png"
        touch "$OUT/$name.done"
        taken=$((taken + 1))
    done
    kill -0 "$RUN" 2>/dev/null || break
    sleep 0.1
done
wait "$RUN" || { tr -d '\r' <"$OUT/run.log" | tail -n 20; echo "ui-shots: the poses failed"; exit 1; }
rm -f "$OUT"/*.ready "$OUT"/*.done
echo "ui-shots: $taken screenshots in $OUT"
ls "$OUT"/*.png
