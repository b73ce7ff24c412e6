#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders each manual page as man-db does when lintian checks a package: any warning fails.
status=0
for page in "$@"; do
    out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    if [ -n "$out" ] || [ ! -s "$page" ]; then
        echo "$page: ${out:-missing or empty}"
        status=1
    fi
done
exit $status
