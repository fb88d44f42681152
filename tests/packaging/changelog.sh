#!/usr/bin/env bash
# The newest entry of the Debian changelog carries the version and the release date of the
# build, so that the packages, --version and the metainfo all say the same.
#
# usage: changelog.sh CHANGELOG VERSION RELEASE_DATE
set -euo pipefail
changelog="$1" version="$2" released="$3"
entry_version="$(dpkg-parsechangelog -l "$changelog" -S Version)"
entry_date="$(date -u -d "@$(dpkg-parsechangelog -l "$changelog" -S Timestamp)" +%F)"
status=0
if [[ "$entry_version" != "$version" ]]; then
    echo "FAIL: $changelog is at version $entry_version, the build at $version" >&2
    status=1
fi
if [[ "$entry_date" != "$released" ]]; then
    echo "FAIL: $changelog is dated $entry_date, the build's release $released" >&2
    status=1
fi
exit $status
