#!/usr/bin/env bash
# A paste lands at the caret and keeps what the control held: each paste
# method into GTK and Qt single- and multi-line controls and a terminal,
# each holding "XY" with the caret between X and Y, two pastes in a row (the
# first of two items). Also: non-ASCII text inserted at the cursor arrives
# once, "Jump cursor to next" moves on without typing a Tab, and the list
# opens at the caret of a dialog that has just appeared.
set -uo pipefail

program=${1:?program path}
edit_target=${2:?edit target path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${term:-} ${tgt:-} 2>/dev/null; rm -rf "$home"' EXIT
popup="List box"

returning_user
activate() { # window id
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    sleep 0.4
}
paste_keys() { # keys that pick in the list, after the hotkey
    xdotool key ctrl+v
    local list
    list=$(window "$popup") || return 1
    # Keys sent while the window manager still hands the focus over would
    # reach the target (an Enter closes a GTK dialog): wait until the list has it.
    for _ in $(seq 50); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$list" ] && break
        sleep 0.1
    done
    sleep 0.2
    xdotool key "$@"
    sleep 2
}

# Targets: open_<kind> shows one holding "XY" with the caret between X and
# Y; read_<kind> prints what it holds.
open_gtk_entry() {
    zenity --entry --title "GTK entry" --entry-text "XY" >"$home/gtk.out" 2>/dev/null &
    zen=$!
    activate "$(window "GTK entry")" && xdotool key End Left
}
read_gtk_entry() {
    xdotool key Return
    for _ in $(seq 50); do alive "$zen" || break; sleep 0.1; done
    cat "$home/gtk.out"
}
open_gtk_view() {
    printf 'XY' >"$home/view.txt"
    mousepad --disable-server "$home/view.txt" >/dev/null 2>&1 &
    tgt=$!
    activate "$(window "view.txt - Mousepad")" && xdotool key ctrl+Home End Left
}
read_gtk_view() {
    xdotool key ctrl+s
    sleep 0.5
    kill "$tgt" 2>/dev/null
    cat "$home/view.txt"
}
open_qt() { # line|text
    "$edit_target" "$1" "Qt $1" "$home/qt.out" "XY" >/dev/null 2>&1 &
    tgt=$!
    activate "$(window "Qt $1")" && xdotool key ctrl+End Left
}
open_qt_line() { open_qt line; }
open_qt_text() { open_qt text; }
read_qt() {
    kill "$tgt" 2>/dev/null
    cat "$home/qt.out"
}
read_qt_line() { read_qt; }
read_qt_text() { read_qt; }
open_terminal() { # a shell line editor holding "XY"; its line goes to a file when Enter ends it
    printf '%s\n' "read -e -r -i XY line; printf %s \"\$line\" >'$home/term.out'" >"$home/term.sh"
    rm -f "$home/term.out"
    terminal "Terminal" "bash '$home/term.sh'" && xdotool key Left
}
read_terminal() {
    xdotool key Return
    for _ in $(seq 30); do [ -e "$home/term.out" ] && break; sleep 0.1; done
    kill "$term" 2>/dev/null
    cat "$home/term.out" 2>/dev/null
}

# In the list the newest is first: three, two, one. First paste: entries 3
# and 1 (one, three); second paste: entry 2 (two).
start_program
copy one; copy two; copy three
stop_program
for method in 0 1 2; do
    start_program global=1 gpaste=$method
    for kind in gtk_entry gtk_view qt_line qt_text terminal; do
        # Ctrl+V does not paste in a terminal.
        [ "$method" = 0 ] && [ "$kind" = terminal ] && continue
        if ! "open_$kind"; then
            check "$kind opens" false
            continue
        fi
        paste_keys End ctrl+Home ctrl+space ctrl+Down Return
        paste_keys Down Return
        got=$("read_$kind")
        check "method $method into $kind: at the caret, text kept, twice in a row (got '$got')" \
            test "$got" = "XonethreetwoY"
    done
    stop_program
done

# Non-ASCII text inserted at the cursor arrives once, in either toolkit.
wide="Ünïcödé ✓ 日本"
start_program global=1 gpaste=2
copy "$wide"
for kind in gtk_entry qt_text; do
    "open_$kind" || { check "$kind opens" false; continue; }
    paste_keys Return
    got=$("read_$kind")
    check "inserting non-ASCII text into $kind (got '$got')" test "$got" = "X${wide}Y"
done
stop_program
# "Jump cursor to next" after each paste moves the focus on through the
# accessibility bus: no Tab is typed into a multi-line editor.
sed -i '1s/^031/431/' "$data/data.db"
start_program global=1 gpaste=0
copy one; copy two; copy three
"$edit_target" form "Qt form" "$home/qt.out" >/dev/null 2>&1 &
tgt=$!
if id=$(window "Qt form"); then
    activate "$id"
    paste_keys End ctrl+Home ctrl+space ctrl+Down Return
    got=$(read_qt)
    check "jumping from a Qt text edit to the line edit after it (got '$got')" test "$got" = "one|three"
fi
zenity --forms --title "GTK form" --add-entry First --add-entry Second --add-entry Third \
    >"$home/form.out" 2>/dev/null &
zen=$!
if id=$(window "GTK form"); then
    activate "$id"
    paste_keys End ctrl+Home ctrl+space ctrl+Down ctrl+space Return
    # The last jump left the focus on Cancel; the next control is OK.
    xdotool key Tab Return
    for _ in $(seq 50); do alive "$zen" || break; sleep 0.1; done
    got=$(cat "$home/form.out")
    check "jumping through the fields of a GTK form (got '$got')" test "$got" = "one|three|two"
fi
stop_program
sed -i '1s/^431/031/' "$data/data.db"

# A dialog whose focus we never saw announced (it opened before the
# program), before any click: the list opens at its entry's caret, where it
# opens once a click has put the caret there, not at the mouse pointer. The
# hotkey is held a moment, as a slow hand does: while it is down, GTK calls no
# control focused.
list_position() {
    xdotool keydown ctrl+v sleep 0.8 keyup v ctrl
    local id
    id=$(window "$popup") || return 1
    sleep 0.3
    xdotool getwindowgeometry "$id" | awk '/Position/ {print $2}'
    xdotool key Escape
    quiet gone "$popup"
}
xdotool mousemove 20 20
zenity --entry --title "Fresh dialog" >/dev/null 2>&1 &
zen=$!
if id=$(window "Fresh dialog"); then
    start_program
    fresh=$(list_position)
    xdotool mousemove --window "$id" 96 54 click 1 mousemove 20 20
    sleep 0.3
    clicked=$(list_position)
    check "the list opens at the caret of a fresh dialog ($fresh), as after a click ($clicked)" \
        test -n "$fresh" -a "$fresh" = "$clicked" -a "${fresh%,*}" -gt 100
    stop_program
fi
kill "$zen" 2>/dev/null
finish
