#!/usr/bin/env bash
# Under headless Weston: the windows go through XWayland, where (with no portal
# on the bus) F5 and F9 are X11 grabs; natively on Wayland there are no grabs
# and the commands still record.
source "$(dirname "$0")/../scenario_lib.sh"

start_weston() {  # exports the session's WAYLAND_DISPLAY, DISPLAY (XWayland), XDG_RUNTIME_DIR
  command -v weston >/dev/null && command -v Xwayland >/dev/null || { echo "needs weston and xwayland"; exit 77; }
  local run="$work/weston" display=
  mkdir -p "$run" && chmod 700 "$run"
  : > "$work/weston.log"  # read below before weston may have opened it
  env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$run" weston --backend=headless-backend.so --use-pixman \
    --width=1280 --height=800 --socket=wayland-e2e --xwayland --idle-time=0 --no-config --debug --log="$work/weston.log" \
    </dev/null >/dev/null 2>&1 & pids+=($!)
  for _ in $(seq 500); do  # weston logs the X display it reserved; XWayland starts on the first connection
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    [ -n "$display" ] && [ -S "$run/wayland-e2e" ] && break; sleep 0.02
  done
  [ -n "$display" ] || fail "weston did not start: $(cat "$work/weston.log")"
  export XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=wayland-e2e DISPLAY=$display
  unset QT_QPA_PLATFORM  # the program's own choice in a Wayland session
  for _ in $(seq 500); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.02; done
  fail "XWayland did not answer on $display"
}

start_weston
private_bus
write_ini 1
# A work area of the top-left 924x540 makes the program centre its window
# with Show/Hide File List under XWayland's pointer (the screen's centre):
# a click there works, moving the pointer would crash XWayland.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 924, 540"
start_program
wait_log "Tarnovox: Hot keys F5, F7, F8, F9: system-wide (X11)"
window=$(xdotool search --onlyvisible --name '^Tarnovox$' | head -n1)
place() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width/ {w=$2} /Height/ {h=$2} END {print x "," y " " w "x" h}'; }
echo "main window at $(place "$window")"
[ "$(place "$window")" = "262,120 399x299" ] || fail "main window at $(place "$window"), not centred in the work area"
import -window "$window" "$artifacts/weston-main-window.png"
xdotool click 1; sleep 1  # Show/Hide File List
list=$(xdotool search --onlyvisible --name '^Tarnovox$' | grep -vx "$window" | head -n1)
[ -n "$list" ] || fail "Show/Hide File List showed no window"
import -window "$list" "$artifacts/weston-file-list.png"
echo "file list at $(place "$list") in X"
# Where it shows is what Weston composites (the X position it reports can
# stay at its frame margin): the screen at 262,419 holds the file list.
(cd "$XDG_RUNTIME_DIR" && weston-screenshooter && mv wayland-screenshot-*.png "$artifacts/weston-screen.png") ||
  fail "no screenshot (weston-screenshooter)"
convert "$artifacts/weston-screen.png" -crop 399x299+262+419 +repage "$work/docked.png"
differ=$(compare -metric AE -fuzz 5% "$artifacts/weston-file-list.png" "$work/docked.png" null: 2>&1) || true
echo "file list picture against the screen at 262,419: $differ of 119301 pixels differ"
[ "${differ%% *}" -lt 1000 ] 2>/dev/null || fail "the file list is not docked at 262,419 ($differ pixels differ)"
play_signal 60  # both parts record from it, however slowly the second program starts
xdotool key F5; sleep 3
xdotool key F9; sleep 1
parts=$(stretches "$work/out/record1.wav") || fail "record1.wav differs from the played signal"
echo "record1.wav (F5, F9 under XWayland): frames, played offset: $parts"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record1.wav is not one stretch of the signal"
near "$(awk '{ print $1 / 44100 }' <<< "$parts")" 3 0.6 || fail "record1.wav is not about 3 s long"
kill "$program"; wait "$program" 2>/dev/null || true

QT_QPA_PLATFORM=wayland "$work/tarnovox" > "$work/program.log" 2>&1 & program=$!
pids+=("$program")
wait_log "Tarnovox: Hot keys F5, F7, F8, F9: in this window only"
timeout 10 "$work/tarnovox" --record || fail "tarnovox --record exited $?"
sleep 2
timeout 10 "$work/tarnovox" --stop || fail "tarnovox --stop exited $?"
sleep 1
kill -0 "$program" || fail "the native Wayland program ended: $(cat "$work/program.log")"
parts=$(stretches "$work/out/record2.wav") || fail "record2.wav differs from the played signal"
echo "record2.wav (commands, native Wayland): frames, played offset: $parts"
[ "$(wc -l <<< "$parts")" = 1 ] || fail "record2.wav is not one stretch of the signal"
passed
