#!/bin/sh
# Every C++ file under src/, tests/ and bench/ is laid out as the committed .clang-format says.
# Prints clang-format's findings; exits with 1 if any.
cd "$(dirname "$0")/.." || exit 2
find src tests bench -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror
