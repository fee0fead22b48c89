#!/usr/bin/env bash
# A second start during a WAV recording leaves the take alone and brings the
# minimized window back.
source "$(dirname "$0")/../scenario_lib.sh"

write_ini 1
command -v openbox >/dev/null && start_window_manager
start_program
play_signal 20
focus_other_window
pressed=$(date +%s.%N)
xdotool key F5; sleep 1
[ -e "$work/out/record1.wav" ] || fail "F5 started no recording"
# Qt also names an unmapped helper window after the program.
window=$(xdotool search --onlyvisible --name '^Tarnovox$' | head -n1)
if command -v openbox >/dev/null; then
  xdotool windowminimize --sync "$window"
  [ "$(wm_state "$window")" = Iconic ] || fail "the main window did not minimize"
fi
started=$(date +%s.%N)
timeout 10 "$work/tarnovox" > "$work/second.log" 2>&1 ||
  fail "the second start exited $?: $(cat "$work/second.log")"
echo "second start: exited 0 after $(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }') s"
sleep 0.5
if command -v openbox >/dev/null; then
  [ "$(wm_state "$window")" = Normal ] || fail "the main window was not restored: $(wm_state "$window")"
  [ "$(xdotool getactivewindow)" = "$window" ] || fail "the main window was not activated"
  echo "main window restored from minimized and active"
else
  xwininfo -id "$window" | grep -q IsViewable || fail "the main window is not mapped"
  echo "main window mapped (no window manager to prove raising)"
fi
import -window root "$artifacts/second-start-shown.png"
size=$(stat -c %s "$work/out/record1.wav")
sleep 2.5
[ "$(stat -c %s "$work/out/record1.wav")" -gt "$size" ] || fail "record1.wav stopped growing after the second start"
stopped=$(date +%s.%N)
xdotool key F9; sleep 1
[ "$(ls "$work/out")" = record1.wav ] || fail "output folder holds $(ls "$work/out" | tr '\n' ' ')"
parts=$(stretches "$work/out/record1.wav") || fail "record1.wav differs from the played signal"
echo "record1.wav: frames, played offset: $parts"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record1.wav is not one contiguous stretch of the signal"
# As long as the keys were apart (a loaded machine makes the second start slower).
expected=$(awk -v a="$pressed" -v b="$stopped" 'BEGIN { print b - a }')
near "$(awk '{ print $1 / 44100 }' <<< "$parts")" "$expected" 0.6 ||
  fail "record1.wav is not about $expected s long (F5 to F9)"
passed
