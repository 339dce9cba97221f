#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tessra need,
# but only when one of them is missing, so a prepared machine starts at once.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    clang libclang-rt-14-dev clang-format
    qt6-base-dev libglib2.0-dev qt6-translations-l10n
    xvfb xauth xdotool x11-utils imagemagick dbus-daemon
    at-spi2-core python3-pyatspi
    fonts-dejavu-core fonts-liberation
    desktop-file-utils appstream dpkg-dev file libglib2.0-bin strace
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
