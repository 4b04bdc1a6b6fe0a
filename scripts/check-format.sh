#!/usr/bin/env bash
# Lists C++ files that clang-format would change; exits 1 when there are any.
cd "$(dirname "$0")/.."
bad=0
while IFS= read -r f; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then echo "$f"; bad=1; fi
done < <(git ls-files '*.cpp' '*.h')
exit $bad
