#!/bin/sh
# Every name under src/ follows the naming style of .clang-tidy (clang-tidy's
# readability-identifier-naming), each file parsed as the Windows build sees it: the mingw-w64
# headers, UNICODE, C++20. Prints the findings; exits with 1 if any.
cd "$(dirname "$0")/.." || exit 2
gcc=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
flags="--target=x86_64-w64-mingw32 -std=c++20 -nostdinc++ -isystem $gcc
    -isystem $gcc/x86_64-w64-mingw32 -isystem /usr/x86_64-w64-mingw32/include -Isrc
    -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601"
findings=$(find src -name '*.cpp' | sort |
    xargs -P 2 -n 4 sh -c 'clang-tidy --quiet "$@" -- '"$(echo $flags)"' 2>&1' tidy |
    grep -E 'warning:|error:' | sort -u)
if [ -n "$findings" ]; then
    printf '%s\n' "$findings"
    exit 1
fi
echo "ok every name under src/ follows .clang-tidy"
