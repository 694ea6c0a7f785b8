#!/bin/sh
# Installs, with apt-get, whatever building and testing need on Debian 12 and is still missing:
# cmake and GoogleTest's sources, the mingw-w64 cross compiler, Wine, a virtual X display and
# the screenshot tool, iproute2 for the network namespaces of the remote scenarios, and clang
# with its sanitizer and libFuzzer runtimes, clang-format for the layout check, clang-tidy for
# the naming check, git and zip for the release script. Wine's fonts are named on their own: a
# Wine installed without its recommended packages lacks them, and the tests measure text drawn
# with them.
set -e
packages="cmake make g++ googletest g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          wine wine64 fonts-wine fonts-liberation xvfb imagemagick x11-utils iproute2 clang libclang-rt-14-dev clang-format clang-tidy
          git zip"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq $missing >/dev/null
fi
