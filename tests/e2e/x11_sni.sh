#!/usr/bin/env bash
# The tray icon where the notification area is a StatusNotifierItem host: the
# program registers its item with the watcher, the item answers for its
# tooltip and status, an activation opens the configuration window (such a
# host has no double click), the menu is exported over dbusmenu, and its Exit
# entry ends the program in order. A stand-in watcher plays the host.
set -uo pipefail

program=${1:?program path}
watcher=${2:?watcher path}
. "$(dirname "$0")/lib.sh"
trap 'kill ${sk:-} ${sniwatcher:-} 2>/dev/null; rm -rf "$home"' EXIT
command -v dbus-send >/dev/null || { echo "SKIP: dbus-send is missing"; exit 77; }
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "SKIP: no session bus (run under tools/with-xserver)"; exit 77; }
returning_user
config_title="Scrapkeeper Configuration - $data/data.db"

"$watcher" >"$home/watcher.log" 2>&1 &
sniwatcher=$!
watcher_ready() {
    for _ in $(seq 50); do
        grep -q '^ready$' "$home/watcher.log" && return 0
        sleep 0.1
    done
    return 1
}
if ! watcher_ready; then
    # Some other watcher owns the name on this bus; the test cannot play the host.
    cat "$home/watcher.log"
    echo "SKIP: the stand-in watcher could not start"
    exit 77
fi

start_program
check "the program runs" alive "$sk"

registered_item() { # the bus name of the item the program registered (up to 5 s)
    for _ in $(seq 50); do
        local item
        item=$(awk '$1 == "item" {print $2; exit}' "$home/watcher.log")
        [ -n "$item" ] && { echo "$item"; return 0; }
        sleep 0.1
    done
    return 1
}
item=$(registered_item)
check "the program registered an item with the watcher" test -n "$item"
check "no icon was embedded as well" test -z "$(tray_icon)"

call() { # object path, method, arguments...: the item's reply as dbus-send prints it
    dbus-send --session --print-reply --reply-timeout=5000 --dest="$item" "$@"
}
item_property() { # name
    call /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem "string:$1"
}
item_says() { # property, text: the property's reply holds the text
    item_property "$1" | grep -qi -- "$2"
}
menu_layout() {
    local menu
    menu=$(item_property Menu | awk '/object path/ {gsub(/"/, "", $NF); print $NF}')
    [ -n "$menu" ] || return 1
    call "$menu" com.canonical.dbusmenu.GetLayout int32:0 int32:-1 array:string:
}
# The top-level entries' labels, one a line, with mnemonic marks taken out.
menu_labels() {
    menu_layout | awk '
        /struct \{$/ { depth++ }
        /^ *\}/ { depth-- }
        /string "label"/ { getline; if (depth == 2) { sub(/^[^"]*"/, ""); sub(/"$/, ""); gsub(/[_&]/, ""); print } }'
}
# The dbusmenu id of the top-level entry labelled $1 (mnemonic marks ignored).
menu_id() {
    menu_layout | awk -v wanted="$1" '
        /struct \{$/ { depth++ }
        /^ *\}/ { depth-- }
        depth == 2 && /^ *int32 -?[0-9]+$/ { id = $2 }
        /string "label"/ { getline; if (depth == 2) { sub(/^[^"]*"/, ""); sub(/"$/, ""); gsub(/[_&]/, "");
                                                       if ($0 == wanted) { print id; exit } } }'
}
has_entry() { menu_labels | grep -qxF -- "$1"; }
menu_is_empty() { # the exported menu answers, and with no entries
    local layout
    layout=$(menu_layout) || return 1
    ! grep -q '"label"' <<<"$layout"
}
category_entries_are() { # the labels under "Set Current Category", space-separated
    local labels
    labels=$(menu_layout | awk '
        /struct \{$/ { depth++ }
        /^ *\}/ { depth--; if (depth < 2) inside = 0 }
        /string "label"/ { getline; sub(/^[^"]*"/, ""); sub(/"$/, ""); gsub(/[_&]/, "");
                           if (depth == 2) inside = ($0 == "Set Current Category"); else if (depth == 3 && inside) print }')
    [ "$(echo $labels)" = "$1" ]
}

if [ -n "$item" ]; then
    check "the item's tooltip names the program" item_says ToolTip "Scrapkeeper"
    check "the item's title names the program" item_says Title "Scrapkeeper"
    check "the item's status answers" item_says Status '"Active"'
    check "the item exports a menu" item_says Menu "object path \"/"

    check "the menu lists Configuration..." has_entry "Configuration..."
    check "the menu lists Exit Scrapkeeper" has_entry "Exit Scrapkeeper"
    check "the menu lists Copy Item" has_entry "Copy Item"
    check "the menu lists Set Current Category" has_entry "Set Current Category"

    # Twice: each time the menu is taken away and given back again.
    for round in first second; do
        check "the window is hidden before the $round activation" gone "$config_title"
        call /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:10 int32:790 >/dev/null
        check "the $round activation opens the configuration window" quiet window "$config_title"
        # The host draws whatever menu the item exports: none while the window shows.
        check "while the window shows the item offers no menu entries" menu_is_empty
        check "and the program still answers" alive "$sk"
        answer "$config_title" alt+F4
        check "the window goes back to the tray" gone "$config_title"
        check "then the menu is offered again" has_entry "Exit Scrapkeeper"
        check "with the categories in their submenu" category_entries_are "Mail Other"
    done

    exit_id=$(menu_id "Exit Scrapkeeper")
    check "the Exit entry has an id" test -n "$exit_id"
    if [ -n "$exit_id" ]; then
        call "$(item_property Menu | awk '/object path/ {gsub(/"/, "", $NF); print $NF}')" \
            com.canonical.dbusmenu.Event "int32:$exit_id" string:clicked variant:int32:0 uint32:0 >/dev/null
        ended=1
        for _ in $(seq 100); do
            alive "$sk" || { ended=0; break; }
            sleep 0.1
        done
        check "the Exit entry ends the program" test "$ended" -eq 0
        wait "$sk"
        check "the exit is orderly" test $? -eq 0
    fi
fi
alive "$sk" && stop_program
# The accessibility library's complaint about another test's program that
# is gone (its socket went with that test's home) is not this program's.
check "the program said nothing alarming" bash -c "! grep -v 'dbind-WARNING' '$home/sk.log' | grep -qi 'error\|warning'"
cat "$home/sk.log"
finish
