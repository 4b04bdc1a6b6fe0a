#!/usr/bin/env bash
# screenshot.sh [OUT.png [SECONDS]]: starts the station window under a
# virtual X server on the demo contact, with automatic English/Wabun
# switching, and saves a picture of it after SECONDS (default 115, after the
# Wabun over has been decoded). The README shows docs/morvane-window.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/morvane-window.png}
seconds=${2:-115}
scripts/install-deps.sh
BUILD_TARGET=morvane scripts/build.sh build -DMORVANE_BENCH=OFF
BUILD_TARGET=morvane-settings scripts/build.sh build -DMORVANE_BENCH=OFF
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A settings file: E/J Direct Key Mode and automatic language switching,
# an operator and a few macros, so the picture shows a station in use.
{
  printf '1\tCQ CQ DE <MyCall> <MyCall> PSE K\n'
  printf '2\t<HisCall> DE <MyCall> GM TNX FER CALL UR RST <HisRST> <HisRST> BK\n'
  printf '3\tR TNX <HisName> 73 TU\n'
  printf '31\tCQ\n32\tANS\n33\t73\n62\t1\n63\t4\n'
  printf '92\tJA1ABC\n93\tTARO\n94\tTOKYO\n'
  printf '108\tDIRECT\n110\tEA\n'
} > "$work/demo.txt"
build/bin/morvane-settings build "$work/demo.txt" "$work/demo.mrvn"
export XDG_CONFIG_HOME="$work/config"
xvfb-run -a -s "-screen 0 1280x900x24" \
  build/bin/morvane --demo --key-mode direct --screenshot "$out" --screenshot-after "$seconds" "$work/demo.mrvn"
