#!/usr/bin/env bash
# Builds TorvaneRegTool.exe twice from a clean state, each time from its own copy
# of the sources in folders of different names and depths, and checks that the
# two exes are the same byte for byte: anyone who builds a release's commit must
# be able to check the published exe against their own.
# Usage: tests/release/reproducible_build.sh [WORK_FOLDER]   (default build/reproducible)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-$root/build/reproducible}
fail() {
  echo "FAIL: reproducible build: $*"
  exit 1
}

# Copies the working tree as git sees it (committed or not, ignored files left
# out) to $1 and builds the exe in $1/$2.
build_copy() {
  local src=$1 out=$1/$2
  mkdir -p "$src" || fail "cannot create $src"
  git -C "$root" ls-files -co --exclude-standard -z |
    while IFS= read -r -d '' file; do [ -e "$root/$file" ] && printf '%s\0' "$file"; done |
    tar -C "$root" --null -T - -cf - | tar -C "$src" -xf - || fail "cannot copy the sources to $src"
  cmake -S "$src" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null &&
    cmake --build "$out" -j2 --target TorvaneRegTool >/dev/null || fail "the build in $out failed"
}

rm -rf "$work"
first=$work/a
second=$work/second-checkout/of/torvane
build_copy "$first" build
build_copy "$second" out/release
if differences=$(cmp -l "$first/build/TorvaneRegTool.exe" "$second/out/release/TorvaneRegTool.exe"); then
  echo "PASS: reproducible build: two clean builds in different folders give the same TorvaneRegTool.exe"
  rm -rf "$work"
else
  echo "$differences" | head -n 10
  fail "the two builds' TorvaneRegTool.exe differ in $(wc -l <<<"$differences") bytes" \
    "(offset, octal bytes above; builds kept in $work)"
fi
