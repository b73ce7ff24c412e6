#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (GUI tests on the offscreen platform).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${OSTRAND_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j2
