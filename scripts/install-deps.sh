#!/usr/bin/env bash
# Installs the Debian packages the build and tests need; quiet and quick when all are present.
# What the programs need to build is the Build-Depends of debian/control, installed from there;
# this list adds what the tests, the benchmarks, the formatter and the package build and check
# need beyond it.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(make g++ dpkg-dev lintian clang-format libgtest-dev libgmock-dev googletest
          libbenchmark-dev samba libqt6svg6 desktop-file-utils appstream man-db file)
# The log-on tests: a test domain controller and kinit, a Secret Service on a private bus.
packages+=(samba-ad-dc samba-ad-provision krb5-user gnome-keyring dbus-daemon)
# make fuzz also needs clang and its libFuzzer runtime; make test does not.
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
build_deps_met=false
command -v dpkg-checkbuilddeps >/dev/null && dpkg-checkbuilddeps >/dev/null 2>&1 && build_deps_met=true
[ ${#missing[@]} -eq 0 ] && $build_deps_met && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! $build_deps_met; then
    echo "Installing the build dependencies of debian/control"
    $SUDO apt-get build-dep -y -qq --no-install-recommends ./ >/dev/null
fi
