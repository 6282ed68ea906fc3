#!/usr/bin/env bash
# Editing the collection in the configuration window as a user does it: an
# item dragged to another category and kept with OK; a category deleted and
# brought back with Cancel; the find window. Needs DISPLAY with a window
# manager and a tray host (tools/with-xserver provides them).
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} 2>/dev/null; rm -rf "$home"' EXIT
config_title="Scrapkeeper Configuration - $data/data.db"

returning_user
start_program
copy "first capture"
copy "second capture"

# Screen position of a point of the window, as the window manager reports its origin.
at() { # x y
    eval "$(xdotool getwindowgeometry --shell "$config")"
    echo "$((X + $1)) $((Y + $2))"
}
row() { at 176 $((97 + 18 * $1)); }  # the tree's row $1, 0 at the top
press() { read -r px py < <(at "$1" "$2"); xdotool mousemove "$px" "$py" click 1; sleep 0.3; }
ok() { press 417 539; }
cancel() { press 503 539; }
data_file_has_order() { # the aliases stand in the data file in this order
    local content
    content=$(tr -d '\r' <"$data/data.db" | tr '\n' '|')
    local pattern=""
    for alias in "$@"; do pattern="$pattern.*$alias"; done
    [[ "$content" =~ ${pattern#.\*} ]]
}

check "the configuration window opens" open_configuration
# The tree opens on Mail; Right shows its two captures (rows 1 and 2), Other is row 3.
xdotool key Right
sleep 0.3
read -r x y < <(row 2)
read -r tx ty < <(row 3)
xdotool mousemove "$x" "$y" mousedown 1
for step in 4 8 12 18 24 30 36 40; do xdotool mousemove "$x" $((y + step * (ty - y) / 40)); sleep 0.05; done
sleep 0.3
xdotool mouseup 1
sleep 0.5
ok
check "OK sends the window back to the tray" gone "$config_title"
check "the dragged item is kept in the other category" \
    data_file_has_order "Mail" "second capture" "Other" "first capture"

# Delete the category Other (it holds an item: the question comes), then Cancel.
check "the configuration window opens again" open_configuration
read -r x y < <(row 1)
xdotool mousemove "$x" "$y" click 1
sleep 0.3
xdotool key Delete
check "deleting a full category asks first" answer "Confirmation" alt+y
sleep 0.5
cancel
check "Cancel sends the window back to the tray" gone "$config_title"

# Find: a text in the middle of an item, in lower case.
check "the configuration window opens a third time" open_configuration
press 325 70   # the find button
check "the find window opens" quiet window "Find"
xdotool type --delay 20 "CAPTURE"
xdotool key Return
sleep 0.5
check "a match is found, nothing is reported" bash -c "! xdotool search --onlyvisible --name '^Done\$' >/dev/null"
xdotool key Return
check "past the last match the find window says so" answer "Done" Return
answer "Find" Escape

stop_program
check "the deleted category came back with Cancel and was saved at exit" \
    data_file_has_order "Mail" "second capture" "Other" "first capture"
finish
