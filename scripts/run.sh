#!/usr/bin/env bash
# Installs what is missing, builds, and starts Morvane on the built-in demo
# signal (no radio or sound card needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DMORVANE_BENCH=OFF
exec build/bin/morvane-decode --demo "${MORVANE_DEMO_SECONDS:-90}" "$@"
