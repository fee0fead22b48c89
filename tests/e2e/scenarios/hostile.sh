#!/usr/bin/env bash
# A folder of damaged, odd and unusable files: the list shows the right rows
# and removes the empty WAV files; selecting, playing and converting each row
# in turn, the program answers within 2 s every time (message boxes closed as
# they come), and the rows with odd names and the last one convert.
source "$(dirname "$0")/../scenario_lib.sh"

# Message boxes the program shows (titled like the main window): closed with
# Enter, counted in $boxes.
close_message_boxes() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Tarnovox$' 2>/dev/null); do
    [ "$w" = "$window" ] || [ "$w" = "$list" ] && continue
    boxes=$((boxes + 1)); box_texts+=("$1")
    timeout 3 import -window "$w" "$artifacts/hostile-box-$boxes.png" 2>/dev/null || true
    xdotool windowfocus --sync "$w" key Return 2>/dev/null || true
    sleep 0.3
  done
}
folder_button() { import -window "$window" png:- | convert png:- -crop 19x19+5+5 -depth 8 rgb:-; }
# The program answers: within 2 s the Folder button shows its hover picture
# under the pointer, and its normal one again once the pointer is on the
# background. Message boxes that came up meanwhile are closed first.
answers() {  # WHAT
  hovered() { close_message_boxes "$1"; xdotool mousemove --window "$window" 14 14; ! cmp -s <(folder_button) "$work/folder-normal.rgb"; }
  normal() { xdotool mousemove --window "$window" 250 20; cmp -s <(folder_button) "$work/folder-normal.rgb"; }
  within_2s hovered "$1" || fail "no answer within 2 s after $1"
  within_2s normal || fail "no answer within 2 s after $1 (the Folder button kept its hover picture)"
}
within_2s() {  # COMMAND...: true within 2 s (and at least three tries); the slowest in $slowest
  local started tries=0 took
  started=$(date +%s.%N)
  until "$@"; do
    tries=$((tries + 1))
    took=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
    [ "$tries" -ge 3 ] && awk -v t="$took" 'BEGIN { exit !(t > 2) }' && return 1
    sleep 0.1
  done
  took=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
  slowest=$(awk -v a="${slowest:-0}" -v b="$took" 'BEGIN { print (b > a ? b : a) }')
}

needs_window_manager
out="$work/out" n=0
wav() {  # NAME CHANNELS: 22050 samples of a 440 Hz tone, 0.5 s as stereo
  sox -n -r 22050 -c 1 -b 16 "$work/t.wav" synth 1 sine 440
  python3 "$tools/wav_declaring_channels.py" "$work/t.wav" "$out/$1" "$2"
}
for kind in mp3 wav wma; do
  for size in 60 3000 40000; do n=$((n + 1)); head -c "$size" /dev/urandom > "$out/$(printf %02d $n)-noise.$kind"; done
done
wav header.wav 2
for size in 0 12 36 44 49 50 56 60; do n=$((n + 1)); head -c "$size" "$out/header.wav" > "$out/$(printf %02d $n)-cut$size.wav"; done
n=$((n + 1)); python3 "$tools/wav_declaring_4gib.py" "$out/header.wav" "$out/$n-huge.wav"  # 4 GiB declared, 1 s there
n=$((n + 1)); wav "$n-nochannels.wav" 0
n=$((n + 1)); mkfifo "$out/$n-pipe.wav"
n=$((n + 1)); cp "$out/header.wav" "$out/$n-locked.wav"; chmod 000 "$out/$n-locked.wav"
n=$((n + 1)); cp "$out/header.wav" "$out/$n-"$'\xff\xfe'".wav"
n=$((n + 1)); cp "$out/header.wav" "$out/$n-line"$'\n'"break.WAV"
ffmpeg -v error -f lavfi -i sine=1000:d=1 -ac 2 -b:a 128k "$work/stereo.mp3"
ffmpeg -v error -f lavfi -i sine=500:d=1 -ac 1 -ar 22050 -b:a 32k "$work/mono.mp3"
n=$((n + 1)); cat "$work/stereo.mp3" "$work/mono.mp3" > "$out/$n-stereo-mono.mp3"
n=$((n + 1)); ffmpeg -v error -f lavfi -i sine=300:d=1 -c:a pcm_s24le "$out/$n-24bit.wav"
n=$((n + 1)); ffmpeg -v error -f lavfi -i sine=300:d=1 -c:a pcm_u8 "$out/$n-8bit.wav"
mv "$out/header.wav" "$out/$((n + 1))-fine.wav"
# Old enough that the list may remove the ones too short to hold sound.
find "$out" -mindepth 1 -exec touch -d '1 hour ago' {} +
echo "hostile folder: $(ls -A "$out" | wc -l) files"

write_ini 1
place_main_window_and_file_list
mapfile -t rows < <(python3 "$tools/expected_list_rows.py" "$out")
echo "listed: ${#rows[@]} rows; files under 50 bytes left in the folder: $(find "$out" -type f -size -50c | wc -l)"
[ "$(find "$out" -type f -size -50c | wc -l)" = 0 ] || fail "WAV files under 50 bytes were not removed"
[ -p "$out/$((n - 6))-pipe.wav" ] || fail "the named pipe is gone"
folder_button > "$work/folder-normal.rgb"
boxes=0; box_texts=()
answers "the start"
for i in "${!rows[@]}"; do
  xdotool windowfocus --sync "$list" key Down; sleep 0.3
  answers "selecting ${rows[$i]}"
  click_window 167 279; sleep 0.3  # Play
  answers "playing ${rows[$i]}"
  if [[ "${rows[$i],,}" == *.wav ]]; then
    xdotool windowfocus --sync "$list" key Menu; sleep 0.3
    xdotool key Down Down Return; sleep 0.3
    for _ in $(seq 100); do xdotool search --onlyvisible --name '^Converting WAV to MP3$' >/dev/null 2>&1 || break; sleep 0.1; done
    answers "converting ${rows[$i]}"
  fi
done
import -window "$list" "$artifacts/hostile-file-list.png"
printf 'message box after %s\n' "${box_texts[@]}"
echo "$boxes message boxes; slowest answer ${slowest} s; folder now: $(ls "$out" | tr '\n' ' ')"
[ "$boxes" -gt 0 ] || fail "no file of the hostile folder was refused with a message"
# The walk reached the last rows, odd names included, and converted them.
for name in 22-$'\xff\xfe' 23-line$'\n'break 27-fine; do
  d=$(duration "$out/$name.mp3") && near "$d" 0.5 0.1 || fail "no MP3 of 0.5 s converted from $name: ${d:-none}"
done
close_program
passed
