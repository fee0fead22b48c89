#!/usr/bin/env bash
# F5, F7, F7, F9 while another window has the focus: the take holds the time
# between the keys less the pause, with the played tone. The first F7 is held
# for three seconds: its repeats do not toggle the pause again. MP3 as the
# settings file says, then WAV chosen in the record settings dialog.
source "$(dirname "$0")/../scenario_lib.sh"

choose_wav_in_settings_dialog() {
  click_window 41 14  # Record Settings
  for _ in $(seq 50); do xdotool search --name '^Record Settings$' >/dev/null 2>&1 && break; sleep 0.1; done
  local dialog
  dialog=$(xdotool search --name '^Record Settings$' | head -n1)
  [ -n "$dialog" ] || fail "no record settings dialog"
  xdotool mousemove --window "$dialog" 34 25 click 1  # the WAV page
  sleep 0.3
  import -window root "$artifacts/record-settings-wav.png"
  xdotool mousemove --window "$dialog" 295 244 click 1  # OK, right of the input list
  for _ in $(seq 50); do xdotool search --name '^Record Settings$' >/dev/null 2>&1 || break; sleep 0.1; done
}

command -v openbox >/dev/null && start_window_manager
for format in 0 1; do
  write_ini 0
  start_program
  [ "$format" = 1 ] && choose_wav_in_settings_dialog
  play_tone
  focus_other_window
  [ "$format" = 0 ] && import -window root "$artifacts/main-window-monitoring.png"
  # The keys' own times: a screenshot on a busy machine may take a while.
  t0=$(date +%s.%N); xdotool key F5; sleep 3
  t1=$(date +%s.%N); xdotool keydown F7; sleep 3; xdotool keyup F7
  t2=$(date +%s.%N); xdotool key F7; sleep 3
  [ "$format" = 0 ] && import -window root "$artifacts/main-window-recording.png"
  t3=$(date +%s.%N); xdotool key F9; sleep 1.5
  expected=$(awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" 'BEGIN { print b - a + d - c }')
  ext=$([ "$format" = 1 ] && echo wav || echo mp3)
  file="$work/out/record1.$ext"
  [ -s "$file" ] || fail "no $file"
  d=$(duration "$file"); f=$(frequency "$file")
  echo "$ext: ${d} s of ${expected} s recorded, ${f} Hz"
  # Within 0.8 s: a loaded machine hands a key over late; the pause kept in would add 3 s.
  near "$d" "$expected" 0.8 || fail "$ext lasts $d s, expected $expected s (the 3 s pause left out, the held F7 acting once)"
  near "$f" 1000 30 || fail "$ext tone at $f Hz"
  kill "$program"; wait "$program" 2>/dev/null || true
  rm -f "$work/out/"*
done
passed
