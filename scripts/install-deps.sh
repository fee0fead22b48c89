#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing need,
# when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev libx11-dev libfontconfig-dev libpulse-dev libmp3lame-dev libflac-dev libopusenc-dev libtag1-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus-daemon sox lame ffmpeg
  xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps openbox imagemagick desktop-file-utils appstream fonts-dejavu-core python3 python3-mutagen python3-numpy
  dpkg-dev lintian
  weston xwayland qt6-wayland python3-dbus python3-gi at-spi2-core python3-pyatspi  # headless Weston, a fake portal, the fake panel, the screen reader's view
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" = 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
