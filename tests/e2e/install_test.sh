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
for f in bin/brimvale "$tool_rel" libexec/brimvale/brimvale share/brimvale/data01.pak share/brimvale/data02.pak share/brimvale/data03.pak \
         share/brimvale/data.lvl share/brimvale/data.par share/applications/brimvale.desktop \
         share/metainfo/io.brimvale.brimvale.metainfo.xml share/icons/hicolor/48x48/apps/brimvale.png \
         share/icons/hicolor/128x128/apps/brimvale.png share/icons/hicolor/256x256/apps/brimvale.png \
         share/man/man6/brimvale.6.gz share/man/man1/brimvale-tool.1.gz share/doc/brimvale/copyright \
         share/doc/brimvale/changelog.gz; do
  if [ -e "$prefix/$f" ]; then echo "ok: installed $f"; else echo "FAIL: missing $f"; status=1; fi
done
# Each icon is as large as its folder says.
for size in 48 128 256; do
  if file "$prefix/share/icons/hicolor/${size}x${size}/apps/brimvale.png" | grep -q "$size x $size"; then
    echo "ok: the ${size}-pixel icon is ${size}x${size}"
  else
    echo "FAIL: the ${size}-pixel icon"; status=1
  fi
done
# The desktop entry, the AppStream metadata and the manual pages pass their
# validators without a warning.
check() {
  what=$1; shift
  if out=$("$@" 2>&1) && ! printf '%s' "$out" | grep -qi "warning"; then
    echo "ok: $what"
  else
    echo "FAIL: $what: $out"; status=1
  fi
}
check "desktop-file-validate" desktop-file-validate "$prefix/share/applications/brimvale.desktop"
if grep -qx "StartupWMClass=brimvale" "$prefix/share/applications/brimvale.desktop"; then
  echo "ok: the desktop entry names the window class brimvale"
else
  echo "FAIL: no StartupWMClass=brimvale in the desktop entry"; status=1
fi
check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/io.brimvale.brimvale.metainfo.xml"
check "mandoc -Tlint brimvale.6.gz" mandoc -Tlint "$prefix/share/man/man6/brimvale.6.gz"
check "mandoc -Tlint brimvale-tool.1.gz" mandoc -Tlint "$prefix/share/man/man1/brimvale-tool.1.gz"
# The installed tool finds the installed data by itself.
if "$prefix/$tool_rel" replay | grep -q '^levels [1-9]'; then
  echo "ok: the installed brimvale-tool replays the installed levels"
else
  echo "FAIL: the installed brimvale-tool cannot replay"; status=1
fi
# The launcher passes arguments through, and a relative level file means the
# caller's folder (a one-level file there: level 2 is refused after reading it).
work=$prefix/work
mkdir -p "$work"
head -c 256 "$prefix/share/brimvale/data.lvl" > "$work/one.lvl"
if [ "$("$prefix/bin/brimvale" --version)" = "brimvale 1.0" ]; then
  echo "ok: the launcher passes --version through"
else
  echo "FAIL: brimvale --version"; status=1
fi
out=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/xdg" "$prefix/bin/brimvale" one.lvl --level 2 2>&1)
rc=$?
if [ $rc -eq 2 ] && [ "$out" = "brimvale: --level 2: the level file holds 1 level" ]; then
  echo "ok: a relative level file is read from the caller's folder"
else
  echo "FAIL: relative level file: status $rc, '$out'"; status=1
fi
out=$("$prefix/bin/brimvale" --bogus 2>&1)
rc=$?
if [ $rc -eq 2 ] && [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ]; then
  echo "ok: an unknown option through the launcher: one line, status 2"
else
  echo "FAIL: unknown option: status $rc, '$out'"; status=1
fi
# Saved progress goes to the test's own folder, never the user's.
XDG_DATA_HOME=$work/xdg "$window_test" --tool "$prefix/$tool_rel" --installed "$prefix"
rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -ne 0 ] && status=1
exit $status
