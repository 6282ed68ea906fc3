#!/usr/bin/env bash
# The pop-up list in the moments real use is full of: a copy made while the
# list is open changes neither what Enter pastes nor what Del deletes;
# clipboard text with markup is shown as its characters and never read as
# markup; clicking another window after the preview closes the list, the
# preview and all, and the hotkey comes back; a typing run stops, sending
# nothing further, when the user activates another window.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
popup="List box"
shots=${SK_SCREENSHOTS:-}

returning_user
geometry() { # id -> X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    echo "$X $Y $WIDTH $HEIGHT"
}
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" 2>/dev/null; true; }
has_item() { grep -aq "^$1"$'\r$' "$data/data.db"; }

start_program
for word in one two three; do copy "$word"; done

# The list shows three, two, one. Pick "two", copy meanwhile, press Enter.
entry "Enter target"
xdotool key ctrl+v
check "the list opens" quiet window "$popup"
xdotool key Down
copy "copied while open"
shot popup-copy-while-open
xdotool key Return
sleep 1.5
got=$(finish_entry "Enter target")
check "Enter pastes the chosen row's own item after a copy (got '$got')" test "$got" = "two"

# Del after a copy deletes the chosen row's item, not the newest capture.
entry "Del target"
xdotool key ctrl+v
check "the list opens again" quiet window "$popup"
xdotool key Down Down
copy "copied during delete"
xdotool key Delete
sleep 0.3
xdotool key Escape
check "Esc closes the list after the deletion" gone "$popup"
finish_entry "Del target" >/dev/null
stop_program
check "Del deleted the chosen item" bash -c "! grep -aq \$'^two\r\$' '$data/data.db'"
check "the captures made while the list was open are kept" \
    bash -c "grep -aq \$'^copied during delete\r\$' '$data/data.db' && grep -aq \$'^three\r\$' '$data/data.db'"

# Markup in copied text: shown as characters, and a file reference is never read.
start_program tooltip=1 preview=1
copy '<img src="/dev/zero"><b>bold</b>'
entry "Markup target"
xdotool key ctrl+v
if id=$(window "$popup"); then
    read -r lx ly lw lh < <(geometry "$id")
    xdotool mousemove $((lx + 40)) $((ly + 20))
    sleep 0.2
    xdotool mousemove $((lx + 42)) $((ly + 21))
    sleep 0.8
    shot popup-markup-tooltip
    xdotool key Escape
fi
check "the list still answers with markup under the pointer" gone "$popup"
check "the program did not hang reading a file named in the markup" alive "$sk"

# Click into the preview, then into another window: everything closes.
xdotool key ctrl+v
check "the list opens with its preview" quiet window "Preview Window"
if pid=$(window "Preview Window"); then
    read -r px py pw ph < <(geometry "$pid")
    xdotool mousemove $((px + pw / 2)) $((py + ph / 3)) click 1
    sleep 0.5
    check "a click into the preview keeps the list" quiet window "$popup"
    read -r ex ey ew eh < <(geometry "$(window "Markup target")")
    xdotool mousemove $((ex + ew / 2)) $((ey + 8)) click 1
    sleep 0.8
    shot popup-after-click-elsewhere
    check "clicking another window closes the list" gone "$popup"
    check "and its preview" gone "Preview Window"
fi
xdotool key ctrl+v
check "the hotkey works again" quiet window "$popup"
xdotool key Escape
finish_entry "Markup target" >/dev/null
stop_program

# Another window activated while an item is being typed: the typing stops and
# not one character lands in the window the user went to.
start_program global=1 gpaste=1
copy "$(printf 'abcdefghij%.0s' $(seq 1 100))"
zenity --entry --title "Bystander" --entry-text "" >"$home/Bystander.out" 2>/dev/null &
zen=$!
bystander=$(window "Bystander")
# Without line editing every typed character reaches the file at once.
terminal "Typing target" "stty -icanon; cat > '$home/typed.txt'"
xdotool key ctrl+v
quiet window "$popup" && xdotool key Return
sleep 0.6
xdotool windowactivate "$bystander"
sleep 2
got=$(finish_entry "Bystander")
kill "$term" 2>/dev/null
typed=$(tr -d '\n' <"$home/typed.txt" | wc -c)
check "the typing had begun and stopped when the user went elsewhere ($typed of 1000 characters)" \
    test "$typed" -gt 0 -a "$typed" -lt 1000
check "and nothing reached the other window (got '$got')" test -z "$got"
stop_program
finish
