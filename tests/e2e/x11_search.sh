#!/usr/bin/env bash
# The pop-up list's search as a user meets it: the hotkey over a GTK entry,
# Ctrl+F, a word of an item in another category, Enter: the item lands at
# the caret with the entry's other text kept and stays where it was in its
# own category; two words in either order; an accented word typed bare; Esc back
# to the current category and a second Esc closing the list; with the option
# on, letters typed in the list search at once.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} 2>/dev/null; rm -rf "$home"' EXIT
popup="List box"

mkdir -p "$data"
python3 - "$data/data.db" <<'PY'
import sys
cats = [("Mail", ["Kind regards, Ann", "See you on Monday"]),
        ("Work", ["Quarterly invoice number 42", "Project plan for the client"]),
        ("Notes", ["Résumé of the meeting with Zoë", "Shopping: milk, bread"])]
lines = []
for name, texts in cats:
    lines += ["031", name, "0", "0", str(len(texts))]
    for t in texts:
        lines += [t, "Thu, Dec 10, 2026, 08:00 PM", "1", t, "0000"]
lines.append("SK: 2.3")
open(sys.argv[1], "w", encoding="utf-8", newline="").write("\r\n".join(lines) + "\r\n")
PY
# The items of Work in the order the data file holds them.
work_order() { tr -d '\r' <"$data/data.db" | sed -n '/^Work$/,/^Notes$/p' | grep -E '^(Project|Quarterly)' | uniq | tr '\n' '|'; }
search_and_paste() { # entry title, text typed first, words searched
    entry "$1"
    xdotool type --delay 30 "$2"
    xdotool key ctrl+v
    window "$popup" >/dev/null || return 1
    xdotool key ctrl+f
    sleep 0.3
    xdotool type --delay 60 "$3"
    sleep 0.6
    xdotool key Return
    gone "$popup" || return 1
    sleep 0.5
    finish_entry "$1"
}

start_program
check "a word of another category's item pastes it at the caret, the entry's text kept" \
    test "$(search_and_paste "GTK one" "Dear X: " "plan")" = "Dear X: Project plan for the client"
check "two words in either order" \
    test "$(search_and_paste "GTK two" "A " "client project")" = "A Project plan for the client"
check "an accented word typed bare" \
    test "$(search_and_paste "GTK three" "" "resume zoe")" = "Résumé of the meeting with Zoë"

entry "GTK four"
xdotool key ctrl+v
check "the list opens" quiet window "$popup"
xdotool key ctrl+f
sleep 0.3
xdotool type --delay 60 "invoice"
sleep 0.5
xdotool key Escape
sleep 0.4
check "the first Esc ends the search and leaves the list open" quiet window "$popup"
xdotool key Escape
check "the second Esc closes the list" gone "$popup"
check "the entry got nothing" test "$(finish_entry "GTK four")" = ""
stop_program
check "the pasted items stayed where they were in their own category" \
    test "$(work_order)" = "Quarterly invoice number 42|Project plan for the client|"

start_program typesearch=1
entry "GTK six"
xdotool key ctrl+v
window "$popup" >/dev/null
xdotool type --delay 60 "quarterly"
sleep 0.6
xdotool key Return
gone "$popup"
sleep 0.5
check "with the option on, letters typed in the list search every category" \
    test "$(finish_entry "GTK six")" = "Quarterly invoice number 42"
stop_program
finish
