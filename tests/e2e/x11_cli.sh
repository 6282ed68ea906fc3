#!/usr/bin/env bash
# The command language as a user meets it in a shell: the same binary talks
# to the running program. Each command's output and exit status; `paste 2 1`
# into a GTK entry; `popup` over a GTK entry pastes at its caret; `copy`
# leaves the clipboard holding the item without a new capture; a modal
# question and the open configuration window; standard input past 16 MB and
# a hundred clients at once; `quit` saves.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} 2>/dev/null; rm -rf "$home"' EXIT
config_title="Scrapkeeper Configuration - $data/data.db"

sk_run() { # args...: runs a command; its output in $out, its errors in $err, its status in $status
    out=$("$program" "$@" 2>"$home/err"; echo "[$?]")
    status=${out##*[}; status=${status%]}
    out=${out%[*}
    out=${out%$'\n'}  # as $(...) would drop it
    err=$(cat "$home/err")
}
expect() { # description, status, expected output, expected error (prefix), command args...
    local what=$1 want_status=$2 want_out=$3 want_err=$4
    shift 4
    sk_run "$@"
    checks=$((checks + 1))
    if [ "$status" = "$want_status" ] && [ "$out" = "$want_out" ] && [[ "$err" == "$want_err"* ]]; then
        echo "PASS: $what"
    else
        echo "FAIL: $what (status $status, out '$out', err '$err')"
        failures=$((failures + 1))
    fi
}

returning_user
expect "a command without a running program: status 3" 3 "" "scrapkeeper: not running" list
expect "--version needs no running program" 0 "scrapkeeper 2.3" "" --version
sk_run --help
check "--help lists the commands and the exit codes" bash -c '[[ "$0" == *"paste N [N...]"* && "$0" == *"Exit status"* && "$1" = 0 ]]' "$out" "$status"

start_program
expect "add prints nothing" 0 "" "" add one
expect "add a second" 0 "" "" add two
printf 'three\nlines\n' | "$program" add --category Other
check "add from standard input" test $? -eq 0
expect "list: newest first, number and alias" 0 $'1\ttwo\n2\tone' "" list
expect "categories in tree order, the current marked" 0 $'Mail\t2\tcurrent\nOther\t1' "" categories
expect "read gives the text as it is" 0 $'three\nlines' "" read 1 --category Other
sk_run list --json --category Other
check "list --json ($out)" bash -c '[[ "$0" == *"\"index\":1"* && "$0" == *"\"kind\":\"text\""* && "$0" == *"\"text\":\"three\\nlines\\n\""* ]]' "$out"
sk_run categories --json
check "categories --json ($out)" test "$out" = '[{"current":true,"items":2,"name":"Mail"},{"current":false,"items":1,"name":"Other"}]'
expect "a number out of range: status 1 and why" 1 "" 'scrapkeeper: category "Mail" has no item 7 (it holds 2)' read 7
expect "no such category" 1 "" 'scrapkeeper: no category named "Nope"' list --category Nope
expect "an unknown command: status 2 and the usage" 2 "" $'scrapkeeper: unknown command "lsit"\nUsage:' lsit
expect "a missing number: status 2" 2 "" "scrapkeeper: paste needs an item number" paste
"$program" >"$home/second.log" 2>&1 &
second=$!
check "a second plain start still says the program is loaded" answer "Error" Return
for _ in $(seq 30); do alive "$second" || break; sleep 0.1; done
check "and ends, leaving the first running" bash -c "! kill -0 $second 2>/dev/null && kill -0 $sk"

# Standard input past 16 MB is refused whole; the program goes on.
sk_run add < <(head -c 100000000 /dev/zero | tr '\0' 'x')
check "100 MB on standard input: status 1 ($err)" test "$status" = 1 -a "$err" = "scrapkeeper: standard input is larger than 16 MB; nothing was added"
expect "nothing was added of it" 0 $'1\ttwo\n2\tone' "" list

# A hundred clients at once are all answered.
many=()
for i in $(seq 100); do ("$program" categories >/dev/null 2>&1; echo $? >"$home/many.$i") & many+=($!); done
wait "${many[@]}"
answered=$(cat "$home"/many.* | grep -c '^0$')
check "a hundred clients at once are all answered ($answered)" test "$answered" -eq 100

# copy: the clipboard holds the item, and no new item is captured.
expect "copy 2" 0 "" "" copy 2
sleep 0.6
check "the clipboard holds item 2" test "$(xclip -selection clipboard -o 2>/dev/null)" = "one"
expect "copy captured no new item" 0 $'1\ttwo\n2\tone' "" list

# paste 2 1 types the two items in that order into a GTK entry.
entry "Paste target"
expect "paste 2 1" 0 "" "" paste 2 1
sleep 0.5
got=$(finish_entry "Paste target")
check "paste 2 1 arrives in order (got '$got')" test "$got" = "onetwo"

# popup opens the list at the caret of a GTK entry; Enter pastes there.
zenity --entry --title "Popup target" --entry-text "[]" >"$home/popup.out" 2>/dev/null &
zen=$!
id=$(window "Popup target")
xdotool windowactivate --sync "$id" >/dev/null 2>&1
sleep 0.4
xdotool key End Left
sleep 0.3
expect "popup" 0 "" "" popup
check "the pop-up list opens" quiet window "List box"
xdotool key Return
sleep 1
xdotool key Return
for _ in $(seq 50); do kill -0 "$zen" 2>/dev/null || break; sleep 0.1; done
check "popup's pick is pasted at the caret ($(cat "$home/popup.out"))" test "$(cat "$home/popup.out")" = "[two]"

# The configuration window: show opens it; popup is refused while it is open;
# add still adds, into the open tree.
expect "show" 0 "" "" show
check "show opens the configuration window" quiet window "$config_title"
expect "popup is refused while the configuration window is open" 1 "" "scrapkeeper: the configuration window is open" popup
expect "add while the window is open" 0 "" "" add "while open"
expect "which lists at once" 0 $'1\twhile open\n2\ttwo\n3\tone' "" list
answer "$config_title" alt+F4
check "the window goes back to the tray" gone "$config_title"

# quit: an orderly exit that saves; then nothing runs.
expect "quit" 0 "" "" quit
for _ in $(seq 50); do alive "$sk" || break; sleep 0.1; done
check "quit ends the program" bash -c "! kill -0 $sk 2>/dev/null"
wait "$sk"; quit_status=$?
check "the exit is orderly (status $quit_status)" test "$quit_status" -eq 0
check "quit saved what was added" file_has "$data/data.db" $'three\r\nlines'
check "and the item added while the window was open" file_has "$data/data.db" "while open"
expect "after quit: not running" 3 "" "scrapkeeper: not running" list

finish
