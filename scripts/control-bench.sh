#!/usr/bin/env bash
# Control-level benchmark under Wine: the same scenarios for each text control, side by side.
#   bash scripts/control-bench.sh [driver ...]      (default: every driver the program knows)
# Each driver runs in its own process so memory figures are its own. Reports land in
# build/control-bench/<driver>.txt and a combined table is printed at the end: per scenario the
# median step, with the mean, 95th percentile and worst step below it, and "not reached" for rows
# of a group whose process ended (time limit, LUMENPAD_BENCH_TIMEOUT seconds, or a failure) first;
# LUMENPAD_BENCH_REPORT_ONLY=1 prints the table from the last reports without running anything;
# LUMENPAD_BENCH_ROUNDTRIPS=1 counts wineserver requests per typed key instead of timing.
# LUMENPAD_BENCH_REPEAT=n runs every group in n processes and prints, per scenario, the median,
# p10 and p90 of the per-process medians (a step's cost can depend on where the scheduler puts a
# process, so one process's median says little); LUMENPAD_BENCH_GROUPS="memo page10" limits the
# groups.
#
# Pinned as the Wine notes advise: Xvfb on the second CPU, this shell and so wineserver and every
# benchmark process on the first. A window-system round trip then stays on one CPU.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
source scripts/wine-env.sh
lumen_build_windows "$B" lumen_control_bench
LOC=ko_KR.UTF-8
lumen_timing_wine "$B/win/wine-949" "$LOC" || exit 1

OUT=$B/control-bench
mkdir -p "$OUT"
EXE=$B/win/lumen_control_bench.exe
LIMIT=${LUMENPAD_BENCH_TIMEOUT:-240}
usage=$(env LC_ALL=$LOC wine "$EXE" 2>/dev/null | tr -d '\r' || true)
read -r -a groups < <(echo "$usage" | sed -n 's/^groups://p')
[[ -n ${LUMENPAD_BENCH_GROUPS:-} ]] && read -r -a groups <<<"$LUMENPAD_BENCH_GROUPS"
REPEAT=${LUMENPAD_BENCH_REPEAT:-1}
drivers=("$@")
((${#drivers[@]})) || read -r -a drivers < <(echo "$usage" | sed -n 's/^drivers://p')

# LUMENPAD_BENCH_ROUNDTRIPS=1: no timing; for each driver, the wineserver requests one typed memo
# line makes (a trace of wineserver -f -d1 between two marker file opens of the benchmark's main
# thread), per key and by request.
if [[ ${LUMENPAD_BENCH_ROUNDTRIPS:-0} == 1 ]]; then
    for d in "${drivers[@]}"; do
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        wineserver -f -d1 2>"$OUT/$d.trace" &
        server=$!
        sleep 0.5
        keys=$(cd "$OUT" && env LC_ALL=$LOC LUMENPAD_BENCH_MARK=1 timeout "$LIMIT" wine "$EXE" "$d" "" memo \
            </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^# marked \([0-9]*\) keys/\1/p' || true)
        wineserver -k >/dev/null 2>&1 || true
        wait "$server" || true
        echo "$d: wineserver requests per key over ${keys:-0} keys"
        awk -v keys="${keys:-0}" '
            !on && /create_file\(/ && /lumen-mark-begin/ { on = 1; thread = $1; next }
            on && $1 == thread && /create_file\(/ && /lumen-mark-end/ { exit }
            on && $1 == thread && /^[0-9a-f]+: [a-z_]+\(/ && !/\) = / {
                name = $2; sub(/\(.*/, "", name); n[name]++; total++ }
            END { if (keys > 0) { for (r in n) printf "  %-28s %6.2f\n", r, n[r] / keys
                                  printf "  %-28s %6.2f\n", "total", total / keys } }' "$OUT/$d.trace" |
            sort -k2 -g -r
    done
    exit 0
fi

# Every group runs in its own process under a time limit: a control that takes minutes over one
# step loses only the rest of that group. The report marks each group started here and the
# benchmark marks it done, so rows missing from a group that never got done were not reached.
for d in "${drivers[@]}"; do
    [[ ${LUMENPAD_BENCH_REPORT_ONLY:-0} == 1 ]] && break
    rm -f "$OUT/$d.txt" "$OUT/$d.runs.txt"
    for g in "${groups[@]}"; do
        for ((run = 1; run <= REPEAT; run++)); do
            echo "== $d: $g ($run/$REPEAT)"
            echo "# group $g" >"$OUT/$d.one.txt"
            status=0
            (cd "$OUT" && env LC_ALL=$LOC timeout "$LIMIT" wine "$EXE" "$d" "$d.one.txt" "$g" </dev/null 2>/dev/null |
                stdbuf -oL tr -d '\r'; exit "${PIPESTATUS[0]}") || status=$?
            if ((status != 0)); then
                echo "# stopped $g (exit status $status$( ((status == 124)) && echo ", time limit ${LIMIT}s"))" |
                    tee -a "$OUT/$d.one.txt"
                WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
                lumen_use_prefix "$WINEPREFIX" "$LOC"
            fi
            ((run == 1)) && cat "$OUT/$d.one.txt" >>"$OUT/$d.txt"
            cat "$OUT/$d.one.txt" >>"$OUT/$d.runs.txt" 2>/dev/null || true
        done
    done
done

# With repeats: the spread of the per-process medians of every step scenario.
if ((REPEAT > 1)); then
    for d in "${drivers[@]}"; do
        echo
        echo "$d: per-process medians over $REPEAT processes per group"
        printf '%-40s %8s %8s %8s %4s\n' "scenario" "median" "p10" "p90" "n"
        grep -v -e "^#" -e " (mean) " -e " (p95) " -e " (worst) " "$OUT/$d.runs.txt" | grep -F " per " |
            awk 'match($0, / +[^ ]+ ms per /) {
                     name = substr($0, 1, RSTART - 1); split(substr($0, RSTART), f, " "); v[name] = v[name] " " f[1] }
                 END { for (n in v) print n "\t" v[n] }' | sort |
            while IFS=$'\t' read -r name values; do
                read -r -a xs <<<"$(tr ' ' '\n' <<<"$values" | grep . | sort -g | tr '\n' ' ')"
                k=${#xs[@]}
                printf '%-40s %8s %8s %8s %4d\n' "$name" "${xs[k / 2]}" "${xs[(k + 9) / 10 - 1]}" "${xs[(9 * k + 9) / 10 - 1]}" "$k"
            done
    done
fi

# One row per scenario, one column per driver.
NAMES=(
    "memory: idle, one empty tab" "typing: small memo" "open: 100k lines (~10 MB)" "memory: after opening 10 MB"
    "typing: end of 100k-line file" "typing: middle of 100k-line file" "scroll: page down (per page)"
    "open: 2 MB single line (no wrap)" "typing: end of 2 MB line (no wrap)" "typing: start of 2 MB line (no wrap)"
    "typing: end of 2 MB line (wrap)" "memory: end" "typing: middle of 2 MB line (no wrap)"
    "swap: two wrapped 10 MB documents" "memory: two 10 MB documents" "composing: short line"
    "composing: end of 100k-line file" "composing: middle of 2 MB line (no wrap)"
    "composing: middle of 2 MB line (wrap)"
)
declare -A GROUP_OF=(
    ["memory: idle, one empty tab"]=memo ["typing: small memo"]=memo ["open: 100k lines (~10 MB)"]=open10
    ["memory: after opening 10 MB"]=open10 ["typing: end of 100k-line file"]=open10
    ["typing: middle of 100k-line file"]=middle10 ["scroll: page down (per page)"]=page10
    ["open: 2 MB single line (no wrap)"]=open2 ["typing: end of 2 MB line (no wrap)"]=open2
    ["typing: start of 2 MB line (no wrap)"]=start2 ["typing: end of 2 MB line (wrap)"]=wrap2 ["memory: end"]=wrap2
    ["typing: middle of 2 MB line (no wrap)"]=middle2 ["swap: two wrapped 10 MB documents"]=swap10
    ["memory: two 10 MB documents"]=swap10 ["composing: short line"]=compose
    ["composing: end of 100k-line file"]=compose10 ["composing: middle of 2 MB line (no wrap)"]=compose2
    ["composing: middle of 2 MB line (wrap)"]=compose2w
)
# The table: a driver's report read once into CELL (driver/row -> figure, driver/group/g -> started
# or done) and UNIT.
declare -A TITLE=([quill]=QuillEdit [floor]="floor (window system)" [edit]="EDIT (Wine built-in)"
    [richedit]="RichEdit (Wine built-in)")
declare -A CELL=() UNIT=()
for d in "${drivers[@]}"; do
    [[ -f $OUT/$d.txt ]] || continue
    while IFS= read -r row; do
        case $row in
            "# group "*) CELL[$d/group/${row#"# group "}]=started ;;
            "# done "*) CELL[$d/group/${row#"# done "}]=done ;;
            "#"*) ;;
            *)
                # "<name> <figure> <unit>", the unit starting with "ms" or "MB"
                [[ $row =~ ^(.*[^\ ])\ +([^\ ]+)\ ((ms|MB).*)$ ]] || continue
                CELL[$d/${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
                UNIT[${BASH_REMATCH[1]}]=${BASH_REMATCH[3]%% (*}
                ;;
        esac
    done <"$OUT/$d.txt"
done
W=26
echo
printf '%-44s' "scenario (median per step)"
for d in "${drivers[@]}"; do printf ' %*s' "$W" "${TITLE[$d]:-$d}"; done
echo
for name in "${NAMES[@]}"; do
    for stat in "" " (mean)" " (p95)" " (worst)"; do
        cells="" found=0
        for d in "${drivers[@]}"; do
            cell=${CELL[$d/$name$stat]:-}
            if [[ -n $cell ]]; then
                found=1
            elif [[ ${CELL[$d/group/${GROUP_OF[$name]}]:-} == started ]]; then
                cell="not reached"
            else
                cell="-"
            fi
            cells+=$(printf ' %*s' "$W" "$cell")
        done
        [[ -z $stat || $found == 1 ]] || continue
        label=$name
        [[ -n $stat ]] && label="  ${stat:2:${#stat}-3}"
        printf '%-44s%s  %s\n' "$label" "$cells" "${UNIT[$name$stat]:-}"
    done
done
echo "('not reached': the group's process ended, at its ${LIMIT}s limit or by a failure, before this row;"
echo " '-': not measured for this control; the peers are the EDIT and RichEdit built into Wine)"
