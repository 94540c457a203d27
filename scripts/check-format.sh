#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from .clang-format's layout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
