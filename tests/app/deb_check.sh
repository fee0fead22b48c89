#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks its control data,
# contents and lintian's verdict, then unpacks it into a scratch root and
# records 2 s of a tone to MP3 with the unpacked program on the private sound
# server and display.
# usage: deb_check.sh <build dir>      exit 77 = skipped (no rig or no tools)
set -u
build=$1
[ -n "${PULSE_SERVER:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "skipped: needs the private sound server and display"; exit 77; }
command -v cpack >/dev/null && command -v dpkg-shlibdeps >/dev/null || { echo "skipped: needs cpack and dpkg-dev"; exit 77; }
work=$(mktemp -d /tmp/tarnovox-deb.XXXXXX)
program=
cleanup() { [ -n "$program" ] && kill "$program" 2>/dev/null; [ -n "${player:-}" ] && kill "$player" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
deb=$(ls "$work"/pkg/tarnovox_*_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { fail "no tarnovox_<version>_<arch>.deb"; exit 1; }
echo "package: $(basename "$deb")"
dpkg-deb -I "$deb" > "$work/info"
dpkg-deb -c "$deb" > "$work/contents"
depends=$(sed -n 's/^ Depends: //p' "$work/info")
echo "Depends: $depends"
for lib in libqt6widgets6 libpulse0 libmp3lame0 libavformat libavcodec libswresample; do
  grep -q "$lib" <<< "$depends" || fail "Depends lacks $lib"
done
for f in ./usr/bin/tarnovox ./usr/lib/tarnovox/liblame_enc.so ./usr/share/tarnovox/tarnovox.html \
         ./usr/share/applications/tarnovox.desktop ./usr/share/icons/hicolor/256x256/apps/tarnovox.png \
         ./usr/share/metainfo/io.github.tarnovox.Tarnovox.metainfo.xml ./usr/share/doc/tarnovox/copyright \
         ./usr/share/doc/tarnovox/changelog.gz; do
  grep -q " $f\$" "$work/contents" || fail "not in the package: $f"
done
if command -v lintian >/dev/null; then
  lintian --no-tag-display-limit "$deb" > "$work/lintian" 2>&1
  echo "lintian: $(grep -c '^E:' "$work/lintian") errors, $(grep -c '^W:' "$work/lintian") warnings"
  sed 's/^/  /' "$work/lintian"
  ! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"
fi

# The unpacked program, with its settings beside it and an output folder of its own.
# The stop is a second start of the (sanitized, slower) program, so the take runs
# 2 s plus that start.
root="$work/root"
dpkg -x "$deb" "$root"
mkdir -p "$work/out"
printf '[Folder]\nName=%s\n[Record Settings]\nWav=0\nMP3=1\n' "$work/out" > "$root/usr/bin/tarnovox.INI"
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 30 sine 1000 vol 0.5
paplay "$work/tone.wav" & player=$!
sleep 0.5
"$root/usr/bin/tarnovox" --record > "$work/program.log" 2>&1 & program=$!
for _ in $(seq 100); do [ -e "$work/out/record1.mp3" ] && break; sleep 0.1; done
sleep 2
timeout 10 "$root/usr/bin/tarnovox" --stop || fail "tarnovox --stop exited $?"
sleep 1
kill "$program" 2>/dev/null; wait "$program" 2>/dev/null; program=
probe=$(ffprobe -v error -show_entries stream=codec_name,sample_rate,channels:format=duration -of csv=p=0 \
          "$work/out/record1.mp3" 2>&1 | tr '\n' ' ')
echo "unpacked program's recording: $probe"
read -r stream duration <<< "$probe"
[ "$stream" = "mp3,44100,2" ] || fail "recording is '$stream'"
awk -v d="$duration" 'BEGIN { exit !(d >= 1.5 && d <= 4.5) }' || fail "recording lasts $duration s, expected about 2"
[ "$failures" -eq 0 ] && echo "package: OK"
exit $((failures > 0))
