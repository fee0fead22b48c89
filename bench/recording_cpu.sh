#!/usr/bin/env bash
# Processor time of the recorder while it records, against parec capturing the
# same sound for the same time.
#
#   bench/recording_cpu.sh [SECONDS]   (default 30; RECORDING_CPU_BUILD=0 skips the build)
#
# Builds the recorder (Release, in build-bench/), starts a private sound server
# and display (tests/e2e/rig.sh) and plays noise into the sink. Then, one after
# the other for SECONDS each: parec writing the monitor's 44.1 kHz 16-bit
# stereo to a file; the recorder recording WAV (the same format) with its
# window shown; the same with the window minimized (no meters drawn); and the
# recorder recording MP3 at 128 kbit/s, FLAC (44.1 kHz 16-bit stereo) and Opus at
# 96 kbit/s. Prints the processor time (user +
# system, all threads) each used over its SECONDS, from /proc.
set -euo pipefail

seconds=${1:-30}
src=$(cd "$(dirname "$0")/.." && pwd)
build=${RECORDING_CPU_BUILD_DIR:-$src/build-bench}
if [ "${RECORDING_CPU_BUILD:-1}" != 0 ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNOVOX_BENCH=ON -DTARNOVOX_TESTS=OFF >/dev/null
  cmake --build "$build" --target tarnovox lame_enc -j2 >/dev/null
fi

work=$(mktemp -d /tmp/tarnovox-cpu-XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  "$src/tests/e2e/rig.sh" stop "$work/rig" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
"$src/tests/e2e/rig.sh" start "$work/rig" >/dev/null
# shellcheck disable=SC1091
source "$work/rig/env"
# A window manager, so the window can be minimized.
if command -v openbox >/dev/null; then openbox > /dev/null 2>&1 & pids+=($!); sleep 1; fi
cp "$build/bin/tarnovox" "$build/bin/liblame_enc.so" "$work/"
mkdir -p "$work/out"
sox -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth $((4 * seconds + 30)) whitenoise vol 0.3
paplay "$work/noise.wav" & pids+=($!)
sleep 1

ticks() {  # PID -> user + system clock ticks of all its threads
  awk '{print $14 + $15}' "/proc/$1/stat"
}
hz=$(getconf CLK_TCK)
report() {  # LABEL TICKS
  awk -v l="$1" -v t="$2" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%-36s %7.0f ms  (%.2f %% of one core)\n", l, t * 1000 / hz, t * 100 / hz / s }'
}

parec --raw --latency-msec=20 > "$work/parec.raw" & parec=$!
sleep 1
before=$(ticks "$parec"); sleep "$seconds"; after=$(ticks "$parec")
kill "$parec"
report "parec, 44.1 kHz 16-bit stereo" $((after - before))

record() {  # LABEL WAV(0/1) MINIMIZED(0/1) [FORMAT]
  printf '[Folder]\nName=%s\n[Record Settings]\nWav=%s\nMP3=%s\n' "$work/out" "$2" $((1 - $2)) > "$work/tarnovox.INI"
  if [ -n "${4:-}" ]; then printf 'Format=%s\n' "$4" >> "$work/tarnovox.INI"; fi
  rm -f "$work/out/"*
  "$work/tarnovox" > "$work/program.log" 2>&1 & local program=$!
  pids+=("$program")
  sleep 3
  if [ "$3" = 1 ]; then
    xdotool search --onlyvisible --name '^Tarnovox$' | head -n1 | xargs -r xdotool windowminimize
    sleep 1
  fi
  "$work/tarnovox" --record
  sleep 1
  local before after
  before=$(ticks "$program"); sleep "$seconds"; after=$(ticks "$program")
  "$work/tarnovox" --stop
  sleep 1
  kill "$program"; wait "$program" 2>/dev/null || true
  report "$1" $((after - before))
}
record "tarnovox recording WAV, window shown" 1 0
record "tarnovox recording WAV, minimized" 1 1
record "tarnovox recording MP3 128 kbit/s" 0 0
record "tarnovox recording FLAC, window shown" 1 0 FLAC
record "tarnovox recording Opus 96 kbit/s" 0 0 Opus
echo "load: $(uptime)"
