#!/usr/bin/env bash
# Fails, naming each file, when a C++ file of the tree differs from what the project's
# .clang-format makes of it. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(find app bench engine tests ui -name '*.cpp' -print0 -o -name '*.h' -print0)
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} C++ files formatted as .clang-format says"
