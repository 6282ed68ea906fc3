#!/usr/bin/env bash
# The pop-up list on a Wayland desktop (sway), as a user meets it: the
# configuration window closes out of sight although sway cannot minimise, so
# Ctrl+V, bound in sway to `scrapkeeper popup` as the README says, opens the
# list, floating over a GTK entry at its caret; Enter pastes the chosen row
# with Ctrl+V at the caret (the binding does not catch the program's own
# Ctrl+V) with the entry's other text kept, also after a copy made while the
# list is open; several rows picked arrive in the order picked; `scrapkeeper
# paste 2 1` pastes two items in that order; a
# terminal (foot) gets its own paste key; insert at cursor works through the
# accessibility bus; while the configuration window is open, the bound Ctrl+V
# goes on to the window in front.
set -uo pipefail

program=${1:?program path}
press=${2:?key helper}
. "$(dirname "$0")/wl_lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${held:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
list_node() { # the pop-up list, waiting up to 10 s
    for _ in $(seq 100); do
        local n
        n=$(node '.name == "List box" and .visible == true')
        [ -n "$n" ] && { echo "$n"; return 0; }
        sleep 0.1
    done
    return 1
}
keys() { "$press" "$@"; sleep 0.2; }
wl_finish_entry() { # confirms the entry titled $1 and prints what it held
    wl_focus "$(wl_window "$1")"
    "$press" Return
    for _ in $(seq 50); do kill -0 "$zen" 2>/dev/null || break; sleep 0.1; done
    cat "$home/$1.out"
}
wl_entry() { # opens a GTK entry titled $1 holding $2 with the caret $3 characters before its end
    zenity --entry --title "$1" --entry-text "" >"$home/$1.out" 2>/dev/null &
    zen=$!
    local id
    id=$(wl_window "$1") || return 1
    wl_focus "$id"
    wtype "$2"
    for _ in $(seq "$3"); do "$press" Left; done
    sleep 0.3
}
config='(.name // "" | startswith("Scrapkeeper Configuration"))'

# The headless seat has no keyboard of its own: one is held for the whole
# test, as a user's is, so windows keep the keyboard between the tools' keys.
"$press" --hold &
held=$!
sleep 0.3
# Items are pasted with Ctrl+V, the usual method.
returning_user
start_program global=1 gpaste=0
check "the program runs" alive "$sk"

# sway has no minimised state: the window closes out of sight, and the list is armed.
"$program" show
check "show opens the configuration window" quiet node "$config and .visible == true"
sleep 0.5
swaymsg "[pid=$sk] kill" >/dev/null 2>&1
check "the close box takes the window off the screen" wl_gone "$config"
for word in one two three; do wl_copy "$word"; done

# The user's binding, as the README gives it; the command reaches this
# program's own socket.
swaymsg "bindsym --to-code Ctrl+v exec env XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR $program popup --hotkey" >/dev/null
wl_entry "Enter target" "Dear  friend" 7
keys ctrl+v
check "Ctrl+V bound in sway opens the list after the window was closed" quiet list_node
shot wl-popup-open
if list=$(list_node) && target=$(node '.name == "Enter target"'); then
    read -r lx ly < <(jq -r '"\(.rect.x) \(.rect.y)"' <<<"$list")
    read -r tx ty tw th < <(jq -r '"\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"' <<<"$target")
    check "the list floats" test "$(jq -r .type <<<"$list")" = floating_con
    # The caret stands after "Dear " on the entry's first line: the list opens
    # just under it, not in the output's corner nor its middle.
    check "the list opens at the entry's caret ($lx,$ly; entry $tx,$ty)" \
        test "$lx" -gt "$tx" -a "$lx" -lt $((tx + 200)) -a "$ly" -gt "$ty" -a "$ly" -lt $((ty + 150))
fi
# Rows: three, two, one. Pick "two", copy meanwhile, press Enter.
keys Down
wl_copy "copied while open"
keys Return
check "Enter closes the list" wl_gone '.name == "List box"'
sleep 1
got=$(wl_finish_entry "Enter target")
check "Enter pastes the chosen row's item at the caret, the entry's other text kept (got '$got')" \
    test "$got" = "Dear two friend"

# Several rows picked in the list arrive in the order picked: the last row,
# then the first, then the second.
wl_entry "Several" "[]" 1
count=$("$program" list --json | jq length)
rows=("$("$program" read 1)" "$("$program" read 2)" "$("$program" read "$count")")
keys ctrl+v
check "the list opens for several" quiet list_node
keys End ctrl+Home ctrl+space ctrl+Down ctrl+space Return
check "Enter closes the list after several" wl_gone '.name == "List box"'
sleep 1.5
got=$(wl_finish_entry "Several")
check "several rows arrive by Ctrl+V in the order picked (got '$got')" test "$got" = "[${rows[2]}${rows[0]}${rows[1]}]"

second=$("$program" read 2)
first=$("$program" read 1)
wl_entry "Two items" "A  B" 2
"$program" paste 2 1
sleep 1
got=$(wl_finish_entry "Two items")
check "paste 2 1 pastes both in that order at the caret (got '$got')" test "$got" = "A $second$first B"

# A terminal takes its paste key, Ctrl+Shift+V, which the binding does not catch either.
first=$("$program" read 1)
foot -T "Terminal target" sh -c "read -r line; printf '%s' \"\$line\" >'$home/foot.out'" >/dev/null 2>&1 &
term=$!
wl_focus "$(wl_window "Terminal target")"
keys ctrl+v
check "the list opens over the terminal" quiet list_node
keys Return
check "Enter closes the list over the terminal" wl_gone '.name == "List box"'
sleep 1
"$press" Return
for _ in $(seq 50); do kill -0 "$term" 2>/dev/null || break; sleep 0.1; done
check "Enter pastes the first row into the terminal (got '$(cat "$home/foot.out" 2>/dev/null)')" \
    test "$(cat "$home/foot.out" 2>/dev/null)" = "$first"
# While the configuration window is open the list is off: the bound Ctrl+V
# goes on to the window in front and pastes there, as it would unbound.
"$program" show
check "show opens the configuration window again" quiet node "$config and .visible == true"
wl_copy "passed on"
wl_entry "Pass-on target" "()" 1
keys ctrl+v
sleep 1
check "no list opens while the configuration window is open" bash -c "[ -z \"\$(swaymsg -t get_tree | jq -c '.. | objects | select(.name? == \"List box\" and .visible == true)')\" ]"
got=$(wl_finish_entry "Pass-on target")
check "the bound Ctrl+V pastes in the window in front while the list is off (got '$got')" test "$got" = "(passed on)"
swaymsg "[pid=$sk] kill" >/dev/null 2>&1
check "the configuration window closes out of sight again" wl_gone "$config"

swaymsg "unbindsym --to-code Ctrl+v" >/dev/null
check "the program still runs" alive "$sk"
stop_program

# Insert at cursor goes through the accessibility bus, on Wayland too.
start_program global=1 gpaste=2
item=$("$program" read 1)
wl_entry "Insert target" "<>" 1
"$program" paste 1
sleep 1
got=$(wl_finish_entry "Insert target")
check "insert at cursor puts the item at the caret (got '$got')" test "$got" = "<$item>"
stop_program
finish
