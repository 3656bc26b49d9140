#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need.
# Does nothing when every package is already present. Works as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins qt6-webengine-dev
  qt6-webengine-dev-tools libqt6opengl6-dev libgl1-mesa-dev qt6-svg-dev libqt6svg6
  zlib1g-dev libdeflate-dev libssl-dev libfreeimage-dev libtiff-dev libhunspell-dev hunspell-en-us
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps imagemagick at-spi2-core dbus-daemon python3-pyatspi
  dpkg-dev desktop-file-utils appstream shared-mime-info libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
# Another apt run may hold the lock; wait for it rather than failing.
apt_opts=(-o DPkg::Lock::Timeout=600 -y --no-install-recommends)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get "${apt_opts[@]:0:2}" update
"${sudo[@]}" apt-get "${apt_opts[@]}" install "${missing[@]}"
