#!/usr/bin/env bash
# A screen reader's view over AT-SPI, on a private session bus with its own
# accessibility bus: every button of the main window is a push button with a
# name, Tab goes round them, and Space on Record records a take.
source "$(dirname "$0")/../scenario_lib.sh"

/usr/bin/python3 -c 'import pyatspi' 2>/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] ||
  { echo "needs python3-pyatspi and at-spi2-core"; exit 77; }
private_bus
/usr/libexec/at-spi-bus-launcher --launch-immediately > "$work/atspi.log" 2>&1 & pids+=($!)
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.a11y.Bus 2>/dev/null | grep -q true && break; sleep 0.1
done
seen() { /usr/bin/python3 "$tools/atspi_window.py" "$@"; }

write_ini 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_program
seen buttons > "$work/buttons" || fail "no accessible main window: $(cat "$work/atspi.log")"
cat "$work/buttons"
expected="Output Folder|Record Settings|Help|About|Minimize|Close|Recording Control|Record F5|Pause/Resume F7|Stop F9|Play|Show/Hide File List"
[ "$(grep -c '^push button|' "$work/buttons")" = 12 ] || fail "not twelve push buttons"
IFS='|' read -ra names <<< "$expected"
for name in "${names[@]}"; do grep -qxF "push button|$name" "$work/buttons" || fail "no push button '$name'"; done

# Tab from the first button round to it again, Record the eighth.
xdotool windowfocus --sync "$window"; sleep 0.5
visited=("$(seen focused)")
for _ in $(seq 12); do xdotool key Tab; sleep 0.2; visited+=("$(seen focused)"); done
echo "Tab: ${visited[*]}"
[ "${visited[0]}" = "${visited[12]}" ] || fail "Tab does not come round: ${visited[*]}"
[ "$(printf '%s\n' "${visited[@]:0:12}" | sort -u | wc -l)" = 12 ] || fail "Tab does not reach all twelve"
while [ "$(seen focused)" != "Record F5" ]; do xdotool key Tab; sleep 0.2; done
play_signal 10
xdotool key space; sleep 2; xdotool key F9; sleep 1
[ -s "$work/out/record1.wav" ] || fail "Space on Record recorded nothing"
stretches "$work/out/record1.wav" > /dev/null || fail "record1.wav differs from the played signal"
echo "record1.wav lasts $(duration "$work/out/record1.wav") s"
passed
