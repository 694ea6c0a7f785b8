#!/bin/sh
# Writes what a build was made from to FILE: the commit checked out in SOURCE_DIR, whether the
# working tree held changes to it (modified, staged or untracked files: the build globs src/),
# and the build type. The build writes it beside the program after each link and after each full
# build; scripts/release.sh compares a clean clone's build with that program only when the two
# records are equal.
#   source-stamp.sh SOURCE_DIR BUILD_TYPE FILE
src=$1
type=$2
out=$3
# No optional locks: a build must not take the index lock from a git command running beside it.
commit=$(git --no-optional-locks -C "$src" rev-parse --verify -q HEAD 2>/dev/null) || commit=unknown
if [ "$commit" = unknown ]; then
    tree=unknown
elif changes=$(git --no-optional-locks -C "$src" status --porcelain 2>/dev/null); then
    if [ -z "$changes" ]; then tree=clean; else tree=modified; fi
else
    tree=unknown
fi
printf 'commit %s\ntree %s\nbuild type %s\n' "$commit" "$tree" "$type" >"$out.new" &&
    mv -f "$out.new" "$out"
