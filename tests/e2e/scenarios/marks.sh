#!/usr/bin/env bash
# F8 marks the moment in a take. A WAV take of the played signal with marks at
# about 2 s and 5 s is one exact stretch of the signal with "cue " points at the
# key times, named "Mark 1" and "Mark 2", which its label file repeats within a
# frame; ffprobe and Python's wave read the data as before. An MP3 take gets the
# label file; a program killed after its second mark leaves both in the label
# file and a WAV file that plays up to its last write. F8 held by another
# program leaves F5 and F9 working.
source "$(dirname "$0")/../scenario_lib.sh"

since() { awk -v a="$1" -v b="$2" 'BEGIN { print b - a }'; }
# A key's time: xdotool sends it somewhere between its start and its end, which
# on a loaded machine can be seconds apart. Sets t<N> (the start) and k<N>
# (seconds from F5 to the start and to the end).
key_at() {  # N KEY
  local start end
  start=$(date +%s.%N); xdotool key "$2"; end=$(date +%s.%N)
  printf -v "t$1" '%s' "$start"
  [ "$1" = 0 ] || printf -v "k$1" '%s %s' "$(since "$t0" "$start")" "$(since "$t0" "$end")"
}
mark_keys() {
  key_at 0 F5; sleep 2
  key_at 1 F8; sleep 3
  key_at 2 F8; sleep 3
}
# The time is within 0.25 s of when the key was sent.
at_key() {  # SECONDS "FROM TO"
  awk -v s="$1" -v k="$2" 'BEGIN { split(k, t, " "); exit !(s >= t[1] - 0.25 && s <= t[2] + 0.25) }'
}
# The label file holds Mark 1 and Mark 2 at the key times.
check_label_file() {  # FILE
  [ -s "$1" ] || fail "no $(basename "$1")"
  echo "$(basename "$1"): $(tr '\t\n' ' |' < "$1") keys sent within $k1 s and $k2 s"
  [ "$(cut -f3 "$1" | tr '\n' '|')" = "Mark 1|Mark 2|" ] || fail "labels $(cut -f3 "$1" | tr '\n' '|')"
  awk -F'\t' '$1 != $2 { exit 1 }' "$1" || fail "a label whose start is not its end"
  at_key "$(sed -n 1p "$1" | cut -f1)" "$k1" || fail "Mark 1 is not at the key's time"
  at_key "$(sed -n 2p "$1" | cut -f1)" "$k2" || fail "Mark 2 is not at the key's time"
}

write_ini 1
start_program
play_signal 40
focus_other_window
mark_keys
xdotool key F9; sleep 1.5
wav="$work/out/record1.wav"
parts=$(stretches "$wav") || fail "record1.wav differs from the played signal"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record1.wav is not one stretch of the signal: $parts"
marks=$(python3 "$tools/wav_marks.py" "$wav") || fail "record1.wav: $marks"
frames=$(sed -n 1p <<< "$marks")
echo "record1.wav: $frames frames, cue points $(sed 1d <<< "$marks" | tr '\t\n' ' |')"
[ "$(sed 1d <<< "$marks" | cut -f2 | tr '\n' '|')" = "Mark 1|Mark 2|" ] || fail "labl texts: $marks"
[ "${parts%% *}" = "$frames" ] || fail "the exact stretch has ${parts%% *} frames, the data $frames"
check_label_file "$work/out/record1.labels.txt"
at_key "$(awk 'NR == 2 { print $1 / 44100 }' <<< "$marks")" "$k1" || fail "cue point 1 is not at the key's time"
at_key "$(awk 'NR == 3 { print $1 / 44100 }' <<< "$marks")" "$k2" || fail "cue point 2 is not at the key's time"
paste <(sed 1d <<< "$marks" | cut -f1) <(cut -f1 "$work/out/record1.labels.txt") |
  awk '{ d = $1 - $2 * 44100; if (d > 1 || d < -1) exit 1 }' || fail "cue points and label file differ by more than a frame"
d=$(duration "$wav")
echo "ffprobe: $d s"
near "$d" "$(awk -v n="$frames" 'BEGIN { printf "%.6f", n / 44100 }')" 0.0000011 || fail "ffprobe reads $d s"
kill "$program"; wait "$program" 2>/dev/null || true
rm -f "$work/out/"*

write_ini 0
start_program
focus_other_window
mark_keys
xdotool key F9; sleep 1.5
[ -s "$work/out/record1.mp3" ] || fail "no record1.mp3"
check_label_file "$work/out/record1.labels.txt"
kill "$program"; wait "$program" 2>/dev/null || true
rm -f "$work/out/"*

write_ini 1
start_program
focus_other_window
mark_keys
t3=$(date +%s.%N); kill -9 "$program"; wait "$program" 2>/dev/null || true
check_label_file "$work/out/record1.labels.txt"
frames=$(python3 "$tools/wav_marks.py" "$work/out/record1.wav") || fail "the killed take: $frames"
echo "the killed take: $frames frames in a header that matches the file, killed $(since "$t0" "$t3") s after F5"
near "$(awk -v n="$frames" 'BEGIN { print n / 44100 }')" "$(since "$t0" "$t3")" 0.5 ||
  fail "the killed take holds $frames frames"
rm -f "$work/out/"*

# Another program holds F8: F5 and F9 still work system-wide, and the log says once which key is not.
python3 "$tools/hold_key.py" 0xFFC5 > "$work/hold.log" 2>&1 & pids+=($!)
for _ in $(seq 50); do grep -q held "$work/hold.log" && break; sleep 0.1; done
grep -q held "$work/hold.log" || fail "could not hold F8: $(cat "$work/hold.log")"
start_program
focus_other_window
wait_log "Tarnovox: Hot keys F5, F7, F9: system-wide (X11); F8: in this window only"
[ "$(grep -c "^Tarnovox: Hot keys" "$work/program.log")" = 1 ] || fail "$(cat "$work/program.log")"
xdotool key F5; sleep 1; xdotool key F9; sleep 1
[ -s "$work/out/record1.wav" ] || fail "F5 and F9 did not record while another program held F8"
passed
