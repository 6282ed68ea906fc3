#!/usr/bin/env bash
# Writing a text item in the item editor as a user does it: typed text, one
# word made bold, OK; the data file then holds the item as RTF with the bold
# word. Then Ctrl+E in the pop-up list edits a captured item in the same
# editor. Needs DISPLAY with a window manager and a tray host.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} 2>/dev/null; rm -rf "$home"' EXIT
config_title="Scrapkeeper Configuration - $data/data.db"
shots=${SHOTS:-}

returning_user
start_program

at() { # window x y: screen position of a point of the window
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + $2)) $((Y + $3))"
}
press() { read -r px py < <(at "$@"); xdotool mousemove "$px" "$py" click 1; sleep 0.3; }
shot() { # name: a screenshot of the screen when SHOTS names a folder
    [ -n "$shots" ] && import -window root "$shots/$1.png"; true; }
check "the configuration window opens" open_configuration
press "$config" 224 70   # the add button opens its menu
press "$config" 288 114  # "Add Text Item..."
check "the item editor opens" quiet window "List box item"
editor=$(window "List box item")
xdotool windowactivate --sync "$editor" >/dev/null 2>&1
sleep 0.3
xdotool type --delay 30 "plain bold"
sleep 0.3
shot typed
xdotool key shift+ctrl+Left   # selects "bold"
sleep 0.2
press "$editor" 450 36   # "Use Rich Text Format text"
press "$editor" 338 66   # bold
shot bold
press "$editor" 268 588  # OK
check "OK closes the editor" gone "List box item"
press "$config" 417 539  # the configuration window's OK saves the data file
check "OK sends the configuration window back to the tray" gone "$config_title"
check "the data file holds the item as RTF" file_has "$data/data.db" '{\rtf'
check "the bold word is bold in it" file_has "$data/data.db" '\b bold}'
check "the plain word is not" file_has "$data/data.db" '\plain plain \plain'

check "the alias is the plain text" file_has "$data/data.db" $'\r\nplain bold\r\n'
shot saved

# Ctrl+E on the list's focused entry, a capture, opens the editor over the list.
copy "captured"
entry "Target"
xdotool key ctrl+v
check "the pop-up list opens" quiet window "List box"
xdotool key ctrl+e
check "Ctrl+E opens the editor" quiet window "List box item"
editor=$(window "List box item")
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 30 "edited"
shot list-edit
press "$editor" 268 588  # OK
check "OK closes the editor" gone "List box item"
check "the list stays open after the edit" quiet window "List box"
xdotool key Escape
sleep 0.5
finish_entry "Target" >/dev/null
stop_program
check "the edited item and its alias reach the data file" file_has "$data/data.db" $'\r\nedited\r\n'
check "the captured text is gone" bash -c "! grep -aq \$'^captured\r\$' '$data/data.db'"

# Edit More: three items of the category get "Press Enter key" at once.
start_program
copy "third"
copy "fourth"   # Mail now: fourth, third, edited, plain bold
check "the configuration window opens again" open_configuration
press "$config" 115 97             # opens Mail in the tree
xdotool mousemove $(at "$config" 196 133) click --repeat 2 --delay 80 1  # edits its second item, "third"
check "the item editor opens on it" quiet window "List box item"
editor=$(window "List box item")
sleep 0.5
press "$editor" 70 297            # "<< Edit More"
check "the list of the category opens beside the editor" quiet window "Mail"
list=$(window "Mail")
press "$list" 60 13               # fourth
xdotool keydown ctrl; press "$list" 60 27; press "$list" 60 41; xdotool keyup ctrl  # with third and edited
press "$editor" 355 373           # the action box
xdotool key Down Down Return      # "Press Enter key"
sleep 0.3
shot edit-more
press "$editor" 268 588           # OK
check "OK closes the editor and its list" gone "List box item"
press "$config" 417 539           # the configuration window's OK saves
check "OK sends the configuration window back to the tray" gone "$config_title"
enter_flags() { grep -ac $'^20[03]1\r$' "$data/data.db"; }
check "three items press Enter once after pasting" test "$(enter_flags)" = 3
check "the item not selected is left alone" test "$(grep -ac $'^0031\r$' "$data/data.db")" = 1
stop_program
finish
