#!/usr/bin/env bash
# Switching group lists from the List Setup toolbar as a user does it: the
# list saved under another name, another one opened through "Open...", the
# first one brought back from the recent entries, a new one created and
# named, and a file that holds no list refused. Needs DISPLAY with a window
# manager and a tray host (tools/with-xserver provides them).
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} 2>/dev/null; rm -rf "$home"' EXIT
title() { echo "Scrapkeeper Configuration - $data/$1"; }

returning_user
printf '031\r\nRecipes\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n' >"$data/recipes.db"
printf 'just a note\r\n' >"$data/note.db"
start_program

at() { # x y: screen position of a point of the configuration window
    eval "$(xdotool getwindowgeometry --shell "$config")"
    echo "$((X + $1)) $((Y + $2))"
}
press() { read -r px py < <(at "$1" "$2"); xdotool mousemove "$px" "$py" click 1; sleep 0.5; }
new_list() { press 117 70; }
group_list_menu() { press 142 70; }
save_list() { press 167 70; }
ok() { press 417 539; }
in_dialog() { # title, path typed into its file name
    local id
    id=$(window "$1") || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 10 "$2"
    xdotool key Return
    sleep 0.5
}
menu_entry() { # the group-list menu's entry at this position: 1 "Open...", 2 to 6 the recent files
    group_list_menu
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    sleep 0.5
}
file_holds() { tr -d '\r' <"$1" | grep -qx "$2"; }

check "the configuration window opens" open_configuration "$(title data.db)"

save_list
check "the save dialog comes" in_dialog "Save As" "$data/copy"
check "the list is saved under the name with .db added" file_holds "$data/copy.db" "Mail"
check "the caption names the new file" quiet window "$(title copy.db)"

menu_entry 1
check "Open... shows its dialog" in_dialog "Open Data File" "$data/recipes.db"
check "the chosen list is shown" quiet window "$(title recipes.db)"

# Newest first: recipes.db, copy.db, data.db.
menu_entry 4
check "a recent entry opens its list" quiet window "$(title data.db)"

menu_entry 1
in_dialog "Open Data File" "$data/note.db"
# Its copy is kept, no backup is found, and the list in use stays open: three words.
check "a file that is no list is refused with a word" answer "Error" Return
answer "Error" Return
answer "Error" Return
check "no more is said" gone "Error"
check "the list in use stays" quiet window "$(title data.db)"

new_list
check "the new list's name is asked" in_dialog "Save As" "$data/fresh"
check "its first category is asked" quiet window "Category Properties"
xdotool type --delay 10 "Snippets"
xdotool key Return
check "the new list is saved at once" file_holds "$data/fresh.db" "Snippets"
check "the caption names it" quiet window "$(title fresh.db)"
check "the note is left as it was" file_holds "$data/note.db" "just a note"
ok
check "OK sends the window back to the tray" gone "$(title fresh.db)"

stop_program
check "the recent list keeps the files, newest first" \
    bash -c "tr -d '\r' <'$data/dblist.txt' | head -n3 | tr '\n' '|' | grep -qx '$data/fresh.db|$data/data.db|$data/recipes.db|'"
check "the next start opens the new list" grep -qx "currdb=$data/fresh.db" "$home/.config/Halvorik/Scrapkeeper1.0.conf"
finish
