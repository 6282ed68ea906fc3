#!/usr/bin/env bash
# On a Wayland desktop, copies made in other programs while none of our
# windows has the focus become items: wl-copy's text, a file list, a
# picture and Ctrl+C in a GTK entry. What was selected before the start
# is not captured, a source that never sends its data costs a bounded wait,
# and the last copy of a flood is kept.
set -uo pipefail

program=${1:?program path}
silent=${2:?silent owner helper}
press=${3:?key helper}
fixtures=$(dirname "$0")/fixtures
. "$(dirname "$0")/wl_lib.sh"
trap 'kill -9 ${sk:-} ${hung:-} ${held:-} ${zen:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user

settle() { sleep 0.8; }
wl_copy 'there before the start'

"$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
settled "$sk"
check "the program runs" alive "$sk"
check "the program is a Wayland client" grep -q 'runs as a Wayland client' "$home/sk.log"
check "the program watches the clipboard through data-control" grep -q 'the clipboard through .*data-control' \
    "$home/sk.log"

wl_copy 'hello from wl-copy'
settle
printf 'file:///tmp/sk%%20a.txt\r\nfile:///tmp/sk-b.txt\r\n' | wl-copy -t text/uri-list >/dev/null 2>&1
settle
wl-copy -t image/png <"$fixtures/pic.png" >/dev/null 2>&1
settle

# The user's keyboard, held for the whole copy as a real one is plugged in.
"$press" --hold &
held=$!
sleep 0.3
zenity --entry --title "Copy source" --entry-text "copied in a GTK entry" >/dev/null 2>&1 &
zen=$!
wl_focus "$(wl_window "Copy source")"
"$press" ctrl+a ctrl+c
settle
kill "$zen" "$held" 2>/dev/null

# A source that never sends costs at most the read bound; the next copy is captured.
"$silent" 20 >/dev/null 2>&1 &
hung=$!
sleep 0.5
wl_copy 'after a hung source'
for _ in $(seq 12); do sleep 0.5; done
check "the program survives a source that never sends" alive "$sk"
for n in $(seq 1 40); do printf 'flood %s' "$n" | wl-copy >/dev/null 2>&1; done
sleep 3

kill -TERM "$sk"; wait "$sk"
db=$data/data.db
has() { file_has "$db" "$1"; }
check "what was selected before the start is not captured" bash -c "! grep -aqF 'there before the start' '$db'"
check "text copied with wl-copy is an item" has $'hello from wl-copy\r\n0000'
check "a file list is the paths, one per line" has $'/tmp/sk a.txt\r\n/tmp/sk-b.txt\r\n\r\n0000'
check "a PNG is an image item" has $'Image: 8 x 8\r\n'
check "Ctrl+C in a GTK entry is an item" has $'copied in a GTK entry\r\n0000'
check "the copy after a hung source is captured" has $'after a hung source\r\n0000'
check "the last copy of a flood is captured" has $'flood 40\r\n0000'
finish
