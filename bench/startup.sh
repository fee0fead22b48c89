#!/usr/bin/env bash
# Start-up time and memory of the recorder against a bare Qt window.
#
#   bench/startup.sh [RUNS]        (default 7; STARTUP_BUILD=0 skips the build,
#                                   STARTUP_PROGRAM=PATH times another recorder build,
#                                   STARTUP_COMPARE=PATH times a second build in the same rounds)
#
# Builds (Release, in build-bench/) the recorder, a bare frameless 399 x 299 Qt
# window and window_wait, starts a private sound server and display
# (tests/e2e/rig.sh), and times in turn, RUNS rounds, the bare window, the
# recorder on an empty output folder and the recorder on a folder of 10,000
# small WAV files. The three alternate, each round in a rotated order, so the
# load of a shared machine hits all three alike. Time is from the exec until
# the window is mapped (an X MapNotify) and until its first picture is on the
# screen; memory is VmRSS one second after the map; the processor time the
# program's threads had used by the map is shown too, as it varies far less
# with the load. Prints the medians, their ratios and the machine's load
# before and after.
set -euo pipefail

runs=${1:-7}
src=$(cd "$(dirname "$0")/.." && pwd)
build=${STARTUP_BUILD_DIR:-$src/build-bench}

if [ "${STARTUP_BUILD:-1}" != 0 ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNOVOX_BENCH=ON -DTARNOVOX_TESTS=OFF >/dev/null
  cmake --build "$build" --target tarnovox lame_enc bare_window window_wait -j2 >/dev/null
fi
bin=$build/bin
program=${STARTUP_PROGRAM:-$bin/tarnovox}

work=$(mktemp -d /tmp/tarnovox-startup-XXXXXX)
chmod 755 "$work"  # the sound server may run as its own user
cleanup() {
  "$src/tests/e2e/rig.sh" stop "$work/rig" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
"$src/tests/e2e/rig.sh" start "$work/rig" >/dev/null
# shellcheck disable=SC1091
source "$work/rig/env"

mkdir -p "$work/empty" "$work/full"
/usr/bin/python3 - "$work/full" <<'PY'
import struct, sys
folder = sys.argv[1]
data = bytes(256)
header = (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
          struct.pack("<IHHIIHH", 16, 1, 2, 44100, 176400, 4, 16) + b"data" + struct.pack("<I", len(data)))
for i in range(10000):
    with open(f"{folder}/record{i + 1}.wav", "wb") as f:
        f.write(header + data)
PY

# The recorder keeps its settings beside itself when that folder is writable;
# each run starts from the same settings, only the output folder differs.
compare=${STARTUP_COMPARE:-}
for p in "$program" ${compare:+"$compare"}; do
  [ -e "$(dirname "$p")/tarnovox.INI" ] && cp "$(dirname "$p")/tarnovox.INI" "$work/$(echo "$p" | md5sum | cut -c1-8).ini"
done
restore_ini() {
  for p in "$program" ${compare:+"$compare"}; do
    local keep
    keep="$work/$(echo "$p" | md5sum | cut -c1-8).ini"
    if [ -e "$keep" ]; then cp "$keep" "$(dirname "$p")/tarnovox.INI"; else rm -f "$(dirname "$p")/tarnovox.INI"; fi
  done
}
trap 'restore_ini; cleanup' EXIT

run() {  # KIND -> "map paint rss cpu" appended to $work/KIND.times
  local kind=$1 out
  case $kind in
    bare) out=$("$bin/window_wait" 399 299 "$bin/bare_window" 2>"$work/bare.err") ;;
    empty | full | compare-empty | compare-full)
      local exe=$program
      [ "${kind#compare-}" != "$kind" ] && exe=$compare
      printf '[Folder]\nName=%s\n' "$work/${kind#compare-}" > "$(dirname "$exe")/tarnovox.INI"
      rm -f "$XDG_RUNTIME_DIR/tarnovox" "$XDG_RUNTIME_DIR/tarnovox.lock"
      out=$("$bin/window_wait" 399 299 "$exe" 2>/dev/null) ;;
  esac
  echo "$out" >> "$work/$kind.times"
  if [ "$kind" = bare ]; then
    # The bare window's own account of its first paint, on the same clock.
    awk '/paint-began-ms/ {print $2}' "$work/bare.err" >> "$work/bare.self"
  fi
}

median() {  # FILE COLUMN
  awk -v c="$2" '{print $c}' "$1" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

echo "load before: $(uptime)"
kinds=(bare empty full)
[ -n "$compare" ] && kinds+=(compare-empty compare-full)
for ((i = 0; i < runs; i++)); do
  for ((k = 0; k < ${#kinds[@]}; k++)); do run "${kinds[$(((i + k) % ${#kinds[@]}))]}"; done
done
echo "load after:  $(uptime)"

printf '%-28s %9s %9s %9s %9s\n' "median of $runs" "map ms" "paint ms" "RSS MB" "CPU ms"
for kind in "${kinds[@]}"; do
  case $kind in bare) label="bare Qt window" ;; empty) label="tarnovox, empty folder" ;;
    full) label="tarnovox, 10,000 recordings" ;; compare-empty) label="compared, empty folder" ;;
    compare-full) label="compared, 10,000 recordings" ;; esac
  printf '%-28s %9s %9s %9.1f %9s\n' "$label" "$(median "$work/$kind.times" 1)" "$(median "$work/$kind.times" 2)" \
    "$(awk '{print $1 / 1024}' <<<"$(median "$work/$kind.times" 3)")" "$(median "$work/$kind.times" 4)"
done
bare=$(median "$work/bare.times" 1)
empty=$(median "$work/empty.times" 1)
full=$(median "$work/full.times" 1)
awk -v b="$bare" -v e="$empty" -v f="$full" -v cb="$(median "$work/bare.times" 4)" -v ce="$(median "$work/empty.times" 4)" -v cf="$(median "$work/full.times" 4)" -v p="$(median "$work/bare.times" 2)" -v s="$(median "$work/bare.self" 1)" 'BEGIN {
  printf "map ratio: empty / bare %.2f (goal <= 1.5), 10,000 / bare %.2f; 10,000 - 1.5 x bare = %.1f ms (goal <= 20)\n",
    e / b, f / b, f - 1.5 * b
  printf "CPU-time ratio: empty / bare %.2f, 10,000 / bare %.2f\n", ce / cb, cf / cb
  printf "detection delay (bare window: seen painted - paint began): %.1f ms\n", p - s
}'
for kind in "${kinds[@]}"; do printf '%s runs (map paint rss_kb cpu):' "$kind"; tr '\n' ',' < "$work/$kind.times"; echo; done
