#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs each
# one for SECONDS_PER_TARGET (default 25) from the seed files of
# fuzz/make_corpus.py plus whatever earlier runs found (build-fuzz/corpus/).
# A crash, leak, hang or failed check stops that target, keeps its input in
# build-fuzz/artifacts/<target>/ and makes the script fail.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-25}
shift $(( $# > 0 ? 1 : 0 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(wave_info wav_source mp3_description id3v1 settings date_time_text media_decoder label_file)

# Compiles go through ccache when it is installed (the top CMakeLists.txt).
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNOVOX_FUZZ=ON \
  -DTARNOVOX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/%/_fuzz}"

seeds=$build/seeds
rm -rf "$seeds"
python3 "$root/fuzz/make_corpus.py" "$seeds"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts" "$seeds/$target"
  log=$build/$target.log
  kept=()
  [ -d "$root/fuzz/regressions/$target" ] && kept=("$root/fuzz/regressions/$target")
  # Each input is written to a file and read back; a second per input is
  # already far too long, so a hang shows within the run.
  if "$build/bin/${target}_fuzz" "$corpus" "$seeds/$target" "${kept[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  stats=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/ +/ /g' || true)
  echo "$target: $result: $stats (log $log)"
  [ "$result" = ok ] || grep -E 'ERROR|fuzz check failed|SUMMARY|Test unit written' "$log" | head -5 || true
done
exit $status
