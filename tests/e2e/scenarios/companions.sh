#!/usr/bin/env bash
# The file list and the tag editor go with the main window under a window
# manager: one taskbar entry, minimized together, back at the same place, and
# Close with both shown ends the program.
source "$(dirname "$0")/../scenario_lib.sh"

needs_window_manager
write_ini 1
start_window_manager
start_program
window=$(xdotool search --onlyvisible --name '^Tarnovox$' | head -n1)
xdotool windowmove --sync "$window" 100 50  # room below for the file list
click_window 377 279  # Show/Hide File List
sleep 0.5
read -r mx my < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {print x, $4}')
at() { xdotool search --onlyvisible --pid "$program" | while read -r w; do
         xwininfo -id "$w" | awk -v w="$w" -v x="$1" -v y="$2" \
           '/Absolute upper-left X/ {a=$4} /Absolute upper-left Y/ {if (a == x && $4 == y) print w}'; done; }
list=$(at "$mx" $((my + 299)))
[ -n "$list" ] || fail "no file list docked below the main window at $mx,$((my + 299))"
xdotool mousemove --window "$list" 377 278 click 1  # TAG Editor
sleep 0.5
editor=$(at $((mx + 399)) $((my + 299)))
[ -n "$editor" ] || fail "no tag editor beside the file list"
import -window root "$artifacts/companions-shown.png"
place() { xwininfo -id "$1" | awk '/Absolute upper-left/ {printf "%s ", $4} /Map State/ {print $3}'; }
before="$(place "$list")/$(place "$editor")"
echo "shown: main $mx,$my; file list, tag editor: $before"
# A taskbar lists the managed windows that are neither transient nor utility windows.
entries=$(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | while read -r w; do
  xprop -id "$w" _NET_WM_PID WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE |
    awk -v p="$program" -v w="$w" '/_NET_WM_PID/ && $3 == p {own=1} /window id/ {t=1}
      /WINDOW_TYPE\(ATOM\) = _NET_WM_WINDOW_TYPE_UTILITY/ {t=1} END {if (own && !t) print w}'; done)
[ "$(wc -w <<< "$entries")" = 1 ] && [ "$((entries))" = "$window" ] || fail "taskbar entries: $entries"
echo "taskbar with all three shown: one entry, the main window"
xdotool windowminimize --sync "$window"; sleep 0.5
[ "$(wm_state "$window")" = Iconic ] || fail "the main window did not minimize"
for w in "$list" "$editor"; do
  [ "$(wm_state "$w")" != Normal ] || fail "window $w stayed on screen: $(place "$w")"
done
echo "minimized: main $(wm_state "$window"), file list '$(wm_state "$list")' tag editor '$(wm_state "$editor")'"
sleep 0.6  # one status tick for the title
title=$(xprop -id "$window" WM_NAME | sed 's/.* = //')
echo "minimized title $title"
[ "$title" = '"Monitoring"' ] || fail "minimized title $title"
xdotool windowactivate "$window"; sleep 1  # as a taskbar restores it
after="$(place "$list")/$(place "$editor")"
echo "restored: $after main $(wm_state "$window")"
[ "$after" = "$before" ] || fail "not back where they were: $before then $after"
close_program
passed
