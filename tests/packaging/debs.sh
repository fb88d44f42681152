#!/usr/bin/env bash
# Checks the Debian packages that `make package` left in FOLDER: lintian, run on the .changes
# as a packager runs it, reports nothing at all; and fennick-cli, for machines with no desktop,
# needs no Qt library but Qt Core.
#
# usage: debs.sh FOLDER
set -euo pipefail
folder="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

changes=("$folder"/fennick_*.changes)
[[ -f "${changes[0]}" ]] || fail "no .changes file in $folder"
# lintian's notice when it runs as root is about this machine, not the packages.
status=0
report="$(lintian --fail-on error,warning "${changes[@]}" 2>&1)" || status=$?
report="$(grep -vxF 'running with root privileges is not recommended!' <<<"$report" || true)"
if (( status != 0 )) || [[ -n "$report" ]]; then
    echo "$report"
    fail "lintian (exit status $status) on ${changes[0]}"
fi

cli=("$folder"/fennick-cli_*.deb)
qt="$(dpkg-deb -f "${cli[0]}" Depends | grep -oE 'libqt6[a-z0-9-]*' | grep -vx libqt6core6 || true)"
[[ -z "$qt" ]] || fail "fennick-cli depends on Qt libraries beyond Qt Core: $qt"
# Both programs start the SMB reader program; fennick depends on fennick-cli, which carries it.
contents="$(dpkg-deb -c "${cli[0]}")"
grep -q '/usr/libexec/fennick/fennick-smb-reader$' <<<"$contents" ||
    fail "fennick-cli does not carry the SMB reader program"
echo "lintian: no remarks on $(basename "${changes[0]}"); fennick-cli needs Qt Core only"
