#!/usr/bin/env bash
# morvane-lookup --at: good times give the local time, bad ones exit 2 with
# the message and print nothing on standard output.
set -uo pipefail
tool=$1
fail=0

check_good() {  # TIME EXPECTED-LOCAL-TIME (Hawaii, UTC-10)
  local out rc
  out=$("$tool" --at "$1" KH6AB 2>&1); rc=$?
  [ $rc -eq 0 ] && [ "${out##*$'\t'}" = "$2" ] || { echo "good time $1: rc $rc, '$out'"; fail=1; }
}
check_good 2026-07-01T15:00Z 05:00
check_good "2026-07-01 15:00:59" 05:00
check_good 2024-02-29T10:30:00Z 00:30  # leap day
check_good 2000-02-29T00:00Z 14:00

for bad in 2026-02-45T01:01Z 2026-07-01T15:00:99Z 2026-02-29T10:00Z 1900-02-29T10:00Z \
           2026-04-31T00:00Z 2026-13-01T00:00Z 2026-00-10T00:00Z 2026-07-00T00:00Z \
           2026-07-01T24:00Z 2026-07-01T12:60Z 2026-07-01T12:00:60 2026-7-1T12:00Z \
           2026-07-01T12:00ZZ 2026-07-01X12:00 2026-07-01T12:0 "2026-07- 1T12:00" \
           2026-07-01T+1:00 2026-07-01T12:00: 15:00 ""; do
  out=$("$tool" --at "$bad" KH6AB 2>"${TMPDIR:-/tmp}/lookup_err.$$"); rc=$?
  err=$(cat "${TMPDIR:-/tmp}/lookup_err.$$")
  if [ $rc -ne 2 ] || [ -n "$out" ] || [[ "$err" != *"bad time \"$bad\""* ]]; then
    echo "bad time '$bad': rc $rc, out '$out', err '$err'"; fail=1
  fi
done
rm -f "${TMPDIR:-/tmp}/lookup_err.$$"
exit $fail
