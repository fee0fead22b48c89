#!/usr/bin/env bash
# In a Wayland session F5, F7 and F9 are the desktop's shortcuts: a portal on a
# private session bus binds them and sends Record, Pause, Pause, Stop. Shortcuts
# the user declines leave the keys to X11 grabs.
source "$(dirname "$0")/../scenario_lib.sh"

/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || { echo "needs python3-dbus and python3-gi"; exit 77; }
private_bus
/usr/bin/python3 "$tools/fake_portal.py" "$work/bindings" > "$work/portal.log" 2>&1 & portal=$!
pids+=("$portal")
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && break; sleep 0.1
done
write_ini 1
XDG_SESSION_TYPE=wayland start_program
wait_log "Tarnovox: Hot keys: the desktop's global shortcuts"
printf 'record F5 Record\npause F7 Pause / Resume\nstop F9 Stop\n' | cmp - "$work/bindings" ||
  fail "bound shortcuts: $(cat "$work/bindings")"
play_signal 20
pressed=()
for id in record pause pause stop; do
  dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
    rig.FakePortal.Activate "string:$id" >/dev/null || fail "the portal could not send $id"
  pressed+=("$(date +%s.%N)")
  [ "$id" = stop ] || sleep $([ ${#pressed[@]} = 2 ] && echo 2 || echo 3)
done
sleep 1
two_stretches_as_sent shortcuts 0.4 "${pressed[@]}"

click_window 327 14  # About: its last line names the mechanism
for _ in $(seq 50); do xdotool search --name '^About Tarnovox$' >/dev/null 2>&1 && break; sleep 0.1; done
import -window root "$artifacts/portal-about.png"

kill "$program" "$portal"; wait "$program" "$portal" 2>/dev/null || true
/usr/bin/python3 "$tools/fake_portal.py" "$work/bindings" decline > "$work/portal.log" 2>&1 & pids+=($!)
XDG_SESSION_TYPE=wayland start_program
wait_log "Tarnovox: no desktop global shortcuts: the shortcuts were declined"
wait_log "Tarnovox: Hot keys F5, F7, F9: system-wide (X11)"
passed
