#!/usr/bin/env bash
# Cross-compiles the Windows logger-window code with MinGW-w64, so that the
# file built only on Windows keeps compiling without a Windows machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -z "$cxx" ]; then
  echo "mingw-logger: x86_64-w64-mingw32-g++ not found (package mingw-w64)" >&2
  exit 1
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$cxx" -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Werror -Isrc \
  -c src/platform/logger/Win32LoggerWindows.cpp -o "$out/Win32LoggerWindows.o"
echo "mingw-logger: Win32LoggerWindows.cpp compiles" >&2
