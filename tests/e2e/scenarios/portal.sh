#!/usr/bin/env bash
# In a Wayland session F5, F7, F8 and F9 are the desktop's shortcuts: a portal on a
# private session bus binds them and sends Record, Pause (held: its repeats do
# not toggle again), Pause, Stop. When the desktop closes the session, and when
# the portal restarts, the shortcuts are bound again and work; when it does not
# come back, and when the user declines the shortcuts, X11 grabs take the keys.
source "$(dirname "$0")/../scenario_lib.sh"

/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || { echo "needs python3-dbus and python3-gi"; exit 77; }
private_bus
start_portal() {  # [decline]: sets $portal
  /usr/bin/python3 "$tools/fake_portal.py" "$work/bindings" "$@" >> "$work/portal.log" 2>&1 & portal=$!
  pids+=("$portal")
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && return; sleep 0.1
  done
  fail "the fake portal did not start: $(cat "$work/portal.log")"
}
portal_call() {  # METHOD [ARGUMENT...]
  dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
    "rig.FakePortal.$1" "${@:2}" >/dev/null || fail "the portal could not $1 ${*:2}"
}
wait_log_times() {  # LINE N: waits until the program has logged it N times
  local n=0
  for _ in $(seq 100); do n=$(grep -cxF "$1" "$work/program.log" || true); [ "$n" -ge "$2" ] && return; sleep 0.1; done
  fail "the program logged '$1' $n times, not $2: $(cat "$work/program.log")"
}
bound="Tarnovox: Hot keys: the desktop's global shortcuts"

start_portal
write_ini 1
XDG_SESSION_TYPE=wayland start_program
wait_log "$bound"
printf 'record F5 Record\npause F7 Pause / Resume\nstop F9 Stop\nmark F8 Mark\n' | cmp - "$work/bindings" ||
  fail "bound shortcuts: $(cat "$work/bindings")"
play_signal 30
pressed=()
for id in record pause pause stop; do
  # The first pause is held: six Activated, one Deactivated.
  if [ "$id" = pause ] && [ ${#pressed[@]} = 1 ]; then portal_call Hold "string:$id" uint32:6
  else portal_call Activate "string:$id"; fi
  pressed+=("$(date +%s.%N)")
  [ "$id" = stop ] || sleep $([ ${#pressed[@]} = 2 ] && echo 2 || echo 3)
done
sleep 1
two_stretches_as_sent shortcuts 0.4 "${pressed[@]}"

# The desktop ends the session, then the portal itself goes and comes back.
portal_call CloseSession
wait_log_times "$bound" 2
kill "$portal"; wait "$portal" 2>/dev/null || true
wait_log_times "Tarnovox: Hot keys: waiting for the desktop's shortcuts" 2
start_portal
wait_log_times "$bound" 3
[ "$(wc -l < "$work/bindings")" = 12 ] || fail "bound again: $(cat "$work/bindings")"
portal_call Activate string:record
(sleep 1; portal_call Activate string:mark) & pids+=($!)
sleep 2
portal_call Activate string:stop; sleep 1
[ -s "$work/out/record2.wav" ] || fail "the shortcuts of the new session started no recording"
d=$(duration "$work/out/record2.wav")
echo "after the portal restarted: record2.wav lasts $d s"
near "$d" 2 0.5 || fail "record2.wav lasts $d s, expected 2 s"
mark=$(cut -f1,3 "$work/out/record2.labels.txt")
echo "the mark shortcut: $mark"
[ "${mark#*	}" = "Mark 1" ] && awk -v m="${mark%%	*}" -v d="$d" 'BEGIN { exit !(m > 0.5 && m < d) }' ||
  fail "record2.labels.txt holds '$mark', not Mark 1 within the take"

click_window 327 14  # About: its last line names the mechanism
for _ in $(seq 50); do xdotool search --name '^About Tarnovox$' >/dev/null 2>&1 && break; sleep 0.1; done
import -window root "$artifacts/portal-about.png"

# A portal that does not come back: the keys go to X11 grabs, said once.
kill "$portal"; wait "$portal" 2>/dev/null || true
for _ in $(seq 150); do grep -q "^Tarnovox: no desktop global shortcuts" "$work/program.log" && break; sleep 0.1; done
wait_log "Tarnovox: no desktop global shortcuts: the portal went away and did not come back"
wait_log "Tarnovox: Hot keys F5, F7, F8, F9: system-wide (X11)"
[ "$(grep -c "^Tarnovox: no desktop global shortcuts" "$work/program.log")" = 1 ] || fail "$(cat "$work/program.log")"

kill "$program"; wait "$program" 2>/dev/null || true
: > "$work/portal.log"
start_portal decline
XDG_SESSION_TYPE=wayland start_program
wait_log "Tarnovox: no desktop global shortcuts: the shortcuts were declined"
wait_log "Tarnovox: Hot keys F5, F7, F8, F9: system-wide (X11)"
passed
