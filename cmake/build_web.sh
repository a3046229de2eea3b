#!/bin/sh
# Builds the browser version: build_web.sh SOURCE_DIR DATA_DIR CMAKE_TREE SITE_DIR
# DATA_DIR is a native build's data folder (packs and levels, made by
# brimvale-tool); the page, brimvale.js and brimvale.wasm go to SITE_DIR.
set -e
if [ $# -ne 4 ]; then
  echo "usage: build_web.sh SOURCE_DIR DATA_DIR CMAKE_TREE SITE_DIR" >&2
  exit 2
fi
source_dir=$1 data_dir=$2 tree=$3 site=$4
if ! command -v emcmake > /dev/null; then
  echo "build_web.sh: emscripten is not installed (make web-deps installs it)" >&2
  exit 1
fi
# The machine's node may not be Debian's; emscripten's optimiser needs
# Debian's JavaScript modules (acorn).
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export NODE_PATH
mkdir -p "$tree"
emcmake cmake -S "$source_dir" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
  -DBRIMVALE_WEB_DATA="$data_dir" -DBRIMVALE_WEB_SITE="$site" > "$tree/configure.log" 2>&1 ||
  { cat "$tree/configure.log" >&2; exit 1; }
cmake --build "$tree" -j "${JOBS:-2}"
