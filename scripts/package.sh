#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, unsigned, into dist/ (dist/ostrand_<version>_<arch>.deb).
# Installs what is missing (dpkg-dev and the build dependencies debian/control names), then
# builds in a copy of the tree under build-deb/ (or $OSTRAND_DEB_DIR), so that nothing is
# written outside the repository. Every test runs during the build; DEB_BUILD_OPTIONS=nocheck
# skips them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${OSTRAND_DEB_DIR:-$root/build-deb}"
"$root/scripts/install-deps.sh" dpkg-dev
if ! (cd "$root" && dpkg-checkbuilddeps >/dev/null 2>&1); then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get build-dep -y -qq --no-install-recommends "$root"
fi

version="$(cd "$root" && dpkg-parsechangelog -S Version)"
arch="$(dpkg-architecture -q DEB_HOST_ARCH)"
tree="$work/ostrand-$version"
rm -rf "$work"
mkdir -p "$tree"
# The files of the work tree as git sees them (tracked, and new ones not ignored), or all of
# it but build output when this is no git checkout.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do if [ -e "$f" ]; then printf '%s\0' "$f"; fi; done |
        xargs -0 cp --parents --no-dereference -t "$tree")
else
    tar -C "$root" --anchored --exclude='./build*' --exclude=./dist -cf - . | tar -C "$tree" -xf -
fi

(cd "$tree" && dpkg-buildpackage --build=binary --no-sign -j"$(nproc)")
mkdir -p "$root/dist"
cp "$work/ostrand_${version}_${arch}.deb" "$root/dist/"
echo "$root/dist/ostrand_${version}_${arch}.deb"
