#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the package scripts/package.sh built, on this machine (as root, else with sudo):
# lintian reports no error; the package installs; ostrand-cli --help, a decode and the manual
# page work from the installed paths and the window starts under Xvfb; then the package is
# purged, with any package its install brought in, and nothing it made is left but the files
# of the user who ran it.
#   scripts/check-package.sh [dist/ostrand_<version>_<arch>.deb]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$(realpath "${1:-$(ls -t "$root"/dist/ostrand_*.deb | head -1)}")"
"$root/scripts/install-deps.sh" lintian
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"; }
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== lintian $deb"
lintian --fail-on error --display-info "$deb"

if dpkg-query -W -f='${Status}' ostrand 2>/dev/null | grep -q installed; then
    fail "ostrand is installed already; remove it first"
fi
# Everything outside the package managers' own records, and the installed packages.
snapshot() {
    find /etc /opt /srv /usr /var/lib /var/cache /var/spool \
        \( -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/cache/apt \
        -o -path /var/cache/debconf -o -path /var/cache/man -o -path /var/lib/systemd \) -prune \
        -o -print 2>/dev/null | sort
}
packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '/^ii/ {print $2}' | sort; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
snapshot >"$work/before"
packages >"$work/packages"

echo "== install"
apt_get install --no-install-recommends "$deb" >/dev/null
added="$(comm -13 "$work/packages" <(packages) | grep -vx ostrand || true)"
[ -z "$added" ] || echo "brought in: $added"

# As a user with an empty home would run it.
home="$work/home"
mkdir -p "$home"
as_user() { env -u OSTRAND_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" "$@"; }
echo "== /usr/bin/ostrand-cli --help"
as_user /usr/bin/ostrand-cli --help | grep -q '^  decode ' || fail "ostrand-cli --help lists no decode"
echo "== /usr/bin/ostrand-cli decode (the sample configuration, copied on first use)"
as_user /usr/bin/ostrand-cli decode "$root/fuzz/corpus/personality/plain.DSX" >"$work/plan.csv"
[ "$(wc -l <"$work/plan.csv")" -eq 17 ] && head -1 "$work/plan.csv" | grep -q '^Channel,Tx Freq.' ||
    fail "the decode printed: $(cat "$work/plan.csv")"
cmp -s /usr/share/ostrand/Ostrand.ini "$home/.local/share/Ostrand/Ostrand.ini" ||
    fail "the user's configuration is no copy of the sample"
echo "== man ostrand-cli"
for page in ostrand ostrand-cli ribsim; do
    as_user env MANPAGER=cat MANWIDTH=80 man "$page" 2>&1 | grep -q '^EXIT STATUS\|^FILES' ||
        fail "man $page shows no page"
done
echo "== the window under Xvfb, 3 s"
status=0
as_user xvfb-run -a timeout -s INT 3 /usr/bin/ostrand >"$work/window.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "ostrand ended with $status before 3 s: $(cat "$work/window.log")"
if [ -x /usr/bin/update-mime-database ]; then
    grep -q 'application/x-ostrand-personality' /usr/share/mime/globs2 ||
        fail "the MIME database lacks the personality type"
fi

echo "== purge"
listed="$(dpkg -L ostrand)"
# shellcheck disable=SC2086
apt_get purge ostrand $added >/dev/null
left=""
while IFS= read -r path; do
    # Made meanwhile by another package (another install on this machine) is not ours.
    dpkg -S "$path" >/dev/null 2>&1 || left+="$path"$'\n'
done < <(comm -13 "$work/before" <(snapshot))
[ -z "$left" ] || fail "left behind after the purge:"$'\n'"$left"
! grep -qs ostrand /usr/share/mime/globs2 /usr/share/applications/mimeinfo.cache ||
    fail "a system cache still names ostrand"
for path in $listed; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is still there"
done
echo "the user's own files, which stay:"
(cd "$home" && find . -type f | sed 's|^\./|  ~/|')
echo "package check passed"
