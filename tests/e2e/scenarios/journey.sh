#!/usr/bin/env bash
# A take's journey through the file list and the tag editor: recorded with F5
# and F9, played (heard at the sink, the position bar moving, the volume bar
# setting the stream's volume), renamed, converted to MP3, tagged, and the MP3
# deleted, each through the windows; then Close.
source "$(dirname "$0")/../scenario_lib.sh"

click_list() { xdotool mousemove --window "$list" "$1" "$2" click "${3:-1}"; }
own_windows() { xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l; }
context_menu() {  # ROW: the grid's context menu on that row, open for keys
  local before
  before=$(own_windows)
  click_list 100 "$(list_row_y "$1")" 3
  eventually [ "$(own_windows)" -gt "$before" ] || fail "no context menu on row $1"
  sleep 0.2
}
folder_is() { [ "$(ls "$work/out" | tr '\n' ' ')" = "$1 " ]; }
# Bright (text) pixels in data row N of the grid: 0 for a row that shows nothing.
row_text() {  # SHOT ROW
  convert "$1" -crop "300x8+40+$(($(list_row_y "$2") - 4))" -depth 8 txt:- |
    awk -F'[(,)]' 'NR > 1 && $3 > 150 && $4 > 150 && $5 > 150 {n++} END {print n + 0}'
}

needs_window_manager
rm -f "$artifacts/convert-dialog.png"  # only this run's
write_ini 1
place_main_window_and_file_list
play_tone
tone_player=${pids[-1]}
xdotool key F5; sleep 3.5; xdotool key F9; sleep 1.5
kill "$tone_player"; wait "$tone_player" 2>/dev/null || true
[ -s "$work/out/record1.wav" ] || fail "F5, F9 left no record1.wav"
wav_length=$(duration "$work/out/record1.wav")

# Play the selected row: the tone reaches the sink, the position bar moves,
# and the volume bar sets the playback stream's volume.
click_list 100 "$(list_row_y 1)"; sleep 0.5
parec -d test_sink.monitor --latency-msec=20 --raw --format=s16le --rate=44100 --channels=2 > "$work/sink.raw" &
pids+=($!); capture=$!
sleep 0.5
click_window 167 279  # Play
sleep 1
import -window "$list" "$work/playing1.png"
sleep 0.6
import -window "$list" "$work/playing2.png"
cmp -s <(convert "$work/playing1.png" -crop 211x17+22+271 rgb:-) <(convert "$work/playing2.png" -crop 211x17+22+271 rgb:-) &&
  fail "the position bar did not move during playback"
xdotool mousemove --window "$list" 347 279 mousedown 1 mousemove --window "$list" 306 279 mouseup 1  # volume
sleep 0.3
volume=$(pactl list sink-inputs | awk '/^Sink Input/ {v=""} /^[ \t]*Volume:/ {v=$3 " " $10} /application.name = "Tarnovox"/ || /application.process.binary = "tarnovox"/ {print v; exit}')
echo "playback stream volume after the volume bar moved: $volume (of 65536)"
read -r left right <<< "$volume"
[ -n "$left" ] && [ "$left" = "$right" ] && [ "$left" -gt 13000 ] && [ "$left" -lt 52000 ] ||
  fail "playback stream volume '$volume' after dragging the volume bar: $(pactl list sink-inputs | grep -E 'Volume:|application.name|binary')" # the volume bar to the middle"
sleep 2.5
kill "$capture"; wait "$capture" 2>/dev/null || true
read -r hz first last < <(/usr/bin/python3 "$tools/tone_at_sink.py" "$work/sink.raw") ||
  fail "no playback at the sink"
expected=$(awk -v v="$left" 'BEGIN { print (v / 65536) ^ 3 }')
echo "at the sink: ${hz} Hz, rms $first, then $last after the volume bar moved ($expected expected of it)"
near "$hz" 1000 5 || fail "the sink played $hz Hz"
near "$first" 11585 1500 || fail "the sink played rms $first, recorded at 0.5 of full scale"
near "$(awk -v a="$first" -v b="$last" 'BEGIN { print b / a }')" "$expected" 0.05 ||
  fail "the level went from $first to $last, not to $expected of it"

# Rename through the context menu.
context_menu 1
xdotool key Down Return
dialog=$(wait_window "Rename File") || fail "no rename dialog"
sleep 0.3
expect_colour "$(shot "$dialog" rename-dialog)" 5 5 239,239,239 "rename dialog"
expect_colour "$artifacts/rename-dialog.png" 150 42 255,255,255 "rename dialog's text field"
xdotool windowfocus --sync "$dialog" key ctrl+a type interview
xdotool key Return
eventually folder_is interview.wav || fail "after the rename the folder holds $(ls "$work/out" | tr '\n' ' ')"

# Convert through the context menu.
context_menu 1
xdotool key Down Down Return
for _ in $(seq 40); do
  converting=$(xdotool search --onlyvisible --name '^Converting WAV to MP3$' 2>/dev/null | head -n1) || true
  [ -n "$converting" ] && { timeout 3 import -window "$converting" "$artifacts/convert-dialog.png" 2>/dev/null || true; break; }
  sleep 0.05
done
for _ in $(seq 100); do [ -s "$work/out/interview.mp3" ] && ! xdotool search --onlyvisible --name '^Converting WAV to MP3$' >/dev/null 2>&1 && break; sleep 0.1; done
[ -s "$work/out/interview.mp3" ] || fail "no interview.mp3 after Convert to MP3"
mp3_length=$(duration "$work/out/interview.mp3"); mp3_hz=$(frequency "$work/out/interview.mp3")
echo "interview.mp3: ${mp3_length} s, ${mp3_hz} Hz; interview.wav: ${wav_length} s"
near "$mp3_length" "$wav_length" 0.1 || fail "the MP3 lasts $mp3_length s, the WAV $wav_length s"
near "$mp3_hz" 1000 30 || fail "the MP3's tone is at $mp3_hz Hz"
if [ -s "$artifacts/convert-dialog.png" ]; then
  expect_colour "$artifacts/convert-dialog.png" 5 5 239,239,239 "convert dialog"
else
  echo "the conversion ended before a screenshot of its dialog"
fi

# The tag editor: the MP3's row (first by name), its fields typed, Save.
click_list 100 "$(list_row_y 1)"; sleep 0.5
click_list 377 278  # TAG Editor
editor_shown() { editor=$(own_window_at 499 349); [ -n "$editor" ]; }
eventually editor_shown || fail "no tag editor beside the file list"
type_into() { xdotool mousemove --window "$editor" "$1" "$2" click 1; sleep 0.2; xdotool type --delay 30 "$3"; }
type_into 120 37 "Harbour Interview"
type_into 120 180 "Ana Petrova"
type_into 120 85 "Field Notes"
type_into 70 276 "2026"
type_into 120 228 "take one, 1 kHz"
type_into 100 132 "Speech"
xdotool key Return; sleep 0.3
expect_colour "$(shot "$editor" tag-editor)" 234 14 192,206,244 "tag editor close button"
expect_colour "$artifacts/tag-editor.png" 230 180 192,192,192 "tag editor Artist field"
expect_colour "$artifacts/tag-editor.png" 230 37 192,192,192 "tag editor Title field"
size=$(stat -c %s "$work/out/interview.mp3")
xdotool mousemove --window "$editor" 213 273 click 1  # Save
eventually [ "$(stat -c %s "$work/out/interview.mp3")" = $((size + 128)) ] || fail "Save wrote no tag"
tags=$(/usr/bin/python3 "$tools/read_id3_tags.py" "$work/out/interview.mp3") || fail "mutagen reads no tag from interview.mp3"
echo "mutagen reads: $tags"
[ "$tags" = "Harbour Interview|Ana Petrova|Field Notes|2026|take one, 1 kHz|Speech" ] || fail "tags read back as $tags"

expect_colour "$(shot "$window" main-window)" 59 279 223,40,48 "main window Record button"
expect_colour "$artifacts/main-window.png" 381 14 192,206,244 "main window Close button"
shot "$list" file-list > /dev/null
expect_colour "$artifacts/file-list.png" 50 42 0,0,208 "file list's sorted Name header"
expect_colour "$artifacts/file-list.png" 377 278 255,255,255 "file list's TAG button"
[ "$(row_text "$artifacts/file-list.png" 2)" -gt 0 ] || fail "the file list shows no second row"

# Delete the MP3 through the context menu.
context_menu 1
xdotool key Up Return
question=$(wait_window "Delete File") || fail "no delete question"
xdotool windowfocus --sync "$question" key alt+y
eventually folder_is interview.wav || fail "after the delete the folder holds $(ls "$work/out" | tr '\n' ' ')"
one_row_shown() {
  import -window "$list" "$work/deleted.png"
  [ "$(row_text "$work/deleted.png" 2)" = 0 ] && [ "$(row_text "$work/deleted.png" 1)" -gt 0 ]
}
eventually one_row_shown || fail "the file list does not show interview.wav alone after the delete"

own_window_at 499 349 | grep -q . || fail "the tag editor is not shown before Close"
close_program
passed
