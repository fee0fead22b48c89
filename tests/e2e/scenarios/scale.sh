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
  # Close, at the Close button's place at this scale.
  xdotool mousemove --window "$window" $((381 * $1)) $((14 * $1)) click 1
  for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.05; done
  fail "the program still runs 15 s after Close at scale $1"
}
field() { sed -n "s/^$1: *//p" <<< "$measures"; }

run_at 1
[ "$size" = 399x299 ] || fail "the main window is $size at 100 %"
[ "$(field 'line rows')" = 152 ] || fail "waveform lines at 100 %: rows $(field 'line rows'), expected 152"
level=$(field 'level end')
[ "$level" -gt 30 ] || fail "no level bar at 100 % (last lit column $level)"

run_at 2
[ "$size" = 798x598 ] || fail "the main window is $size at 200 %, expected 798x598"
[ "$(field 'line rows')" = 304 ] ||
  fail "waveform lines at 200 %: rows $(field 'line rows'), expected one row, 304"
[ "$(field 'level end')" = $((2 * level + 1)) ] ||
  fail "the level bar ends at $(field 'level end') at 200 %, expected $((2 * level + 1)) (at 100 %: $level)"
# The Record button is the skin's 2x picture itself, not the 1x one enlarged.
convert "$artifacts/scale-2.png" -crop 54x54+92+532 +repage "$work/record-button.png"
differ=$(compare -metric AE -fuzz 3% "$work/record-button.png" "$skin/ImageRecord1@2x.gif" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "the Record button at 200 % differs from ImageRecord1@2x.gif in $differ pixels"
passed
