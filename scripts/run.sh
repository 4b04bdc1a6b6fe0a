#!/usr/bin/env bash
# Installs what is missing, builds, and starts Morvane's receiver on the
# built-in demo contact, played in real time (no radio or sound card needed).
# The decoded text appears as it is heard; Ctrl+C stops.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_TARGET=morvane-decode scripts/build.sh build -DMORVANE_BENCH=OFF
exec build/bin/morvane-decode --demo "${MORVANE_DEMO_SECONDS:-600}" --live --auto-lang \
  --key-mode direct "$@"
