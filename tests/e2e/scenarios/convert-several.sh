#!/usr/bin/env bash
# Several rows converted together: Ctrl+A in the file list takes every row, the
# context menu's "Convert  to FLAC" converts the WAV files among them (the MP3
# row is left alone) behind one progress dialog, and every FLAC file decodes
# to its WAV file's samples exactly; no part file stays. Then Shift-click takes
# three rows and "Delete File" deletes those three after one question.
source "$(dirname "$0")/../scenario_lib.sh"

click_list() { xdotool mousemove --window "$list" "$1" "$2" click "${3:-1}"; }
own_windows() { xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l; }
pcm_md5() { ffmpeg -nostdin -v error -i "$1" -f s16le - | md5sum | cut -d' ' -f1; }
stream() { ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 "$1"; }

needs_window_manager
out=$work/out
sox -n -r 44100 -c 2 -b 16 "$out/interview.wav" synth 2.5 sine 440 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$out/voice.wav" synth 1.5 sine 700 vol 0.4
sox -n -r 48000 -c 2 -b 8 "$out/street.wav" synth 1.2 whitenoise vol 0.3
ffmpeg -v error -f lavfi -i sine=1000:d=1 -b:a 128k "$out/song.mp3"
wavs=(interview voice street)

write_ini 1
place_main_window_and_file_list
click_list 100 "$(list_row_y 1)"; sleep 0.3
xdotool key ctrl+a; sleep 0.3
before=$(own_windows)
click_list 100 "$(list_row_y 2)" 3
eventually [ "$(own_windows)" -gt "$before" ] || fail "no context menu on the selected rows"
sleep 0.2
xdotool key Down Down Down Return  # Rename, Convert  to MP3, Convert  to FLAC
dialogs=0
for _ in $(seq 100); do
  dialogs=$(xdotool search --onlyvisible --name '^Converting WAV to FLAC$' 2>/dev/null | wc -l) || true
  [ "$dialogs" -gt 0 ] && { timeout 3 import -window "$(xdotool search --onlyvisible --name '^Converting WAV to FLAC$' | head -n1)" \
                              "$artifacts/convert-several-dialog.png" 2>/dev/null || true; break; }
  all=1; for w in "${wavs[@]}"; do [ -s "$out/$w.flac" ] || all=0; done
  [ "$all" = 1 ] && break
  sleep 0.05
done
echo "progress dialogs seen at once: $dialogs"
[ "$dialogs" -le 1 ] || fail "$dialogs progress dialogs for one conversion"
done_converting() {
  for w in "${wavs[@]}"; do [ -s "$out/$w.flac" ] || return 1; done
  ! xdotool search --onlyvisible --name '^Converting WAV to FLAC$' >/dev/null 2>&1
}
for _ in $(seq 3); do eventually done_converting && break; done
done_converting || fail "after Convert to FLAC the folder holds $(ls "$out" | tr '\n' ' ')"

for w in "${wavs[@]}"; do
  wav_stream=$(stream "$out/$w.wav" | cut -d, -f2-) flac_stream=$(stream "$out/$w.flac")
  echo "$w.flac: $flac_stream, $(duration "$out/$w.flac") s; $w.wav: $wav_stream, $(duration "$out/$w.wav") s"
  [ "$flac_stream" = "flac,$wav_stream" ] || fail "$w.flac is '$flac_stream', its WAV file '$wav_stream'"
  near "$(duration "$out/$w.flac")" "$(duration "$out/$w.wav")" 0.001 || fail "$w.flac is not as long as $w.wav"
  [ "$(pcm_md5 "$out/$w.flac")" = "$(pcm_md5 "$out/$w.wav")" ] || fail "$w.flac decodes to other samples than $w.wav"
done
[ ! -e "$out/song.flac" ] || fail "the MP3 row was converted too"
[ -z "$(find "$out" -name '*.part')" ] || fail "part files left: $(find "$out" -name '*.part')"

# The rows by name: interview.flac, interview.wav, song.mp3, street.flac, ...
folder_is() { [ "$(ls "$out" | tr '\n' ' ')" = "$1 " ]; }
eventually folder_is "interview.flac interview.wav song.mp3 street.flac street.wav voice.flac voice.wav" ||
  fail "before the delete the folder holds $(ls "$out" | tr '\n' ' ')"
click_list 100 "$(list_row_y 2)"; sleep 0.3
xdotool keydown shift; click_list 100 "$(list_row_y 4)"; xdotool keyup shift; sleep 0.3
before=$(own_windows)
click_list 100 "$(list_row_y 3)" 3
eventually [ "$(own_windows)" -gt "$before" ] || fail "no context menu on the three rows"
sleep 0.2
xdotool key Up Return  # Delete File, the last item
question=$(wait_window "Delete File") || fail "no delete question"
xdotool windowfocus --sync "$question" key alt+y
eventually folder_is "interview.flac street.wav voice.flac voice.wav" ||
  fail "after deleting three rows the folder holds $(ls "$out" | tr '\n' ' ')"
[ -z "$(wait_window "Delete File")" ] || fail "a second delete question"
close_program
passed
