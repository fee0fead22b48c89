#!/usr/bin/env bash
# The main window moved from a screen at 100 % to one at 200 % beside it, and
# back: drawn again at the resolution of the screen it is on, so its meter
# lines are one screen pixel wide on either and its levels stay the same.
source "$(dirname "$0")/../scenario_lib.sh"

command -v xrandr >/dev/null || { echo "needs xrandr"; exit 77; }
# Two monitors on the display's one screen: 400 pixels on the left, 880 on the
# right. Taken away again at the end, as is any left by an interrupted run.
monitors_off() { for m in tarnovox-left tarnovox-right; do xrandr --delmonitor "$m" > /dev/null 2>&1 || true; done; }
monitors_off
at_end monitors_off
xrandr --setmonitor tarnovox-left 400/106x800/212+0+0 screen > /dev/null
xrandr --setmonitor tarnovox-right 880/233x800/212+400+0 none > /dev/null

write_ini 1
play_tone
QT_SCREEN_SCALE_FACTORS="tarnovox-left=1;tarnovox-right=2" start_program
# On SCREEN at X: the window's size, a screenshot, the meters' measures.
measure_at() {  # SCREEN X SCALE
  xdotool windowmove --sync "$window" "$2" 100
  sleep 1.5
  size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {print w "x" $2}')
  shot "$window" "two-screens-$1" > /dev/null
  measures=$(/usr/bin/python3 "$tools/meter_shot.py" "$artifacts/two-screens-$1.png" "$3")
  echo "$1 screen: $size; $(tr '\n' ';' <<< "$measures")"
}
field() { sed -n "s/^$1: *//p" <<< "$measures"; }

measure_at left 0 1
[ "$size" = 399x299 ] || fail "the main window is $size on the 100 % screen"
[ "$(field 'line rows')" = 152 ] || fail "waveform lines on the 100 % screen: rows $(field 'line rows'), expected 152"
level=$(field 'level end')
[ "$level" -gt 30 ] || fail "no level bar on the 100 % screen (last lit column $level)"

measure_at right 440 2
[ "$size" = 798x598 ] || fail "the main window is $size on the 200 % screen, expected 798x598"
[ "$(field 'line rows')" = 304 ] ||
  fail "waveform lines on the 200 % screen: rows $(field 'line rows'), expected one row, 304"
[ "$(field 'level end')" = $((2 * level + 1)) ] ||
  fail "the level bar ends at $(field 'level end') on the 200 % screen, expected $((2 * level + 1))"

measure_at left-again 0 1
[ "$size" = 399x299 ] && [ "$(field 'line rows')" = 152 ] && [ "$(field 'level end')" = "$level" ] ||
  fail "back on the 100 % screen: $size, lines at rows $(field 'line rows'), level end $(field 'level end')"
passed
