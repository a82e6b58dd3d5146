#!/usr/bin/env bash
# Every C++ source is as clang-format (.clang-format) lays it out; prints the
# places that are not.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "$(git ls-files -- '*.cpp' '*.h' | wc -l) sources formatted"
