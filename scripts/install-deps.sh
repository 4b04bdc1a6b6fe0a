#!/usr/bin/env bash
# Installs, from Debian's own archive, whatever the build and the tests need
# and this machine lacks. Runs as root, or elevates through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  libgtest-dev libgmock-dev libbenchmark-dev clang
  libfftw3-dev
  portaudio19-dev libserialport-dev libsndfile1-dev libsamplerate0-dev
  pulseaudio pulseaudio-utils libasound2-plugins alsa-utils
  ccache
  # the settings tool test checks the order of flushes and rename
  strace
  # the station window: Qt 6 Widgets, Japanese fonts, a virtual X server for screenshots
  qt6-base-dev fonts-noto-cjk xvfb xauth
  # cross compiler for the compile check of the Windows logger-window code
  mingw-w64
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}" >&2
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
