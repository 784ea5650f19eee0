#!/usr/bin/env bash
# Builds Lumenpad and runs every test:
#   1. native (Linux g++, AddressSanitizer + UndefinedBehaviorSanitizer) through ctest;
#   2. the Windows build (MinGW-w64) under Wine in a private Xvfb, once with the Korean ANSI code
#      page (949) and once with the Western one (1252), each in its own prefix inside the build tree;
#   3. clang-format over every C++ file under src/ and tests/: each file it would change is a failure.
# Both builds treat warnings in the project's own code as errors and check the standard library's
# bounds (_GLIBCXX_ASSERTIONS). Ends with one line "N passed, N failed, N skipped" over all runs;
# exits non-zero when anything failed.
#
# Environment: LUMENPAD_TEST_FILTER (a GoogleTest filter for all runs), LUMENPAD_SKIP_NATIVE=1,
# LUMENPAD_SKIP_WINE=1, LUMENPAD_JOBS (parallel build jobs, default: the number of cores),
# LUMENPAD_BUILD_ROOT (where the build trees go, default: build/ in the checkout), LUMENPAD_CRASH_ROUNDS
# (rounds of scripts/crash-test.sh after the Wine tests; default 2, none with a filter).
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

JOBS=${LUMENPAD_JOBS:-$(nproc 2>/dev/null || echo 2)}
FILTER=${LUMENPAD_TEST_FILTER:-*}
B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")  # absolute: Wine prefixes and winepath need it
mkdir -p "$B"
RESULTS=$B/test-results
rm -rf "$RESULTS"
mkdir -p "$RESULTS"
BROKEN=()   # runs that produced no results at all (build failure, crash, time-out)

source scripts/wine-env.sh
trap lumen_wine_cleanup EXIT
trap 'lumen_wine_cleanup; exit 130' INT TERM

# ---- native -------------------------------------------------------------------------------------
if [[ ${LUMENPAD_SKIP_NATIVE:-0} != 1 ]]; then
    echo "== native build (sanitizers)"
    if cmake -S . -B "$B/native" -DCMAKE_BUILD_TYPE=Debug -DLUMENPAD_SANITIZE=ON -DLUMENPAD_WERROR=ON \
            -DLUMENPAD_ASSERTIONS=ON \
            >"$B/native-configure.log" 2>&1 &&
        cmake --build "$B/native" -j "$JOBS" 2>&1 | tail -n 40; [[ ${PIPESTATUS[0]} == 0 ]]; then
        echo "== native tests"
        # ctest selects by regular expression: "Suite.*" becomes "Suite..*".
        REGEX=${FILTER//\*/.*}
        (cd "$B/native" &&
            ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            ctest -j "$JOBS" --timeout 600 --output-on-failure -R "^(${REGEX//:/|})\$" \
                --output-junit "$RESULTS/native.xml") | tail -n 60
    else
        cat "$B/native-configure".log 2>/dev/null | tail -n 20
        BROKEN+=("native build")
    fi
fi

# ---- Windows, under Wine --------------------------------------------------------------------------
if [[ ${LUMENPAD_SKIP_WINE:-0} != 1 ]]; then
    echo "== Windows build (MinGW-w64)"
    if cmake -S . -B "$B/win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENPAD_WERROR=ON -DLUMENPAD_ASSERTIONS=ON \
            >"$B/win-configure.log" 2>&1 &&
        cmake --build "$B/win" -j "$JOBS" 2>&1 | tail -n 40; [[ ${PIPESTATUS[0]} == 0 ]]; then
        if lumen_start_xvfb; then
            for cp in 949 1252; do
                if [[ $cp == 949 ]]; then loc=ko_KR.UTF-8; else loc=en_US.UTF-8; fi
                echo "== Windows tests under Wine, ANSI code page $cp (LC_ALL=$loc)"
                lumen_use_prefix "$B/win/wine-$cp" "$loc"
                # A PostScript printer whose port is a file, so the print tests and the self-test's
                # print check print real pages with no prompt; it carries the name that check asks for.
                printer="Microsoft Print to PDF"
                mkdir -p "$B/win/print-$cp"
                if lumen_wine "$loc" "$B/win/lumen_printer_setup.exe" "$printer" \
                        "Z:${B//\//\\}\\win\\print-$cp\\port.ps" </dev/null >/dev/null; then
                    export LUMENPAD_TEST_PRINTER=$printer
                else
                    unset LUMENPAD_TEST_PRINTER
                    BROKEN+=("printer set-up ($cp)")
                fi
                # gtest reads an absolute output path as relative under Wine: run from the results folder.
                (cd "$RESULTS" &&
                    LUMENPAD_EXPECT_ACP=$cp timeout 1800 env LC_ALL="$loc" wine "$B/win/lumen_tests.exe" \
                        --gtest_filter="$FILTER" --gtest_output="xml:wine-$cp.xml" </dev/null 2>&1 |
                    stdbuf -oL tr -d '\r' | grep --line-buffered -v -E '^(\[ +(OK|RUN) +\]|\[-+\]|$)' | tail -n 200)
                [[ -s $RESULTS/wine-$cp.xml ]] || BROKEN+=("Wine tests ($cp): no results (crash or time-out)")
                # The program's own end-to-end checks: one test case per report line, failed on FAIL.
                # They describe a Korean system (the ANSI file holds Hangul), so only under 949.
                [[ $cp == 949 ]] || { WINEPREFIX=$B/win/wine-$cp wineserver -k >/dev/null 2>&1 || true; continue; }
                report=$RESULTS/selftest-$cp.txt
                rm -f "$report"
                timeout 600 env LC_ALL="$loc" wine "$B/win/lumenpad.exe" --selftest \
                    "$(winepath -w "$report" 2>/dev/null | tr -d '\r')" </dev/null >/dev/null 2>&1
                echo "== self-test ($cp): $(head -n 1 "$report" 2>/dev/null | tr -d '\r' || echo 'no report')"
                {
                    echo "<testsuites><testsuite name=\"selftest-$cp\">"
                    [[ -s $report ]] || echo '<testcase name="report"><failure message="no report"/></testcase>'
                    tr -d '\r' <"$report" 2>/dev/null | sed -n 's/^\(PASS\|FAIL\|SKIP\)  \(.*\)$/\1\t\2/p' |
                        sed 's/&/\&amp;/g; s/</\&lt;/g; s/"/\&quot;/g' | while IFS=$'\t' read -r verdict name; do
                            case $verdict in
                                PASS) echo "<testcase name=\"$name\"/>" ;;
                                SKIP) echo "<testcase name=\"$name\"><skipped/></testcase>" ;;
                                *) echo "<testcase name=\"$name\"><failure message=\"FAIL\"/></testcase>" ;;
                            esac
                        done
                    echo '</testsuite></testsuites>'
                } >"$RESULTS/selftest-$cp.xml"
                grep '^FAIL' "$report" 2>/dev/null | tr -d '\r'
                WINEPREFIX=$B/win/wine-$cp wineserver -k >/dev/null 2>&1 || true
            done
        else
            BROKEN+=("Xvfb")
        fi
    else
        tail -n 20 "$B/win-configure".log 2>/dev/null
        BROKEN+=("Windows build")
    fi
fi

# ---- crash rounds ----------------------------------------------------------------------------------
# A few rounds of the crash test (scripts/crash-test.sh) against the program just built: killed while
# typing, everything typed 1.5 s before the kill must come back. LUMENPAD_CRASH_ROUNDS=n sets the
# number (0 skips them); with a test filter the default is none.
[[ $FILTER == "*" ]] && CRASH_DEFAULT=2 || CRASH_DEFAULT=0
CRASH_ROUNDS=${LUMENPAD_CRASH_ROUNDS:-$CRASH_DEFAULT}
if [[ ${LUMENPAD_SKIP_WINE:-0} != 1 && $CRASH_ROUNDS -gt 0 && -f $B/win/lumenpad.exe ]]; then
    echo "== crash test, $CRASH_ROUNDS rounds"
    crash_line=$(LUMENPAD_CRASH_REBUILD=0 LUMENPAD_BUILD_ROOT=$B bash scripts/crash-test.sh "$CRASH_ROUNDS" 2>&1 |
        tee "$B/crash-test.log" | tail -n 1)
    crash_rc=${PIPESTATUS[0]}
    echo "$crash_line"
    {
        echo '<testsuites><testsuite name="crash-test">'
        if ((crash_rc == 0)); then
            echo '<testcase name="crash rounds"/>'
        else
            echo "<testcase name=\"crash rounds\"><failure message=\"see $B/crash-test.log\"/></testcase>"
        fi
        echo '</testsuite></testsuites>'
    } >"$RESULTS/crash.xml"
fi

# ---- formatting --------------------------------------------------------------------------------------
# One failing test case per file that clang-format (the repository's .clang-format) would change.
echo "== clang-format ($(clang-format --version | grep -oE '[0-9]+\.[0-9.]+' | head -n 1))"
{
    echo '<testsuites><testsuite name="clang-format">'
    unformatted=0
    while IFS= read -r -d '' file; do
        if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
            echo "not formatted: $file (clang-format -i $file)" >&2
            echo "<testcase name=\"$file\"><failure message=\"not formatted\"/></testcase>"
            unformatted=$((unformatted + 1))
        fi
    done < <(find src tests \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
    ((unformatted == 0)) && echo '<testcase name="every file under src/ and tests/"/>'
    echo '</testsuite></testsuites>'
} >"$RESULTS/format.xml"

# ---- summary ---------------------------------------------------------------------------------------
# Counts <testcase> elements of GoogleTest and CTest JUnit reports: failed when one holds a <failure>,
# skipped when marked skipped, disabled or not run.
count_results() {
    awk '
        function flush() { if (open) { if (fail) f++; else if (skip) s++; else p++ } open = 0 }
        /<testcase[ >]/ { flush(); open = 1; fail = 0;
                          skip = ($0 ~ /status="(notrun|disabled)"/ || $0 ~ /result="(skipped|suppressed)"/) }
        /<failure[ >]/ { if (open) fail = 1 }
        /<skipped[ >\/]/ { if (open) skip = 1 }
        END { flush(); printf "%d %d %d\n", p, f, s }' "$1"
}

passed=0 failed=0 skipped=0
echo "== summary"
for xml in "$RESULTS"/*.xml; do
    [[ -e $xml ]] || continue
    read -r p f s < <(count_results "$xml")
    printf '%-12s %5d passed, %d failed, %d skipped\n' "$(basename "$xml" .xml)" "$p" "$f" "$s"
    passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
done
for b in "${BROKEN[@]}"; do
    echo "broken: $b"
    failed=$((failed + 1))
done
if ((passed == 0 && failed == 0)); then
    echo "no test ran"
    failed=1
fi
echo "$passed passed, $failed failed, $skipped skipped"
((failed == 0))
