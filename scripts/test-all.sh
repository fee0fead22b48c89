#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: first the unit and component
# ones, in parallel; then, on a private sound server and display it starts, the
# end-to-end ones one at a time (they share the sound server's one sink); then
# those labelled "pipewire" again on PipeWire (PIPEWIRE=0 skips that); then
# every fuzz target for FUZZ_SECONDS each (25: under 3 minutes in all); and last
# the capture, playback and live MP3 take tests again, built with ThreadSanitizer (TSAN=0
# leaves that pass out).
# Each stage prints its wall time as it ends, and the run ends with a table of
# the stages: time, tests passed, failed and skipped, and the failed ones'
# names. The exit status is non-zero if any stage failed.
set -euo pipefail
# shellcheck source=scripts/test-lib.sh
source "$(dirname "$0")/test-lib.sh"

rig=$(mktemp -d /tmp/tarnovox-rig.XXXXXX)
pwrig=$(mktemp -d /tmp/tarnovox-pwrig.XXXXXX)
results=$(mktemp -d /tmp/tarnovox-results.XXXXXX)
cleanup() {
  "$root/tests/e2e/rig.sh" stop "$rig" || true
  "$root/tests/e2e/rig.sh" stop "$pwrig" || true
  rm -rf "$rig" "$pwrig" "$results"
}
trap cleanup EXIT

# ---- The stages. Each runs in a subshell of its own and gets a prefix for
# what it leaves for the summary: PREFIX.xml (JUnit), PREFIX.failed (names of
# failures no JUnit file records); its output is kept in PREFIX.log.

install_deps() { "$root/scripts/install-deps.sh"; }

unit_and_component() {
  ctest --test-dir "$build" --output-on-failure -L '^(unit|component)$' -j"$(nproc)" --output-junit "$1.xml"
}

# The rig's servers outlive the stage that starts them, so they must not hold
# its output open: what rig.sh says goes to a file.
start_rig() {  # DIR PREFIX NAME
  "$root/tests/e2e/rig.sh" start "$1" > "$2.rig.log" 2>&1 ||
    { cat "$2.rig.log"; echo "the $3 rig did not start" > "$2.failed"; return 1; }
}

e2e_on_pulseaudio() {
  start_rig "$rig" "$1" PulseAudio
  # shellcheck disable=SC1091
  source "$rig/env"
  ctest --test-dir "$build" --output-on-failure -L '^e2e$' --output-junit "$1.xml"
}

# Most desktops run PipeWire: the tests where the server's own behaviour
# matters run again on a PipeWire rig beside the PulseAudio one (3 to 5
# minutes). PipeWire 0.3.65 on a loaded machine now and then turns one quantum
# into silence at the sink itself: a test that fails runs once more, and fails
# the stage only if it fails again.
e2e_on_pipewire() {
  RIG_SERVER=pipewire start_rig "$pwrig" "$1" PipeWire
  # shellcheck disable=SC1091
  source "$pwrig/env"
  local status=0
  ctest --test-dir "$build" --output-on-failure -L '^pipewire$' --repeat until-pass:2 --output-junit "$1.xml" ||
    status=1
  "$root/tests/e2e/rig.sh" stop "$pwrig" || true
  return $status
}

fuzz() { "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-25}"; }

tsan=${TSAN_BUILD_DIR:-$root/build-tsan}
tsan_build() {
  cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNOVOX_TSAN=ON -DTARNOVOX_TESTS=ON
  cmake --build "$tsan" -j"$(nproc)" --target capture_e2e_tests playback_e2e_tests recorder_e2e_tests
}

# A report ends a program at once (halt_on_error), before it writes its JUnit
# file: such a program is named in PREFIX.failed.
tsan_tests() {
  [ -e "$rig/env" ] || { echo "no PulseAudio rig" > "$1.failed"; return 1; }
  # shellcheck disable=SC1091
  source "$rig/env"
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp
  local status=0 program code
  for program in capture_e2e_tests playback_e2e_tests recorder_e2e_tests; do
    code=0
    "$tsan/bin/$program" --gtest_output="xml:$1.$program.xml" || code=$?
    if [ $code != 0 ]; then
      status=1
      [ -e "$1.$program.xml" ] || echo "$program (exit $code)" >> "$1.failed"
    fi
  done
  return $status
}

# ---- Running them, and the summary.

names=() times=() outcomes=()
status=0
# stage NAME FUNCTION: runs it and prints its wall time; its outcome, ok or
# FAILED, is the last of $outcomes. (Not called where a failure is tested: set
# -e would then be off inside the stage too.)
stage() {
  local n=${#names[@]} started rc
  started=$(date +%s)
  echo "==== $1"
  set +e
  (set -euo pipefail; "$2" "$results/$n") 2>&1 | tee "$results/$n.log"
  rc=${PIPESTATUS[0]}
  set -e
  names+=("$1") times+=($(($(date +%s) - started)))
  if [ "$rc" = 0 ]; then outcomes+=(ok); else outcomes+=(FAILED); status=1; fi
  echo "==== $1: ${outcomes[-1]} after $(minutes "${times[-1]}")"
}
skipped_stage() { names+=("$1") times+=(0) outcomes+=("not run: $2"); }
minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

summary() {
  local i counts passed failed skipped total=0 retried
  echo
  echo "==== Summary"
  printf '%-26s %8s %7s %7s %7s  %s\n' stage time passed failed skipped outcome
  for i in "${!names[@]}"; do
    total=$((total + times[i]))
    mapfile -t counts < <(python3 "$root/scripts/test-counts.py" "$results/$i")
    read -r passed failed skipped <<< "${counts[0]}"
    if [ -e "$results/$i.xml" ] || [ "$passed$failed$skipped" != 000 ]; then
      printf '%-26s %8s %7s %7s %7s  %s\n' "${names[i]}" "$(minutes "${times[i]}")" "$passed" "$failed" "$skipped" \
        "${outcomes[i]}"
    else
      printf '%-26s %8s %7s %7s %7s  %s\n' "${names[i]}" "$(minutes "${times[i]}")" - - - "${outcomes[i]}"
    fi
    [ "${#counts[@]}" -le 1 ] || printf '    failed: %s\n' "${counts[@]:1}"
    if [ "${names[i]}" = "e2e on PipeWire" ]; then
      retried=$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$results/$i.log" | sort -u |
                grep -vxF -f <(printf '%s\n' "${counts[@]:1}") || true)
      [ -z "$retried" ] || printf '    passed on the second try: %s\n' $retried
    fi
  done
  printf '%-26s %8s\n' total "$(minutes "$total")"
}

stage install install_deps
if [ "${outcomes[-1]}" = ok ]; then stage build build_tests; fi
if [ "${outcomes[-1]}" != ok ]; then summary; exit 1; fi
stage "unit + component" unit_and_component
stage "e2e on PulseAudio" e2e_on_pulseaudio
if [ "${PIPEWIRE:-1}" = 1 ]; then stage "e2e on PipeWire" e2e_on_pipewire; fi
stage "fuzz ${FUZZ_SECONDS:-25} s per target" fuzz
if [ "${TSAN:-1}" = 1 ]; then
  stage "ThreadSanitizer build" tsan_build
  if [ "${outcomes[-1]}" = ok ]; then
    stage "ThreadSanitizer tests" tsan_tests
  else
    skipped_stage "ThreadSanitizer tests" "no build"
  fi
fi
summary
exit $status
