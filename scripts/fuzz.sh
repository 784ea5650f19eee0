#!/usr/bin/env bash
# Builds one libFuzzer target with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and runs it
# for a given time:
#   bash scripts/fuzz.sh <target> <seconds>      e.g. bash scripts/fuzz.sh settings 600
# The target is tests/fuzz/<target>_fuzz.cpp. It is linked with the Windows-free sources of src/files
# (plus the folders named in LUMENPAD_FUZZ_FOLDERS, e.g. "edit app"). Seeds come from
# tests/fuzz/corpus/<target>/, a dictionary from tests/fuzz/<target>.dict when present. The growing
# corpus and any crashing input stay in $LUMENPAD_BUILD_ROOT/fuzz/<target>/ (default build/).
# Ends with the line "fuzz <target>: N runs in S s, K findings" and exits non-zero on a finding.
set -uo pipefail

TARGET=${1:?usage: fuzz.sh <target> <seconds>}
SECONDS_TO_RUN=${2:?usage: fuzz.sh <target> <seconds>}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
SOURCE=tests/fuzz/${TARGET}_fuzz.cpp
[[ -f $SOURCE ]] || { echo "no fuzz target $SOURCE"; exit 2; }

# clang 14 and its runtime (libFuzzer lives in libclang-rt-14-dev on Debian 12).
CXX=clang++-14
if ! command -v $CXX >/dev/null || [[ ! -f $($CXX -print-file-name=libclang_rt.fuzzer-x86_64.a) ]]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null ||
        { echo "could not install clang-14 with libFuzzer"; exit 2; }
fi

B=$(realpath -m "${LUMENPAD_BUILD_ROOT:-$ROOT/build}")/fuzz/$TARGET
mkdir -p "$B/corpus" "$B/findings"
SOURCES=("$SOURCE")
for folder in files ${LUMENPAD_FUZZ_FOLDERS:-}; do
    for f in src/"$folder"/*.cpp; do
        [[ $f == *_win.cpp ]] || SOURCES+=("$f")
    done
done
echo "== building $TARGET (${#SOURCES[@]} sources)"
$CXX -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Isrc -Itests "${SOURCES[@]}" -o "$B/${TARGET}_fuzz" || { echo "build failed"; exit 2; }

[[ -d tests/fuzz/corpus/$TARGET ]] && cp -n tests/fuzz/corpus/"$TARGET"/* "$B/corpus/" 2>/dev/null
DICT=()
[[ -f tests/fuzz/$TARGET.dict ]] && DICT=(-dict=tests/fuzz/"$TARGET".dict)

echo "== fuzzing $TARGET for $SECONDS_TO_RUN s"
LOG=$B/last-run.log
# -max_len well above a real settings or session file; -timeout flags any input taking over 10 s.
"$B/${TARGET}_fuzz" "$B/corpus" "${DICT[@]}" -max_total_time="$SECONDS_TO_RUN" -max_len=65536 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$B/findings/" -print_final_stats=1 2>&1 | tee "$LOG" |
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|==[0-9]+==|SUMMARY|Done )'
status=${PIPESTATUS[0]}

runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$LOG" | grep -oE '[0-9]+$')
time=$(grep -oE '^Done [0-9]+ runs in [0-9]+ second' "$LOG" | grep -oE '[0-9]+ second' | grep -oE '[0-9]+')
findings=$(find "$B/findings" -type f | wc -l)
echo "corpus: $(find "$B/corpus" -type f | wc -l) inputs; findings in $B/findings: $findings"
echo "fuzz $TARGET: ${runs:-?} runs in ${time:-$SECONDS_TO_RUN} s, $findings findings"
((status == 0 && findings == 0))
