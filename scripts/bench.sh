#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the radio operations against ribsim at real 2400-baud speed (ratio to the line's
# floor), the grid refresh, start-up to the shown window and peak memory. Builds an optimised
# tree in build-bench/ (or $OSTRAND_BENCH_DIR). Takes about 30 s. Not part of the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${OSTRAND_BENCH_DIR:-$root/build-bench}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" -j2 --target ostrand_bench ribsim ostrand
export QT_QPA_PLATFORM=offscreen OSTRAND_SOURCE_DIR="$root"
for mode in startup refresh read write; do
    "$dir/ostrand_bench" "$mode"
done
# The program itself, started and closed by the window system: its peak memory.
if [ -x /usr/bin/time ]; then
    home="$(mktemp -d)"
    cp "$root/data/Ostrand.ini" "$home/"
    OSTRAND_HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" /usr/bin/time -f "ostrand (shown 1 s, then closed): peak %M KiB" \
        timeout -s INT 1 "$dir/ostrand" 2>&1 | grep peak || true
    rm -rf "$home"
fi
