#!/usr/bin/env bash
# Builds the libFuzzer programs (clang++, ASan + UBSan) in build/fuzz and runs
# each for a bounded time, seeded from fuzz/corpus/<target> and the folders
# that fuzz/seed_folders.txt names for it (test data that stays beside its
# test, stored once). New inputs go to build/fuzz/corpus/<target>, crashes
# and property violations to build/fuzz/findings/<target> and, so that the
# ordinary test run replays them until the fault is mended, to
# fuzz/regressions/<target>.
# Usage: tools/fuzz.sh [seconds per target] [target...]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(database_file download_log http_reply quotation_scan read_decimal result_text)
build=build/fuzz
mkdir -p "$build"

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DDUVARIN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 2; }
for t in "${targets[@]}"; do
    cmake --build "$build" --target "fuzz_$t" -j2 >/dev/null || { echo "fuzz: building fuzz_$t failed"; exit 2; }
done

# Pages run well beyond 30000 bytes (the download keeps 256 kB; longer
# inputs cost much time for little more); the other inputs are small files.
max_len() { [ "$1" = quotation_scan ] && echo 65536 || echo 4096; }
seed_folders() { awk -v target="$1" '$1 == target { print $2 }' fuzz/seed_folders.txt; }

status=0
printf '%-16s %12s %10s %8s %s\n' target executions exec/s corpus findings
for t in "${targets[@]}"; do
    work=$build/corpus/$t findings=$build/findings/$t
    mkdir -p "$work" "$findings"
    log=$build/fuzz_$t.log
    mapfile -t elsewhere < <(seed_folders "$t")
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "fuzz/corpus/$t" "${elsewhere[@]}" >"$log" 2>&1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    if [ "${runs:-0}" -eq 0 ]; then
        echo "fuzz: fuzz_$t ran no input; see $log"
        status=1
    fi
    printf '%-16s %12s %10s %8s %s\n' "$t" "${runs:-?}" "${speed:-?}" "$(ls "$work" | wc -l)" "$found"
    if [ "$found" -gt 0 ]; then
        status=1
        find "$findings" -type f | sed 's/^/    /'
        cp "$findings"/* "fuzz/regressions/$t/"
        grep -m3 -E 'ERROR|property violated|runtime error' "$log" | sed 's/^/    /'
    fi
done
exit $status
