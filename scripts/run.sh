#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Morvane station window on
# the built-in demo contact, so decoding shows at once without a radio.
# Arguments go to the program (a settings file: scripts/run.sh my.mrvn).
# Without a display it says so and runs the headless station instead (or,
# where that is not built yet, the receiver alone), printing decoded text.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  BUILD_TARGET=morvane scripts/build.sh build -DMORVANE_BENCH=OFF
  exec build/bin/morvane --demo "$@"
fi
echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset): starting the station without a window on the demo contact." >&2
if [ -f tools/morvane-station/CMakeLists.txt ]; then
  BUILD_TARGET=morvane-station scripts/build.sh build -DMORVANE_BENCH=OFF
  exec build/bin/morvane-station --demo "$@"
fi
BUILD_TARGET=morvane-decode scripts/build.sh build -DMORVANE_BENCH=OFF
exec build/bin/morvane-decode --demo "${MORVANE_DEMO_SECONDS:-600}" --live --auto-lang \
  --key-mode direct "$@"
