# Sourced by every program scenario (tests/e2e/scenarios/NAME.sh): the real
# program under the private display and sound server, driven as a user would,
# and checked with ffprobe, sox and a frame-by-frame comparison with what was
# played. Helpers written in Python are in tests/e2e/tools/.
#
#   scenarios/NAME.sh BIN_DIR ARTIFACT_DIR
# Exits 77 (skipped) without the private sound server and display. Screenshots
# go to ARTIFACT_DIR; a failing scenario leaves failed-NAME.png there.
set -euo pipefail
bin=$1 artifacts=$2 scenario=$(basename "$0" .sh)
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/tools" && pwd)
[ -n "${PULSE_SERVER:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "needs the private sound server and display"; exit 77; }
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/tarnovox-e2e.XXXXXX)
pids=()
fail() {  # the screen as it was, for the artifacts
  echo "FAIL: $*"; import -window root "${artifacts:-/tmp}/failed-$scenario.png" 2>/dev/null || true; exit 1
}
# A command that fails outside a check ends the scenario (set -e) without a
# word: name it, and keep the screen as fail does.
ended() {  # STATUS COMMAND
  if [ "$1" != 0 ] && [ "$1" != 77 ] && [[ "$2" != exit* ]]; then
    echo "FAIL: \"$2\" exited $1"; import -window root "$artifacts/failed-$scenario.png" 2>/dev/null || true
  fi
  # Gone before the next scenario starts: a window manager still quitting
  # would take that one's first window with it.
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  for command in "${at_end_commands[@]}"; do "$command" || true; done
  rm -rf "$work"
}
at_end_commands=()
at_end() { at_end_commands+=("$1"); }  # COMMAND: run when the scenario ends, however it ends
trap 'ended $? "$BASH_COMMAND"' EXIT
passed() { echo "PASS: $scenario"; }

# Wayland sessions are the portal and weston scenarios' own: the others run as
# an X11 session, also when started from a Wayland desktop.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

# ---- The program ----

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

start_program() {  # [COMMAND...]: sets $program and $window
  "$work/tarnovox" "$@" > "$work/program.log" 2>&1 &
  program=$!
  pids+=("$program")
  # Qt also names an unmapped helper window after the program.
  for _ in $(seq 100); do xdotool search --onlyvisible --name '^Tarnovox$' >/dev/null 2>&1 && break; sleep 0.1; done
  window=$(xdotool search --onlyvisible --name '^Tarnovox$' | head -n1) || true
  [ -n "$window" ] || fail "no main window; the program logged: $(cat "$work/program.log")"
  sleep 1
}

wait_log() {  # LINE: waits for the program to log it
  for _ in $(seq 100); do grep -qxF "$1" "$work/program.log" && return; sleep 0.1; done
  fail "the program did not log '$1': $(cat "$work/program.log")"
}

# Close, then the windows must go within 2 s and the process end within LIMIT
# seconds (default 15: a sanitized build's leak check at exit takes 1-2 s more
# on a loaded machine; the close scenario runs without it and asks for 2 s).
close_program() {  # [LIMIT]
  local started gone limit=${1:-15}
  started=$(date +%s.%N)
  click_window 381 14
  for _ in $(seq 40); do xwininfo -id "$window" >/dev/null 2>&1 || break; sleep 0.05; done
  gone=$(date +%s.%N)
  ! xwininfo -id "$window" >/dev/null 2>&1 || fail "the main window is still there 2 s after Close"
  for _ in $(seq $((limit * 20))); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
  ! kill -0 "$program" 2>/dev/null || fail "the program still runs $limit s after Close"
  echo "Close: windows gone after $(awk -v a="$started" -v b="$gone" 'BEGIN { print b - a }') s," \
       "process ended after $(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }') s"
}

# ---- Sound played into the sink ----

play_tone() {  # a minute of 1 kHz at half of full scale
  sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 60 sine 1000 vol 0.5
  paplay "$work/tone.wav" & pids+=($!)
  sleep 0.5
}

# SECONDS of full-range pseudo-random 44.1 kHz 16-bit stereo, played into the
# sink: any lost, repeated or changed frame of a recording shows.
play_signal() {  # SECONDS
  python3 "$tools/write_noise_wav.py" "$work/signal.wav" "$1"
  paplay "$work/signal.wav" & pids+=($!)
  sleep 0.5
}

# The recording after its leading silence as bit-exact stretches of the played
# signal: one line "FRAMES PLAYED_OFFSET" per stretch; fails when some frame
# of the recording is nowhere in the signal.
stretches() {  # RECORDING
  python3 "$tools/exact_stretches.py" "$work/signal.wav" "$1"
}

# record1.wav must be two bit-exact stretches of the played signal whose
# lengths and gap match the times the record, pause, resume and stop were sent.
two_stretches_as_sent() {  # WHAT TOLERANCE T_RECORD T_PAUSE T_RESUME T_STOP
  local what=$1 tolerance=$2 parts first first_at second second_at recorded gap resumed
  shift 2
  local sent=("$@")
  interval() { awk -v a="${sent[$1]}" -v b="${sent[$2]}" 'BEGIN { print b - a }'; }
  parts=$(stretches "$work/out/record1.wav") || fail "record1.wav differs from the played signal"
  [ "$(wc -l <<< "$parts")" = 2 ] || fail "record1.wav is not two stretches of the signal: $parts"
  read -r first first_at second second_at <<< "$(tr '\n' ' ' <<< "$parts")"
  recorded=$(awk -v n="$first" 'BEGIN { print n / 44100 }')
  gap=$(awk -v a="$first_at" -v n="$first" -v b="$second_at" 'BEGIN { print (b - a - n) / 44100 }')
  resumed=$(awk -v n="$second" 'BEGIN { print n / 44100 }')
  echo "recorded ${recorded} s, left out ${gap} s, recorded ${resumed} s;" \
       "$what $(interval 0 1) s, $(interval 1 2) s, $(interval 2 3) s apart"
  near "$recorded" "$(interval 0 1)" "$tolerance" || fail "recorded $recorded s before the pause"
  near "$gap" "$(interval 1 2)" "$tolerance" || fail "the pause left out $gap s"
  near "$resumed" "$(interval 2 3)" "$tolerance" || fail "recorded $resumed s after the pause"
}

# ---- Checks of files and numbers ----

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

eventually() {  # COMMAND...: true within 10 s
  for _ in $(seq 100); do "$@" && return; sleep 0.1; done
  return 1
}

# ---- Windows, keys and screenshots ----

click_window() {  # X Y in the main window
  xdotool mousemove --window "$window" "$1" "$2" click 1
}

focus_other_window() {
  xlogo & pids+=($!)
  for _ in $(seq 50); do xdotool search --name xlogo >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool search --name xlogo windowfocus --sync 2>/dev/null || true
}

# A window manager on the display, for minimizing and restoring windows.
start_window_manager() {
  mkdir -p "$work/wm"
  # The last window manager's mark on the root window says nothing of this one.
  xprop -root -remove _NET_SUPPORTING_WM_CHECK
  HOME="$work/wm" XDG_CONFIG_HOME="$work/wm" openbox --sm-disable > "$work/openbox.log" 2>&1 & pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return
    sleep 0.1
  done
  fail "openbox did not start"
}
needs_window_manager() { command -v openbox >/dev/null || { echo "needs openbox"; exit 77; }; }

# X11 WM_STATE of a window: Normal, Iconic, or nothing while unmanaged.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }

wait_window() {  # TITLE: the id of the visible window with that title, within 5 s
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 | grep . && return
    sleep 0.1
  done
}
own_window_at() {  # X Y: the program's viewable window with its top-left corner there
  xdotool search --onlyvisible --pid "$program" 2>/dev/null | while read -r w; do
    xwininfo -id "$w" | awk -v w="$w" -v x="$1" -v y="$2" \
      '/Absolute upper-left X/ {a=$4} /Absolute upper-left Y/ {if (a == x && $4 == y) print w}'; done | head -n1
}

# The windows have fixed sizes and places: the main window is put at 100,50,
# the file list docks below it (100,349) and the tag editor beside the list
# (499,349). Sets $list.
place_main_window_and_file_list() {
  start_window_manager
  start_program
  xdotool windowmove --sync "$window" 100 50
  click_window 377 279  # Show/Hide File List
  for _ in $(seq 30); do list=$(own_window_at 100 349); [ -n "$list" ] && break; sleep 0.1; done
  [ -n "$list" ] || fail "no file list below the main window"
}
list_row_y() { echo $((42 + 16 * $1)); }  # the middle of data row N of the grid

shot() {  # WINDOW NAME: keeps a screenshot of the window as an artifact
  import -window "$1" "$artifacts/$2.png"
  echo "$artifacts/$2.png"
}
# The colour at X,Y of a window's screenshot is R,G,B within 16 on each.
expect_colour() {  # SHOT X Y R,G,B WHAT
  local got
  got=$(convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n '2s/^[^(]*(\([0-9]*,[0-9]*,[0-9]*\).*/\1/p')
  awk -v a="$got" -v b="$4" 'BEGIN { split(a, x, ","); split(b, y, ",");
    for (i = 1; i <= 3; i++) if (x[i] - y[i] > 16 || y[i] - x[i] > 16) exit 1 }' ||
    fail "$5: $(basename "$1") at $2,$3 is ($got), expected ($4)"
}

# ---- A private session bus ----

# No service is started on demand on it, so no real portal answers.
private_bus() {
  printf '<busconfig><type>session</type><listen>unix:path=%s/bus</listen><policy context="default">%s</policy></busconfig>\n' \
    "$work" '<allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>' > "$work/bus.conf"
  dbus-daemon --config-file="$work/bus.conf" --nofork > "$work/dbus.log" 2>&1 & pids+=($!)
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
  for _ in $(seq 100); do [ -S "$work/bus" ] && return; sleep 0.05; done
  fail "no private session bus"
}
