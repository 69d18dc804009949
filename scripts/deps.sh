#!/usr/bin/env bash
# Installs the Debian packages the viewer needs to build, run and test.
# Only missing packages are installed, so a second run costs a few dpkg look-ups.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config lld
  qt6-base-dev qt6-image-formats-plugins libexif-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav timgm6mb-soundfont
  fonts-liberation fonts-wqy-zenhei
  libuchardet-dev libtiff-dev
)
if [ "${1:-}" = "--test" ]; then
  # A virtual display for the tests that need a real X server.
  packages+=(xvfb xauth desktop-file-utils appstream shared-mime-info)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
