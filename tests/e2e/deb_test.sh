#!/bin/sh
# Builds the Debian package from the build tree as `make deb` does, has
# lintian check it, reads its fields and files, unpacks it with dpkg-deb -x
# and plays from the unpacked files.
set -u
build=$1
work=$(mktemp -d /tmp/brimvale-deb-XXXXXX)
trap 'rm -rf "$work"' EXIT
status=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; status=1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v $tool > /dev/null || { echo "FAIL: $tool is not installed (make deps installs it)"; exit 1; }
done

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
debs=$(ls "$work/out"/*.deb 2>/dev/null)
[ "$(printf '%s\n' "$debs" | grep -c .)" -eq 1 ] || { echo "FAIL: cpack made '$debs'"; exit 1; }
deb=$debs
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
if [ "$(basename "$deb")" = "brimvale_${version}_${arch}.deb" ]; then ok "made $(basename "$deb")"; else bad "named $(basename "$deb")"; fi

# Lintian: no error, no warning (an override in the package says why).
out=$(lintian "$deb" 2>&1)
printf '%s\n' "$out" | sed 's/^/lintian: /'
if printf '%s\n' "$out" | grep -Eq '^(E|W):'; then bad "lintian reports errors or warnings"; else ok "lintian: no E: and no W:"; fi

# The control fields: Depends from the programs' shared libraries.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brimvale ] && [ "$(field Section)" = games ] && [ "$(field Architecture)" = "$arch" ] &&
  ok "Package brimvale, Section games, Architecture $arch" || bad "fields: $(dpkg-deb -f "$deb")"
depends=$(field Depends)
case "$depends" in
  *libc6*libglfw3*libopenal1*) ok "Depends: $depends" ;;
  *) bad "Depends lacks the shared libraries: '$depends'" ;;
esac

# The files, all root's.
list=$(dpkg-deb -c "$deb")
for f in usr/bin/brimvale usr/bin/brimvale-tool usr/libexec/brimvale/brimvale usr/share/brimvale/data01.pak \
         usr/share/brimvale/data02.pak usr/share/brimvale/data03.pak usr/share/brimvale/data.lvl usr/share/brimvale/data.par \
         usr/share/brimvale/sound/move.wav usr/share/applications/brimvale.desktop \
         usr/share/metainfo/io.brimvale.brimvale.metainfo.xml usr/share/icons/hicolor/48x48/apps/brimvale.png \
         usr/share/icons/hicolor/128x128/apps/brimvale.png usr/share/icons/hicolor/256x256/apps/brimvale.png \
         usr/share/man/man6/brimvale.6.gz usr/share/man/man1/brimvale-tool.1.gz \
         usr/share/doc/brimvale/copyright usr/share/doc/brimvale/changelog.gz; do
  if printf '%s\n' "$list" | grep -q " \./$f\$"; then ok "packed $f"; else bad "not packed: $f"; fi
done
others=$(printf '%s\n' "$list" | awk '$2 != "root/root"' | wc -l)
[ "$others" -eq 0 ] && ok "every file is root's" || bad "$others files not owned by root"

# Unpacked: the game, the launcher and the tool run from the package's files.
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
for z in usr/share/man/man6/brimvale.6.gz usr/share/man/man1/brimvale-tool.1.gz usr/share/doc/brimvale/changelog.gz; do
  gzip -t "$root/$z" && ok "$z is whole" || bad "$z is corrupt"
done
for program in usr/libexec/brimvale/brimvale usr/bin/brimvale; do
  got=$("$root/$program" --version 2>&1)
  [ "$got" = "brimvale $version" ] && ok "$program --version: $got" || bad "$program --version: '$got'"
done
# The first level played to a win: a turn and seven moves right, a turn
# and four down, a turn and six left, and a drive at the goal.
moves="right right right right right right right right down down down down down"
moves="$moves left left left left left left left left"
report=$("$root/usr/bin/brimvale-tool" replay --data "$root/usr/share/brimvale" --start 0 $moves 2>&1)
if printf '%s\n' "$report" | grep -qx "outcome Won" && printf '%s\n' "$report" | grep -q '^levels [1-9]'; then
  ok "the unpacked tool wins the first level with the unpacked data"
else
  bad "the unpacked tool's replay: $(printf '%s\n' "$report" | head -8 | tr '\n' ' ')"
fi
if desktop-file-validate "$root/usr/share/applications/brimvale.desktop" &&
   grep -qx "StartupWMClass=brimvale" "$root/usr/share/applications/brimvale.desktop"; then
  ok "the packed desktop entry is valid and names the window class"
else
  bad "the packed desktop entry"
fi
exit $status
