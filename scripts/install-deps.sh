#!/usr/bin/env bash
# Installs the Debian packages the build and tests need; quiet and quick when all are present.
set -euo pipefail
packages=(cmake make g++ pkg-config clang-format qt6-base-dev qt6-tools-dev qt6-tools-dev-tools
          libgl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
          libsmbclient-dev libkrb5-dev samba qtkeychain-qt6-dev qt6-charts-dev libqt6opengl6-dev
          libqt6svg6 scdoc librsvg2-bin desktop-file-utils appstream man-db dpkg-dev file)
# The log-on tests: a test domain controller and kinit, a Secret Service on a private bus.
packages+=(samba-ad-dc samba-ad-provision krb5-user gnome-keyring dbus-daemon)
# make fuzz also needs clang and its libFuzzer runtime; make test does not.
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
