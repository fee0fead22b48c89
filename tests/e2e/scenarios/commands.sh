#!/usr/bin/env bash
# --record, --pause, --pause, --stop as separate starts against the running
# recorder, 3 s, 2 s and 3 s apart. A start returns once the recorder has
# queued its command, so the lengths are checked against the times the starts
# returned: a busy machine may stretch the schedule. Then --record with no
# recorder running starts one that records.
source "$(dirname "$0")/../scenario_lib.sh"

write_ini 1
start_program
play_signal 30
origin=$(date +%s.%N)
returned=()
at() {  # SECONDS COMMAND: runs the command that many seconds after origin
  sleep "$(awk -v o="$origin" -v t="$1" -v n="$(date +%s.%N)" 'BEGIN { d = o + t - n; print (d > 0 ? d : 0) }')"
  # Without the leak check at exit, the return follows the hand-over closely
  # (the second-start scenario runs a start with it).
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" timeout 10 "$work/tarnovox" "$2" || fail "tarnovox $2 exited $?"
  returned+=("$(date +%s.%N)")
}
at 0 --record
at 3 --pause
at 5 --pause
import -window root "$artifacts/commands-recording.png"
at 8 --stop
sleep 1
two_stretches_as_sent commands 0.3 "${returned[@]}"

kill "$program"; wait "$program" 2>/dev/null || true
start_program --record
sleep 2
timeout 10 "$work/tarnovox" --stop || fail "tarnovox --stop exited $?"
sleep 1
parts=$(stretches "$work/out/record2.wav") || fail "record2.wav differs from the played signal"
echo "record2.wav: frames, played offset: $parts"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record2.wav is not one stretch of the signal"
passed
