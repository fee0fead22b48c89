#!/usr/bin/env bash
# --record --for 5s against the running recorder gives a take of 5 s of the
# played signal; a malformed duration or time exits 2 with a message and
# records nothing; --record --at the next whole minute (at least 10 s ahead)
# with --for 3s shows "Recording at HH:MM" and starts within a second of it.
source "$(dirname "$0")/../scenario_lib.sh"

write_ini 1
start_program
python3 "$tools/write_noise_wav.py" "$work/signal.wav" 120
# The sink plays the signal's first frame some time after this (paplay's start
# and latency; near a second on a busy machine). The take that --for starts at
# once, as the start returns, measures that lag for the --at take.
played_at=$(date +%s.%N)
paplay "$work/signal.wav" & pids+=($!)
sleep 0.5
command() { ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" timeout 10 "$work/tarnovox" "$@"; }

command --record --for 5s || fail "tarnovox --record --for 5s exited $?"
returned=$(date +%s.%N)
sleep 7
parts=$(stretches "$work/out/record1.wav") || fail "record1.wav differs from the played signal"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record1.wav is not one stretch of the signal: $parts"
seconds=$(awk '{ print $1 / 44100 }' <<< "$parts")
lag=$(awk -v p="$played_at" -v r="$returned" '{ print r - (p + $2 / 44100) }' <<< "$parts")
echo "--for 5s: $seconds s of the signal; the signal plays $lag s later than paplay was started"
near "$seconds" 5 0.05 || fail "--for 5s recorded $seconds s"

for bad in "--for 5x" "--for 90" "--at 25:00" "--at 7.30"; do
  # shellcheck disable=SC2086
  status=0; command --record $bad 2> "$work/err.txt" || status=$?
  [ "$status" = 2 ] || fail "--record $bad exited $status"
  grep -q "needs a" "$work/err.txt" || fail "--record $bad said: $(cat "$work/err.txt")"
  echo "--record $bad: exit 2, $(head -n1 "$work/err.txt")"
done
sleep 1
[ ! -e "$work/out/record2.wav" ] || fail "a malformed command recorded"

target=$(( ($(date +%s) + 70) / 60 * 60 ))
at=$(date -d "@$target" +%H:%M)
command --record --at "$at" --for 3s || fail "tarnovox --record --at $at exited $?"
sleep 1
import -window root "$artifacts/timed-commands-armed.png"
[ ! -e "$work/out/record2.wav" ] || fail "--at $at recorded at once"
sleep "$(awk -v t="$target" -v n="$(date +%s.%N)" 'BEGIN { d = t + 5 - n; print (d > 0 ? d : 0) }')"
parts=$(stretches "$work/out/record2.wav") || fail "record2.wav differs from the played signal"
read -r frames offset <<< "$(head -n1 <<< "$parts")"
late=$(awk -v p="$played_at" -v o="$offset" -v t="$target" -v l="$lag" 'BEGIN { print p + l + o / 44100 - t }')
echo "--at $at: started $late s after the minute, $frames frames"
near "$late" 0 1 || fail "--at $at started $late s off the minute"
near "$frames" 132300 2205 || fail "--at $at --for 3s recorded $frames frames"
passed
