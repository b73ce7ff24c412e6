#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, runs a short bounded fuzzing pass over every fuzz target,
# then runs every test (GUI tests on the offscreen platform).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/fuzz.sh" "${OSTRAND_FUZZ_SECONDS:-5}"
export QT_QPA_PLATFORM=offscreen
cd "${OSTRAND_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j2
