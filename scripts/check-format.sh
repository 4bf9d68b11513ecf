#!/usr/bin/env bash
# Fails on any .cpp or .h of the tree that clang-format would change; `make format` formats
# them all.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(git -c safe.directory="$PWD" ls-files -z '*.cpp' '*.h')
((${#files[@]} > 0)) || { echo "FAIL: git lists no source files here"; exit 1; }
clang-format --dry-run --Werror "${files[@]}"
