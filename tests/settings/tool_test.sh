#!/usr/bin/env bash
# morvane-settings end to end: build -> dump gives the dump back, a file it
# writes survives dump -> build byte for byte, bad files exit 2.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/in.txt" <<'PY'
import sys
long = lambda n, c: c * n
rows = {1: long(254, 'a'), 2: long(255, 'b'), 3: long(65534, 'c'), 4: long(65535, 'd'),
        5: long(70000, 'e'), 6: '\U0001F600 あ', 7: 'tab\\there\\r\\nback\\\\slash', 160: 'z'}
with open(sys.argv[1], 'w', encoding='utf-8', newline='') as f:
    for i in sorted(rows):
        f.write(f"{i}\t{rows[i]}\n")
PY
"$tool" build "$work/in.txt" "$work/a.mrvn"
"$tool" dump "$work/a.mrvn" > "$work/out.txt"
[ "$(wc -l < "$work/out.txt")" -eq 160 ] || { echo "dump is not 160 lines"; exit 1; }
# Every line of the input is in the dump; every other line is "N<TAB>".
grep -v -x -F -f "$work/in.txt" "$work/out.txt" | grep -v -E $'^[0-9]+\t$' && { echo "unexpected dump lines"; exit 1; }
[ "$(grep -c -x -F -f "$work/in.txt" "$work/out.txt")" -eq 8 ] || { echo "dump lost entries"; exit 1; }
"$tool" build "$work/out.txt" "$work/b.mrvn"
cmp "$work/a.mrvn" "$work/b.mrvn"
# Empty document: 742 bytes (markers of 24 and 23 characters, 160 x FF FE FF 00).
: > "$work/empty.txt"
"$tool" build "$work/empty.txt" "$work/empty.mrvn"
[ "$(stat -c %s "$work/empty.mrvn")" -eq 742 ] || { echo "empty file size"; exit 1; }

# Wrong start marker.
printf '\xff\xfe\xff\x01\x41\x00' > "$work/wrong.mrvn"
set +e
"$tool" dump "$work/wrong.mrvn" > /dev/null 2> "$work/err"; rc=$?
set -e
[ $rc -eq 2 ] && grep -q 'このファイルは読めません。' "$work/err" || { echo "wrong marker: rc $rc"; exit 1; }
# Truncated file.
head -c 700 "$work/empty.mrvn" > "$work/cut.mrvn"
set +e
"$tool" dump "$work/cut.mrvn" > /dev/null 2> "$work/err"; rc=$?
set -e
[ $rc -eq 2 ] && grep -q 'end marker: string of 23 characters runs past the end' "$work/err" || { echo "truncated: rc $rc"; cat "$work/err"; exit 1; }
# A malformed dump line.
printf '161\tx\n' > "$work/bad.txt"
set +e
"$tool" build "$work/bad.txt" "$work/bad.mrvn" 2> "$work/err"; rc=$?
set -e
[ $rc -eq 2 ] && grep -q 'line 1' "$work/err" || { echo "bad dump: rc $rc"; exit 1; }

# Saving flushes the new file before the rename and the folder after it.
if strace -o /dev/null true 2>/dev/null; then
  # LeakSanitizer cannot run under ptrace; the leak check runs in the other steps.
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -e trace=fsync,rename,renameat,renameat2 -o "$work/trace" \
    "$tool" build "$work/in.txt" "$work/a.mrvn"
  order=$(grep -oE '^[0-9]+ +(fsync|rename[a-z0-9]*)\(' "$work/trace" | grep -oE '[a-z0-9]+\($' | tr -d '(' | tr '\n' ' ')
  [[ "$order" =~ ^fsync\ rename[a-z0-9]*\ fsync\ $ ]] || { echo "save order: $order"; exit 1; }
else
  echo "strace cannot trace here: flush order not checked"
fi
echo ok
