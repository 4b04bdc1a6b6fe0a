#!/usr/bin/env bash
# Fuzzes the settings data file loader for a bounded time (FUZZ_SECONDS,
# default 60) in a small clang build of its own: libFuzzer with ASan+UBSan.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
out=build-fuzz-settings
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc tests/settings/fuzz/SettingsLoaderFuzz.cpp src/settings/DataFile.cpp src/settings/TextCodec.cpp \
  src/common/Utf8.cpp -o "$out/settings-loader-fuzz"

# Seeds: an empty settings file and one with long, Japanese and untagged strings.
python3 - "$out/corpus" <<'PY'
import struct, sys
def s(text):
    u = text.encode('utf-16-le'); n = len(u) // 2
    if n < 255: head = bytes([n])
    elif n < 0xFFFE: head = b'\xff' + struct.pack('<H', n)
    else: head = b'\xff\xff\xff' + struct.pack('<I', n)
    return b'\xff\xfe\xff' + head + u
start, end = '<<## MRVN2-7-1 data ##>>', '<<## MRVN2-7-1 end ##>>'
empty = s(start) + s('') * 160 + s(end)
rich = s(start) + s('x' * 300) + s('あいう\U0001F600') + bytes([2]) + b'\x82\xa0' + s('') * 157 + s(end)
open(sys.argv[1] + '/empty.mrvn', 'wb').write(empty)
open(sys.argv[1] + '/rich.mrvn', 'wb').write(rich)
PY

"$out/settings-loader-fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=1024 -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 15
