#!/usr/bin/env bash
# The road of an item from end to end: copy three texts, press Ctrl+V in
# another application, pick entries 3, 1 and 2, press Enter, and the texts
# arrive in that order — by Ctrl+V into a GTK entry, as keystrokes into a
# terminal (with the category's Enter after each), and inserted at the
# cursor of a GTK entry. Esc stops a long typing run.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
popup="List box"

returning_user
copy_three() {
    for word in one two three; do
        printf '%s' "$word" | xclip -selection clipboard -i >/dev/null 2>&1
        sleep 0.4
    done
}
# In the list the newest is first: three, two, one. Entries 3, 1, 2 are one, three, two.
pick_3_1_2() {
    quiet window "$popup" || return 1
    xdotool key End ctrl+Home ctrl+space ctrl+Down ctrl+space Return
}
typing_target() { # a terminal whose typed lines go to $home/typed.txt
    rm -f "$home/typed.txt"
    terminal "Typing target" "cat > '$home/typed.txt'"
}

# Simulate Ctrl-V into a GTK entry.
start_program
copy_three
entry "Ctrl-V target"
xdotool key ctrl+v
check "the list opens" pick_3_1_2
sleep 1.5
got=$(finish_entry "Ctrl-V target")
check "three texts arrive by Ctrl+V in the order picked (got '$got')" test "$got" = "onethreetwo"
check "the clipboard holds the last pasted item" test "$(xclip -selection clipboard -o 2>/dev/null)" = "two"
stop_program
items=$(grep -ac $'^0000\r$' "$data/data.db")
check "pasting captured no new item ($items items)" test "$items" -eq 3

# Enter keystrokes into a terminal, with the category's action: Enter once after each.
sed -i '1s/^031/231/' "$data/data.db"
start_program global=1 gpaste=1
typing_target
xdotool key ctrl+v
check "the list opens over the terminal" pick_3_1_2
sleep 2.5
kill "$term" 2>/dev/null
check "typed into the terminal in order, Enter after each ($(tr '\n' '|' <"$home/typed.txt"))" \
    test "$(tr '\n' '|' <"$home/typed.txt")" = "one|three|two|"
stop_program

# Tab after each paste moves on to the next field of a form.
sed -i '1s/^231/131/' "$data/data.db"
start_program
zenity --forms --title "Form target" --add-entry First --add-entry Second --add-entry Third \
    >"$home/form.out" 2>/dev/null &
zen=$!
if id=$(window "Form target"); then
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.5
    xdotool key ctrl+v
    check "the list opens over the form" pick_3_1_2
    sleep 2
    # The last Tab left the focus on Cancel; the next control is OK.
    xdotool key Tab Return
    for _ in $(seq 50); do kill -0 "$zen" 2>/dev/null || break; sleep 0.1; done
    got=$(cat "$home/form.out")
    check "Tab after each paste fills the form's fields in turn (got '$got')" test "$got" = "one|three|two"
fi
kill "$zen" 2>/dev/null
stop_program
sed -i '1s/^131/231/' "$data/data.db"

# Insert at cursor into a GTK entry, through the accessibility bus.
sed -i '1s/^231/031/' "$data/data.db"
start_program global=1 gpaste=2
entry "Insert target"
xdotool key ctrl+v
check "the list opens over the entry" pick_3_1_2
sleep 1.5
got=$(finish_entry "Insert target")
check "three texts are inserted at the cursor in order (got '$got')" test "$got" = "onethreetwo"
stop_program

# Esc stops a long typing run.
long=$(printf 'x%.0s' $(seq 1 600))
start_program global=1 gpaste=1
printf '%s' "$long" | xclip -selection clipboard -i >/dev/null 2>&1
sleep 0.5
typing_target
xdotool key ctrl+v
quiet window "$popup" && xdotool key Return
sleep 0.3
xdotool key Escape
sleep 1
xdotool key Return
sleep 0.3
kill "$term" 2>/dev/null
typed=$(tr -d '\n' <"$home/typed.txt" | wc -c)
check "Esc stops the typing run early ($typed of 600 characters)" test "$typed" -gt 0 -a "$typed" -lt 600
check "the hotkey works again after the run" bash -c "xdotool key ctrl+v; sleep 0.8; xdotool search --onlyvisible --name '^$popup\$' >/dev/null"
xdotool key Escape
stop_program
finish
