#!/usr/bin/env bash
# The recorder on the desktop, over a private session bus: a panel's
# StatusNotifierWatcher takes the status icon, whose status, icon and tooltip
# follow F5, F7, F7, F9 within a second, whose menu entries Record and Stop
# record a take, whose click brings the window back, and which registers again
# with a panel that restarts; a notification service hears of each take while
# another window is active, and of none while the main window is. Without the
# service, and with one that does not answer, takes are as long as the keys say.
source "$(dirname "$0")/../scenario_lib.sh"

/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || { echo "needs python3-dbus and python3-gi"; exit 77; }
needs_window_manager
private_bus
panel() { /usr/bin/python3 "$tools/fake_panel.py" "$@"; }
start_service() {  # NAME ARGUMENT...: sets $service once NAME is on the bus
  /usr/bin/python3 "$tools/fake_panel.py" "${@:2}" >> "$work/panel.log" 2>&1 & service=$!
  pids+=("$service")
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      "string:$1" 2>/dev/null | grep -q true && return; sleep 0.1
  done
  fail "the fake $1 did not start: $(cat "$work/panel.log")"
}
# A key or menu entry (ACTION), then within 1 s the item's Status must be
# STATUS and its tooltip hold TEXT; $sent is when the action began, $icon the
# item's picture then and $colour its colour where the red dot goes.
shows() {  # STATUS TEXT ACTION...
  local line took
  line=$(panel after "$work/items" "$@" 2>&1) || fail "the status icon: $line"
  echo "$line"
  took=${line##* }; line=${line% *}; sent=${line##* }
  near "$took" 0.5 0.5 || fail "the status icon showed $1 '$2' after $took s"
  icon=$(cut -d' ' -f2 <<< "$line"); colour=$(cut -d' ' -f3 <<< "$line")
}
red() { [[ $1 =~ ^[e-f][0-9a-f][0-3][0-9a-f][0-3][0-9a-f]$ ]]; }
notices_are() {  # PATTERN...: the notifications since the last check, exactly, one a pattern (grep -E)
  sleep 0.5
  local got=() i
  mapfile -t got < "$work/notices"
  [ ${#got[@]} = $# ] || fail "notifications: $(cat "$work/notices"), expected $*"
  for ((i = 1; i <= $#; i++)); do
    grep -qEx "${!i}" <<< "${got[i - 1]}" || fail "notification '${got[i - 1]}', expected '${!i}'"
  done
  : > "$work/notices"
}
take_lasts() {  # FILE SECONDS
  [ -s "$work/out/$1" ] || fail "no $1"
  local d; d=$(duration "$work/out/$1")
  echo "$1 lasts $d s"
  near "$d" "$2" 0.4 || fail "$1 lasts $d s, expected $2 s"
  stretches "$work/out/$1" > /dev/null || fail "$1 differs from the played signal"
}

touch "$work/notices"
start_service org.kde.StatusNotifierWatcher serve "$work/items" "$work/notices"
write_ini 1
start_program
for _ in $(seq 50); do [ -s "$work/items" ] && break; sleep 0.1; done
[ -s "$work/items" ] || fail "no status icon registered: $(cat "$work/program.log")"
play_signal 60
focus_other_window; sleep 0.5

shows Active "Monitoring" true; idle=$icon; red "$colour" && fail "monitoring shows a red dot: $colour"
shows NeedsAttention "Recording record1.wav/00:00:00" xdotool key F5; recording=$icon
red "$colour" || fail "no red dot while recording: $colour"
sleep 2
shows Active "Paused record1.wav/00:00:0" xdotool key F7; paused=$icon
shows NeedsAttention "Recording record1.wav" xdotool key F7
shows Active "Monitoring" xdotool key F9
[ "$idle" = "$icon" ] && [ "$idle" != "$recording" ] && [ "$recording" != "$paused" ] && [ "$idle" != "$paused" ] ||
  fail "the icons of monitoring, recording and paused are not three: $idle $recording $paused $icon"
notices_are "Recording record1.wav" "Paused record1.wav \(0:0[23]\)" "Resumed record1.wav" "Saved record1.wav \(0:0[23]\)"

shows NeedsAttention "Recording record2.wav/00:00:00" xdotool key F5; t0=$sent
sleep 2
shows Active "Monitoring" xdotool key F9
notices_are "Recording record2.wav" "Saved record2.wav \(0:0[23]\)"
take_lasts record2.wav "$(awk -v a="$t0" -v b="$sent" 'BEGIN { print b - a }')"

# The menu, as a panel calls it.
shows NeedsAttention "Recording record3.wav/00:00:00" click Record; t0=$sent
sleep 2
shows Active "Monitoring" click Stop
take_lasts record3.wav "$(awk -v a="$t0" -v b="$sent" 'BEGIN { print b - a }')"
notices_are "Recording record3.wav" "Saved record3.wav \(0:0[23]\)"

# While the user looks at the main window it tells them itself.
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5  # Qt takes a moment to see the focus move
shows NeedsAttention "Recording record4.wav" xdotool key F5; sleep 1
shows Active "Monitoring" xdotool key F9
notices_are

# No notification service, then one that does not answer: the window thread
# goes on, the takes are as long as the keys say.
kill "$service"; wait "$service" 2>/dev/null || true
# A panel that starts again takes the item again.
: > "$work/items"
start_service org.kde.StatusNotifierWatcher serve "$work/items"
for _ in $(seq 20); do [ -s "$work/items" ] && break; sleep 0.1; done
[ -s "$work/items" ] || fail "the status icon did not register with the restarted panel"
shows Active "Monitoring" true
focus_other_window; sleep 0.5
for n in 5 6; do
  [ "$n" = 6 ] && start_service org.freedesktop.Notifications notices "$work/notices" hang
  t0=$(date +%s.%N); xdotool key F5; sleep 2
  t1=$(date +%s.%N); xdotool key F9; sleep 1
  take_lasts "record$n.wav" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')"
done
sleep 3  # the service takes the second notification once it answered the first
notices_are "Recording record6.wav" "Saved record6.wav \(0:0[23]\)"

# A click on the icon itself brings the minimized window back.
start_window_manager
xdotool windowminimize "$window"
for _ in $(seq 20); do [ "$(wm_state "$window")" = Iconic ] && break; sleep 0.1; done
[ "$(wm_state "$window")" = Iconic ] || fail "the window manager did not minimize the window"
panel activate "$work/items"
for _ in $(seq 20); do [ "$(wm_state "$window")" = Normal ] && break; sleep 0.1; done
[ "$(wm_state "$window")" = Normal ] || fail "the window did not come back on a click on the icon"
passed
