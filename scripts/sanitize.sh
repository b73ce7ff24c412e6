#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# (or $OSTRAND_ASAN_DIR) and runs every test there. Any sanitizer report aborts the test that
# made it, so the run fails. Extra arguments go to ctest (e.g. -R tst_link).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${OSTRAND_ASAN_DIR:-$root/build-asan}"
"$root/scripts/install-deps.sh"

sanitizers="-fsanitize=address,undefined"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$sanitizers -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$dir" -j2

# Leaks are detected; the suppressions name only leaks made inside Qt and the system libraries
# it loads (font and platform plugin caches kept until exit), never this program's code.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_odr_violation=2:disable_coredump=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j2 "$@"
