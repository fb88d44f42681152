#!/usr/bin/env bash
# fennick-mkdemo --today: the same day writes the same share byte for byte, another day another
# share, and a day that is not YYYY-MM-DD (or not in the calendar) is refused with the usage.
set -euo pipefail
mkdemo="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for run in a b; do "$mkdemo" --units 60 --today 2025-06-11 "$work/$run" >/dev/null; done
"$mkdemo" --units 60 --today 2025-06-12 "$work/c" >/dev/null
diff -r "$work/a" "$work/b" >/dev/null || fail "the same day gave different shares"
! diff -r "$work/a" "$work/c" >/dev/null || fail "another day gave the same share"

for day in 2025-6-11 2025-02-30 11-06-2025 2025-06-1x 1900-01-01 ""; do
    status=0
    "$mkdemo" --today "$day" "$work/bad" >/dev/null 2>"$work/err" || status=$?
    [[ $status -eq 2 ]] || fail "--today '$day' gave status $status"
    grep -q '^usage: fennick-mkdemo' "$work/err" || fail "--today '$day' printed no usage"
    [[ ! -e "$work/bad" ]] || fail "--today '$day' wrote a share"
done
echo "mkdemo days: ok"
