#!/usr/bin/env bash
# The main window on a screen scaled to 200 %: twice the size, the skin's 2x
# pictures shown pixel for pixel, the meters drawn at the screen's resolution
# (lines one screen pixel wide) with the same levels as at 100 %.
source "$(dirname "$0")/../scenario_lib.sh"

skin=$(cd "$(dirname "$0")/../../../ui/skin" && pwd)
write_ini 1
play_tone
# One run at SCALE: the window's size, a screenshot, the meters' measures.
run_at() {  # SCALE
  QT_SCALE_FACTOR=$1 start_program
  sleep 1.5
  size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {print w "x" $2}')
  shot "$window" "scale-$1" > /dev/null
  measures=$(/usr/bin/python3 "$tools/meter_shot.py" "$artifacts/scale-$1.png" "$1")
  echo "scale $1: $size; $(tr '\n' ';' <<< "$measures")"
}
close_at() {  # SCALE: Close, at the Close button's place at that scale
  xdotool mousemove --window "$window" $((381 * $1)) $((14 * $1)) click 1
  for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.05; done
  fail "the program still runs 15 s after Close at scale $1"
}
# The Record button's screen pixels are those of PICTURE (a file of the skin).
record_button_is() {  # SHOT PICTURE
  convert "$1" -crop 54x54+92+532 +repage "$work/record-button.png"
  differ=$(compare -metric AE -fuzz 3% "$work/record-button.png" "$skin/$2" null: 2>&1 || true)
  [ "$differ" = 0 ] || fail "the Record button at 200 % differs from $2 in $differ pixels"
}
window_at() { [ -n "$(own_window_at "$1" "$2")" ]; }  # X Y: one of the program's windows is there
field() { sed -n "s/^$1: *//p" <<< "$measures"; }

run_at 1
[ "$size" = 399x299 ] || fail "the main window is $size at 100 %"
[ "$(field 'line rows')" = 152 ] || fail "waveform lines at 100 %: rows $(field 'line rows'), expected 152"
level=$(field 'level end')
[ "$level" -gt 30 ] || fail "no level bar at 100 % (last lit column $level)"
close_at 1

run_at 2
[ "$size" = 798x598 ] || fail "the main window is $size at 200 %, expected 798x598"
[ "$(field 'line rows')" = 304 ] ||
  fail "waveform lines at 200 %: rows $(field 'line rows'), expected one row, 304"
[ "$(field 'level end')" = $((2 * level + 1)) ] ||
  fail "the level bar ends at $(field 'level end') at 200 %, expected $((2 * level + 1)) (at 100 %: $level)"
# The Record button is the skin's 2x picture itself, not the 1x one enlarged,
# and so is its hover picture.
record_button_is "$artifacts/scale-2.png" ImageRecord1@2x.gif
xdotool mousemove --window "$window" 118 558; sleep 0.5
record_button_is "$(shot "$window" scale-2-hover)" ImageRecord2@2x.gif
# The file list docks below, and follows a drag by the background.
xdotool windowmove --sync "$window" 100 50; sleep 0.3
xdotool mousemove --window "$window" 754 558 click 1  # Show/Hide File List
eventually window_at 100 648 || fail "no file list docked at 100,648 below the main window"
xdotool mousemove --window "$window" 540 560 mousedown 1 mousemove_relative 30 20 mousemove_relative 30 20 mouseup 1
sleep 0.5
window_at 160 90 || fail "the main window did not follow the drag to 160,90"
eventually window_at 160 688 || fail "the file list did not follow the main window to 160,688"
echo "at 200 %: hover picture, docking at 100,648 and a drag to 160,90 with the file list at 160,688"
close_at 2
passed
