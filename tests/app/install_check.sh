#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the installed layout:
# program, encoder library reachable through the program's RUNPATH, help,
# desktop entry, icon, metainfo, and the skin pictures with their sizes.
# usage: install_check.sh <build dir> <source dir> <libdir>
set -u
build=$1 source=$2 libdir=$3
prefix=$(mktemp -d /tmp/tarnovox-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"

for f in bin/tarnovox "$libdir/tarnovox/liblame_enc.so" share/tarnovox/tarnovox.html \
         share/applications/tarnovox.desktop share/icons/hicolor/256x256/apps/tarnovox.png \
         share/metainfo/io.github.tarnovox.Tarnovox.metainfo.xml; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done

# The program loads the encoder by bare name, so its RUNPATH must name the
# folder the library was installed to.
runpath=$(readelf -d "$prefix/bin/tarnovox" 2>/dev/null | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
case ":$runpath:" in
  *":\$ORIGIN/../$libdir/tarnovox:"*) ;;
  *) fail "RUNPATH '$runpath' does not lead to $libdir/tarnovox" ;;
esac

cmp -s "$source/help/tarnovox.html" "$build/bin/tarnovox.html" || fail "help not copied beside the build's program"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tarnovox.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate missing: desktop entry not validated"
fi
# Panels offer Record and Stop on the icon's menu; they reach a running recorder.
for action in "Record:tarnovox --record" "Stop:tarnovox --stop"; do
  sed -n "/^\[Desktop Action ${action%%:*}\]/,/^\[/p" "$prefix/share/applications/tarnovox.desktop" |
    grep -qxF "Exec=${action#*:}" || fail "desktop entry lacks the action ${action%%:*} ($action)"
done
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/io.github.tarnovox.Tarnovox.metainfo.xml" >/dev/null \
    || fail "appstreamcli validate"
else
  echo "appstreamcli missing: metainfo not validated"
fi

# Width and height of a GIF (logical screen, little endian) or a PNG (IHDR, big endian).
gif_size() { od -An -tu2 -j6 -N4 --endian=little "$1" | awk '{print $1 "x" $2}'; }
png_size() { od -An -tu4 -j16 -N8 --endian=big "$1" | awk '{print $1 "x" $2}'; }

[ "$(png_size "$prefix/share/icons/hicolor/256x256/apps/tarnovox.png")" = 256x256 ] || fail "icon is not 256 x 256"

qrc="$source/ui/skin.qrc"
expect() {  # name size
  local file="$source/ui/skin/$1.gif"
  grep -q "alias=\"$1.gif\">skin/$1.gif<" "$qrc" || fail "$1.gif not in skin.qrc"
  [ -f "$file" ] || { fail "missing $file"; return; }
  [ "$(gif_size "$file")" = "$2" ] || fail "$1.gif is $(gif_size "$file"), expected $2"
}
expect Background 400x300
for name in Folder Setting Help Info Min Close; do
  expect "Image${name}1" 19x19; expect "Image${name}2" 19x19
done
for name in Control Record Pause Stop Play Show Hide Tag Save; do
  expect "Image${name}1" 27x27; expect "Image${name}2" 27x27
done

[ "$failures" -eq 0 ] && echo "install layout, help, desktop entry, metainfo and skin: OK"
exit $((failures > 0))
