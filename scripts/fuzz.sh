#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang-14 into build-fuzz/ (or $OSTRAND_FUZZ_DIR) and runs
# each for a bounded time from its seed corpus in fuzz/corpus/<target>/.
#   scripts/fuzz.sh [seconds-per-target] [target...]     (default 10 s, every target)
# New inputs the fuzzer finds go to build-fuzz/corpus/<target>/, never into the repository;
# a crash leaves its input as build-fuzz/crash-* and fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${OSTRAND_FUZZ_DIR:-$root/build-fuzz}"
seconds="${1:-10}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(config personality rib codec plan)

"$root/scripts/install-deps.sh" clang-14 libclang-rt-14-dev

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOSTRAND_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitizers -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$dir" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:disable_coredump=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
cd "$dir"
for t in "${targets[@]}"; do
    mkdir -p "corpus/$t"
    echo "== fuzz_$t for ${seconds} s"
    status=0
    "./fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 "corpus/$t" "$root/fuzz/corpus/$t" >"fuzz_$t.log" 2>&1 || status=$?
    grep -E "^stat::(number_of_executed_units|peak_rss_mb)|^Done" "fuzz_$t.log" || true
    if [ "$status" -ne 0 ]; then
        tail -40 "fuzz_$t.log"
        echo "fuzz_$t FAILED (exit $status): see $dir/fuzz_$t.log; the input is $dir/crash-*"
        exit 1
    fi
done
