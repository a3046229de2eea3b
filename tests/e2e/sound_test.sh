#!/bin/sh
# Installs into a temporary prefix and runs the installed game with sound
# under Xvfb, recording its mix through OpenAL Soft's file output.
set -u
build=$1
window_test=$2
prefix=$(mktemp -d /tmp/brimvale-sound-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null || { echo "FAIL: cmake --install"; exit 1; }
for f in bin/brimvale share/brimvale/sound/manifest.txt share/brimvale/sound/shot.wav; do
  [ -e "$prefix/$f" ] || { echo "FAIL: missing $f"; exit 1; }
done
echo "ok: the effects are installed beside the packs"
# The launcher's player set saves progress: into the test's own folder.
XDG_DATA_HOME=$prefix/xdg exec "$window_test" --tool "$prefix/bin/brimvale-tool" --sound "$prefix"
