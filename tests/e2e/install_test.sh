#!/bin/sh
# Installs into a temporary prefix, checks the layout, and starts the
# installed game in a real window.
set -u
build=$1
window_test=$2
tool_rel=bin/brimvale-tool
prefix=$(mktemp -d /tmp/brimvale-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null || { echo "FAIL: cmake --install"; exit 1; }
status=0
for f in bin/brimvale "$tool_rel" libexec/brimvale/brimvale share/brimvale/data01.pak share/brimvale/data02.pak \
         share/brimvale/data.lvl share/applications/brimvale.desktop share/icons/hicolor/48x48/apps/brimvale.png \
         share/man/man6/brimvale.6 share/man/man1/brimvale-tool.1; do
  if [ -e "$prefix/$f" ]; then echo "ok: installed $f"; else echo "FAIL: missing $f"; status=1; fi
done
# The installed tool finds the installed data by itself.
if "$prefix/$tool_rel" replay | grep -q '^levels [1-9]'; then
  echo "ok: the installed brimvale-tool replays the installed levels"
else
  echo "FAIL: the installed brimvale-tool cannot replay"; status=1
fi
"$window_test" --tool "$prefix/$tool_rel" --installed "$prefix"
rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -ne 0 ] && status=1
exit $status
