#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what the project's .clang-format makes of it, and
# names the files. `cmake --build BUILD --target format` (or clang-format -i FILE) mends them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/testdata/')
status=0
for f in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "format: $f differs from .clang-format (clang-format -i $f)" >&2
        status=1
    fi
done
if ((status == 0)); then
    echo "format: ok (${#files[@]} files)"
fi
exit "$status"
