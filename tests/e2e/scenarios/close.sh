#!/usr/bin/env bash
# The close box: while monitoring the program ends at once and leaves its 19
# settings in 4 sections; while recording it asks, No goes on recording, Yes
# ends the program with the whole take.
source "$(dirname "$0")/../scenario_lib.sh"

write_ini 0
command -v openbox >/dev/null && start_window_manager
# The time to end is the program's own: no leak check at exit in this run.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" start_program
play_tone
close_program 2  # while monitoring: no question
[ "$(grep -c '=' "$work/tarnovox.INI")" = 19 ] || fail "INI does not hold 19 keys"
[ "$(grep -c '^\[' "$work/tarnovox.INI")" = 4 ] || fail "INI does not hold 4 sections"

start_program
click_window 59 279  # Record
sleep 2
started=$(date +%s.%N)
click_window 381 14  # Close while recording: the question
for _ in $(seq 50); do xdotool search --name '^Confirm$' >/dev/null 2>&1 && break; sleep 0.1; done
question=$(xdotool search --name '^Confirm$' | head -n1)
[ -n "$question" ] || fail "no confirmation while recording"
import -window root "$artifacts/close-question.png"
sleep 1
xdotool windowfocus --sync "$question" key Escape  # No
sleep 2
kill -0 "$program" 2>/dev/null || fail "No ended the program"
click_window 381 14
for _ in $(seq 50); do xdotool search --name '^Confirm$' >/dev/null 2>&1 && break; sleep 0.1; done
question=$(xdotool search --name '^Confirm$' | head -n1)
xdotool windowfocus --sync "$question" key alt+y  # Yes
ended=$(date +%s.%N)
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$program" 2>/dev/null || fail "Yes did not end the program"
d=$(duration "$work/out/record1.mp3")
expected=$(awk -v a="$started" -v b="$ended" 'BEGIN { print b - a + 2 }')
echo "closed recording: ${d} s of about ${expected} s"
near "$d" "$expected" 0.6 || fail "the recording has a gap: $d s of $expected s"
[ "$(grep -c '=' "$work/tarnovox.INI")" = 19 ] || fail "INI does not hold 19 keys"
passed
