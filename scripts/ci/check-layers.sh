#!/usr/bin/env bash
# check-layers.sh: fails when a source file includes a header of a layer
# above its own. Layers, lowest first (a folder may include its own layer
# and any below):
#   common < text < decode < synth < receive < transmit < macros < qso < settings
#   < station < app, form, gui
# platform/ implements interfaces the core declares: it may include any core
# folder, and no core folder may include it. app/ is the program's entry: it
# picks the real devices from platform/ and hands them to the station, so it
# alone may include platform headers. tools/, tests/ and bench/ sit on top
# and are not checked.
set -euo pipefail
cd "$(dirname "$0")/../.."

declare -A rank=(
  [common]=0 [text]=1 [decode]=2 [synth]=3 [receive]=4 [transmit]=5
  [macros]=6 [qso]=7 [settings]=8 [station]=9 [app]=10 [form]=10 [gui]=10
)
platform_rank=10  # above the core, beside the window

status=0
while IFS= read -r -d '' file; do
  dir=${file#src/}
  dir=${dir%%/*}
  if [[ $dir == platform ]]; then
    own=$platform_rank
  elif [[ -n ${rank[$dir]+x} ]]; then
    own=${rank[$dir]}
  else
    continue
  fi
  while IFS=: read -r line target; do
    folder=${target%%/*}
    if [[ $folder == platform ]]; then
      if [[ $dir != platform && $dir != app ]]; then
        echo "$file:$line: core folder '$dir' includes platform header \"$target\""
        status=1
      fi
      continue
    fi
    [[ -n ${rank[$folder]+x} ]] || continue
    if (( rank[$folder] > own )); then
      echo "$file:$line: '$dir' includes \"$target\" from the higher layer '$folder'"
      status=1
    fi
  done < <(grep -no '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]*)"/\1:\2/')
done < <(find src \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if (( status == 0 )); then
  echo "layers: every include points down"
fi
exit $status
