#!/usr/bin/env bash
# F9 and F5 sent together: the second take waits for the first to finish, and
# both are in the chosen format (22050 Hz, mono, 8 bit), not in the monitoring
# one.
source "$(dirname "$0")/../scenario_lib.sh"

write_ini 1
printf 'SamplePerSecond=22050\nChannels=1\nBitPerSample=8\n' >> "$work/tarnovox.INI"
start_program
play_tone
focus_other_window
xdotool key F5; sleep 3
xdotool key F9 F5; sleep 3
xdotool key F9; sleep 1.5
for take in record1 record2; do
  file="$work/out/$take.wav"
  [ -s "$file" ] || fail "no $take.wav"
  format=$(ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 "$file")
  d=$(duration "$file"); f=$(frequency "$file")
  echo "$take.wav: $format, ${d} s, ${f} Hz"
  [ "$format" = "pcm_u8,22050,1" ] || fail "$take.wav is $format"
  near "$d" 3 0.6 || fail "$take.wav lasts $d s"
  near "$f" 1000 30 || fail "$take.wav tone at $f Hz"
done
[ "$(ls "$work/out" | wc -l)" = 2 ] || fail "output folder holds $(ls "$work/out" | tr '\n' ' ')"
passed
