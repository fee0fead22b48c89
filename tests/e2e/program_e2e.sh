#!/usr/bin/env bash
# The real program under the private display and sound server, driven as a user
# would: hot keys while another window has the focus, the close box, the
# settings dialog. Checked with ffprobe and sox.
#
#   program_e2e.sh BIN_DIR ARTIFACT_DIR SCENARIO
set -euo pipefail
bin=$1 artifacts=$2 scenario=$3
[ -n "${PULSE_SERVER:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "needs the private sound server and display"; exit 0; }
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/tarnovox-e2e.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A private copy of the program, so its INI and Temp folder stay in $work.
cp "$bin/tarnovox" "$bin/liblame_enc.so" "$work/"
[ -e "$bin/tarnovox.html" ] && cp "$bin/tarnovox.html" "$work/"
mkdir -p "$work/out"
write_ini() {  # WAV(0/1)
  cat > "$work/tarnovox.INI" <<INI
[Folder]
Name=$work/out
[Record Settings]
Wav=$1
MP3=$((1 - $1))
INI
}

start_program() {
  "$work/tarnovox" > "$work/program.log" 2>&1 &
  program=$!
  pids+=("$program")
  for _ in $(seq 100); do xdotool search --name '^Tarnovox$' >/dev/null 2>&1 && break; sleep 0.1; done
  window=$(xdotool search --name '^Tarnovox$' | head -n1)
  [ -n "$window" ] || fail "no main window"
  sleep 1
}

play_tone() {
  sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 60 sine 1000 vol 0.5
  paplay "$work/tone.wav" & pids+=($!)
  sleep 0.5
}

focus_other_window() {
  xlogo & pids+=($!)
  for _ in $(seq 50); do xdotool search --name xlogo >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool search --name xlogo windowfocus --sync 2>/dev/null || true
}

# Seconds of sound in a recording, from ffprobe.
duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }

# The first channel's rough frequency in Hz, from sox on a decoded copy.
frequency() {
  ffmpeg -v error -y -i "$1" -ac 1 -c:a pcm_s16le "$work/decoded.wav"
  sox "$work/decoded.wav" -n stat 2>&1 | awk '/Rough +frequency/ {print $3}'
}

near() {  # VALUE EXPECTED TOLERANCE
  awk -v v="$1" -v e="$2" -v t="$3" 'BEGIN { exit !(v >= e - t && v <= e + t) }'
}

click_window() {  # X Y in the main window
  xdotool mousemove --window "$window" "$1" "$2" click 1
}

choose_wav_in_settings_dialog() {
  click_window 41 14  # Record Settings
  for _ in $(seq 50); do xdotool search --name '^Record Settings$' >/dev/null 2>&1 && break; sleep 0.1; done
  local dialog
  dialog=$(xdotool search --name '^Record Settings$' | head -n1)
  [ -n "$dialog" ] || fail "no record settings dialog"
  xdotool mousemove --window "$dialog" 34 25 click 1  # the WAV page
  sleep 0.3
  import -window root "$artifacts/record-settings-wav.png"
  xdotool mousemove --window "$dialog" 172 243 click 1  # OK
  for _ in $(seq 50); do xdotool search --name '^Record Settings$' >/dev/null 2>&1 || break; sleep 0.1; done
}

case "$scenario" in
  hotkeys)
    # MP3 as the settings file says, then WAV chosen in the record settings dialog.
    for format in 0 1; do
      write_ini 0
      start_program
      [ "$format" = 1 ] && choose_wav_in_settings_dialog
      play_tone
      focus_other_window
      [ "$format" = 0 ] && import -window root "$artifacts/main-window-monitoring.png"
      xdotool key F5; sleep 3
      xdotool key F7; sleep 2
      xdotool key F7; sleep 3
      [ "$format" = 0 ] && import -window root "$artifacts/main-window-recording.png"
      xdotool key F9; sleep 1.5
      ext=$([ "$format" = 1 ] && echo wav || echo mp3)
      file="$work/out/record1.$ext"
      [ -s "$file" ] || fail "no $file"
      d=$(duration "$file"); f=$(frequency "$file")
      echo "$ext: ${d} s, ${f} Hz"
      near "$d" 6.0 0.5 || fail "$ext lasts $d s, expected 6 s (8 s recorded minus the 2 s pause)"
      near "$f" 1000 30 || fail "$ext tone at $f Hz"
      kill "$program"; wait "$program" 2>/dev/null || true
      rm -f "$work/out/"*
    done
    ;;
  close)
    write_ini 0
    start_program
    play_tone
    click_window 381 14  # Close while monitoring: no question
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    ! kill -0 "$program" 2>/dev/null || fail "closing while monitoring did not end the program"
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
    ;;
  *) fail "unknown scenario $scenario" ;;
esac
echo "PASS: $scenario"
