#!/bin/sh
# Builds the program from a clean clone of HEAD, packs dist/listsoftware-<version>-windows-x64.zip
# (listsoftware.exe, README.txt for Windows users, SHA256SUMS) and prints the exe's SHA-256.
# When build/windows/listsoftware.exe was built from the same commit with a clean working tree,
# the clean build must be byte-identical to it: otherwise the script fails ("not reproducible")
# and writes no zip. When there is nothing to compare with, it says so.
set -u
cd "$(dirname "$0")/.."
top=$(pwd)
scripts/setup.sh || exit 1

fail() {
    echo "release: $*" >&2
    exit 1
}

commit=$(git rev-parse --verify -q HEAD) || fail "no commit to build in $top"
[ -z "$(git --no-optional-locks status --porcelain)" ] ||
    echo "release: the working tree has changes; the release is HEAD ($commit) without them"

work=build/release
src=$work/source
rm -rf "$src" "$work/package"
mkdir -p "$work" dist
# A repository of its own holding HEAD and its history, HEAD fetched by name (so that a detached
# HEAD works too), checked out in a fresh folder: nothing of this tree's build or changes in it.
{ git init -q "$src" && git -C "$src" fetch -q "$top" HEAD &&
    git -C "$src" checkout -q --detach FETCH_HEAD; } || fail "cannot clone HEAD into $src"

version=$(sed -n 's/^project(listsoftware VERSION \([0-9][0-9.]*\)[ )].*/\1/p' \
    "$src/CMakeLists.txt")
[ -n "$version" ] || fail "no VERSION in CMakeLists.txt's project(listsoftware ...)"
# A run that fails leaves no zip of this version behind, not even an older one.
zip=dist/listsoftware-$version-windows-x64.zip
rm -f "$zip" "$zip.new"

echo "release: building $commit (version $version) in $src (log: $work/build.log)"
(cd "$src" && cmake --preset windows && cmake --build --preset windows --target listsoftware) \
    >"$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log"
    fail "the clean build failed (log: $work/build.log)"
}
built=$src/build/windows/listsoftware.exe
grep -qx 'tree clean' "$built.source" || fail "the clean clone does not look clean: $built.source"

# Which exe to compare with: the build writes, beside the exe, the commit it was built from, the
# state of the working tree (clean, or any change including untracked files) and the build type,
# after each link and after each full build, and removes it before linking, so a failed link
# leaves none (cmake/windows.cmake, tools/source-stamp.sh). The clean build wrote its own record
# the same way, so equal records mean: same commit, clean tree, same build type. File times are
# no help here: a checkout or an edit moves them without a build, and a commit that changes
# nothing the exe is built from leaves the exe older than the commit.
local_exe=build/windows/listsoftware.exe
if [ ! -f "$local_exe" ]; then
    compared="not compared: there is no $local_exe to compare the clean build with"
elif [ ! -f "$local_exe.source" ]; then
    compared="not compared: $local_exe has no record of what it was built from ($local_exe.source)"
elif ! cmp -s "$local_exe.source" "$built.source"; then
    record=$(tr '\n' ' ' <"$local_exe.source" | sed 's/ $//')
    compared="not compared: $local_exe was not built from HEAD with a clean tree ($record)"
elif cmp -s "$local_exe" "$built"; then
    compared="reproducible: the clean build of $commit is byte-identical to $local_exe"
else
    echo "release: $(cmp "$local_exe" "$built" 2>&1 | head -n 1)" >&2
    fail "not reproducible: $local_exe and the clean build of $commit ($built) differ" \
        "($(cmp -l "$local_exe" "$built" 2>/dev/null | wc -l) byte(s) differ;" \
        "sizes $(wc -c <"$local_exe") and $(wc -c <"$built"))"
fi

# The package: fixed names, modes and times (the commit's) in a fixed order, no extra attributes,
# so that one commit gives one zip.
package=$work/package
mkdir -p "$package"
cp "$built" "$package/listsoftware.exe"
# README.txt: README.md's part for Windows users, as plain text (no blank lines at its ends, no
# code marks) with Windows line ends.
part=$(awk '/^## / { on = ($0 == "## Use on Windows"); next } on' "$src/README.md" | sed 's/`//g' |
    awk 'NF { if (out && blank) print ""; print; out = 1; blank = 0; next } { blank = 1 }')
[ -n "$part" ] || fail "README.md has no \"## Use on Windows\" part for README.txt"
printf 'listsoftware %s: lists the software installed on this or another computer\n\n%s\n' \
    "$version" "$part" | awk '{ printf "%s\r\n", $0 }' >"$package/README.txt"
(cd "$package" && sha256sum listsoftware.exe README.txt >SHA256SUMS) || fail "sha256sum failed"
stamp=$(git -C "$src" log -1 --format=%ct)
chmod 644 "$package"/*
TZ=UTC0 touch -d "@$stamp" "$package"/*
(cd "$package" && TZ=UTC0 zip -q -X -D "$top/$zip.new" README.txt SHA256SUMS listsoftware.exe) &&
    mv -f "$zip.new" "$zip" || fail "cannot write $zip"

echo "release: $compared"
echo "release: $zip"
echo "release: SHA-256 of listsoftware.exe: $(sha256sum <"$built" | cut -d' ' -f1)"
