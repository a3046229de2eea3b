#!/bin/sh
# Remakes the README's pictures with the headless replay:
#   sh docs/images/make-images.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
tool=$build/brimvale-tool
data=$build/data
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$tool" levels build "$here/showcase.txt" -o "$tmp/showcase.lvl" > /dev/null
replay() { out=$1; shift; "$tool" replay --data "$data" --png "$here/$out" "$@" > /dev/null; }
replay title.png
replay levels.png Space Right Down
replay board.png --start 73
replay cells.png --levels "$tmp/showcase.lvl" --start 0 Right Space
replay won.png --levels "$tmp/showcase.lvl" --start 1 Up Up
replay lost.png --levels "$tmp/showcase.lvl" --start 2 Up
echo "pictures written to $here"
