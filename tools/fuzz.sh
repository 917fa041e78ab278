#!/usr/bin/env bash
# Runs every fuzz target of the file readers (statistics, settings, movies, MP3
# and WAV sounds) for a bounded time each, from the seeds in tests/fuzz/corpus
# and with the words of tests/fuzz/TARGET.dict where there is one.
# Fails on a crash, a leak, an input taking over a second, or memory over the
# bound. Usage: tools/fuzz.sh [BUILD_DIR] [SECONDS_EACH]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
rss_limit_mb=${ZORBAN_FUZZ_RSS_MB:-1024}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBAN_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
cmake --build "$build" --target fuzz_targets -j"${ZORBAN_JOBS:-2}"

# In memory where there is room: the readers' files are written for every input.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen ZORBAN_FUZZ_DIR="$work"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
failed=0
for target in statistics settings movie mp3 wav; do
    corpus="$work/corpus-$target"
    mkdir -p "$corpus" "$work/findings-$target"
    cp tests/fuzz/corpus/"$target"/* "$corpus"/
    log="$work/$target.log"
    dictionary=()
    if [[ -f tests/fuzz/$target.dict ]]; then
        dictionary=(-dict="tests/fuzz/$target.dict")
    fi
    if "$build/tests/fuzz/fuzz_$target" "$corpus" "${dictionary[@]}" -max_total_time="$seconds" -timeout=1 \
        -rss_limit_mb="$rss_limit_mb" -malloc_limit_mb="$rss_limit_mb" -max_len=65536 \
        -artifact_prefix="$work/findings-$target/" -print_final_stats=1 >"$log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed=1
        mkdir -p fuzz-findings
        cp "$work/findings-$target"/* fuzz-findings/ 2>/dev/null || true
        grep -E "ERROR|SUMMARY|timeout|out-of-memory|leak" "$log" | head -20 || true
    fi
    runs=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$log" | grep -oE "[0-9]+$" || echo "?")
    echo "fuzz_$target: $status, $runs executions in $seconds s"
done
exit "$failed"
