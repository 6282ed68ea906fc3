#!/usr/bin/env bash
# The tray menu on an X11 desktop: a right click on the icon opens it, and
# "Copy Item" puts an earlier copy back on the clipboard without the program
# taking it for a new copy.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user

"$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
check "the program runs in the tray" alive "$sk"
copy "first copy from the desktop"
copy "second copy from the desktop"

menu_shown() { # true once a window of the program other than its icon and its configuration window shows (up to 3 s)
    for _ in $(seq 30); do
        for id in $(xdotool search --onlyvisible --class '^scrapkeeper$' 2>/dev/null); do
            case $(xdotool getwindowname "$id" 2>/dev/null) in "Scrapkeeper Configuration"*) continue ;; esac
            width=$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {print $2}')
            [ "${width%x*}" -gt 64 ] 2>/dev/null && return 0
        done
        sleep 0.1
    done
    return 1
}
no_menu() { ! menu_shown; }
config_title="Scrapkeeper Configuration - $data/data.db"

tray=$(tray_icon)
check "the tray icon is embedded" test -n "$tray"
if [ -n "$tray" ]; then
    # While the window is shown the menu is not attached to the icon.
    xdotool mousemove --window "$tray" 4 4 click --repeat 2 --delay 80 1
    check "a double click opens the configuration window" quiet window "$config_title"
    xdotool mousemove --window "$tray" 4 4 click 3
    check "a right click then opens no menu" no_menu
    xdotool key Escape
    answer "$config_title" alt+F4
    check "the window goes back to the tray" gone "$config_title"

    xdotool mousemove --window "$tray" 4 4 click 3
    check "a right click opens the tray menu" menu_shown
    # From the bottom: "Set Current Category", "Copy Item"; into it, the second (older) copy.
    xdotool key Up Up Right
    sleep 0.3
    xdotool key Down Return
    sleep 0.5
    check "Copy Item put the older copy on the clipboard" \
        test "$(xclip -o -selection clipboard 2>/dev/null)" = "first copy from the desktop"
fi

stop_program
check "the exit is orderly" test $? -eq 0
check "both copies were kept" file_has "$data/data.db" "second copy from the desktop"
# Each copy stands in the file as often as the other, so no item was added for the one put back.
check "the copy put back was not captured again" \
    test "$(grep -c 'first copy from the desktop' "$data/data.db")" -eq \
    "$(grep -c 'second copy from the desktop' "$data/data.db")"
finish
