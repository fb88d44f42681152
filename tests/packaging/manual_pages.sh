#!/usr/bin/env bash
# Renders each manual page with man -l and fails on any warning of the formatter or a page
# without its NAME and SYNOPSIS sections.
set -euo pipefail
for page in "$@"; do
    warnings="$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
    if [[ -n "$warnings" ]]; then
        echo "$page: $warnings" >&2
        exit 1
    fi
    text="$(MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null)"
    for section in NAME SYNOPSIS DESCRIPTION; do
        grep -q "^$section\$" <<<"$text" || { echo "$page: no $section section" >&2; exit 1; }
    done
done
