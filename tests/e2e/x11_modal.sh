#!/usr/bin/env bash
# A modal dialog over the configuration window and a window manager that
# iconifies a dialog's owner with it: minimising either while the dialog is
# up must not send the program to the tray under a dialog nobody can see.
# Both come back; the tray icon and the hotkey keep working. Needs DISPLAY
# with a window manager and a tray host.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
config_title="Scrapkeeper Configuration - $data/data.db"

returning_user
printf '031\r\nMail\r\n0\r\n0\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\n031\r\nOther\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n' \
    >"$data/data.db"
start_program

at() { # window x y: screen position of a point of the window
    local X=0 Y=0
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    echo "$((X + $2)) $((Y + $3))"
}
shown() { # window id: mapped and not iconified, waiting up to 5 s
    for _ in $(seq 50); do
        xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Normal' \
            && ! xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q HIDDEN && return 0
        sleep 0.1
    done
    return 1
}
list_opens() { # in a terminal: the hotkey opens the pop-up list, Esc closes it again
    terminal "Target" || return 1
    xdotool key ctrl+v
    window "List box" >/dev/null || return 1
    xdotool key Escape
    gone "List box"
}

check "the configuration window opens" open_configuration
xdotool mousemove $(at "$config" 249 69) click 1  # the edit button, on the selected category
dialog=$(window "Category Properties")
check "the category dialog opens" test -n "$dialog"
xdotool windowminimize "$config"
sleep 1
check "the configuration window minimised under it comes back" shown "$config"
check "and so does the dialog" shown "$dialog"
check "Escape still cancels the dialog" answer "Category Properties" Escape
check "the dialog is gone" gone "Category Properties"

xdotool mousemove $(at "$config" 115 97) click 1  # opens "Mail"
sleep 0.3
xdotool mousemove $(at "$config" 180 115) click --repeat 2 --delay 80 1  # its item
editor=$(window "List box item")
check "the item editor opens" test -n "$editor"
xdotool windowminimize "$editor"
sleep 1
check "the minimised editor comes back" shown "$editor"
check "with the configuration window" shown "$config"
check "Escape cancels the editor" answer "List box item" Escape
check "the editor is gone" gone "List box item"

# With no dialog up, minimising is going to the tray, as ever.
xdotool windowminimize "$config"
check "a minimise without a dialog goes to the tray" gone "$config_title"
check "where the hotkey opens the list" list_opens
kill "$term" 2>/dev/null
check "and the tray icon opens the window again" open_configuration
check "the program still runs" alive "$sk"
finish
