#!/usr/bin/env bash
# The committed prefix table must be what its generator makes of the data file.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(mktemp)
trap 'rm -f "$out"' EXIT
python3 scripts/gen-country-table.py data/country_prefixes.tsv "$out"
if ! cmp -s "$out" src/qso/CountryTable.h; then
  echo "country-table: src/qso/CountryTable.h differs from scripts/gen-country-table.py output" >&2
  exit 1
fi
echo "country-table: up to date" >&2
