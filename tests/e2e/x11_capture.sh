#!/usr/bin/env bash
# Copies made by other programs become items: plain text, rich text, a file
# list, PNG and SVG pictures (xclip and a Qt owner of several flavours), and
# text copied in a real GTK application. What was on the clipboard before the
# start and a copy marked secret by a password manager are not captured.
set -uo pipefail

program=${1:?program path}
owner=${2:?clipboard owner helper}
silent=${3:?silent clipboard owner helper}
fixtures=$(dirname "$0")/fixtures
. "$(dirname "$0")/lib.sh"
owners=()
trap 'kill -9 ${sk:-} ${zen:-} "${owners[@]}" 2>/dev/null; rm -rf "$home"' EXIT
returning_user

settle() { sleep 0.8; }
printf 'there before the start' >"$home/before.txt"
"$owner" 120 text/plain="$home/before.txt" >/dev/null 2>&1 &
owners+=($!)
sleep 1

"$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
check "the program runs in the tray" alive "$sk"

printf 'hello from xclip' | xclip -selection clipboard -i >/dev/null 2>&1
settle
printf 'Plain, bold, italic, underline, strike.\n' >"$home/plain.txt"
printf '<p>Plain, <b>bold</b></p>' >"$home/page.html"
"$owner" 30 text/rtf="$fixtures/libreoffice.rtf" text/html="$home/page.html" text/plain="$home/plain.txt" \
    >/dev/null 2>&1 &
owners+=($!)
settle
printf 'file:///tmp/sk%%20a.txt\r\nfile:///tmp/sk-b.txt\r\n' | xclip -selection clipboard -t text/uri-list -i \
    >/dev/null 2>&1
settle
xclip -selection clipboard -t image/png -i "$fixtures/pic.png" >/dev/null 2>&1
settle
xclip -selection clipboard -t image/svg+xml -i "$fixtures/pic.svg" >/dev/null 2>&1
settle
printf 'hunter2-secret' >"$home/secret.txt"
printf 'secret' >"$home/hint"
"$owner" 30 text/plain="$home/secret.txt" x-kde-passwordManagerHint="$home/hint" >/dev/null 2>&1 &
owners+=($!)
settle

if command -v zenity >/dev/null; then
    zenity --entry --title "GTK entry" --entry-text "typed in gtk" >/dev/null 2>&1 &
    zen=$!
    if id=$(window "GTK entry"); then
        xdotool windowactivate --sync "$id" >/dev/null 2>&1
        sleep 0.5
        xdotool key ctrl+a ctrl+c
        settle
    fi
    kill "$zen" 2>/dev/null
fi

# A hung owner costs at most the clipboard timeout; the next copy is captured.
"$silent" 20 &
owners+=($!)
sleep 0.5
printf 'after a hung owner' | xclip -selection clipboard -i >/dev/null 2>&1
for _ in $(seq 12); do sleep 0.5; done
check "the program survives a clipboard owner that never answers" alive "$sk"
# A flood of changes: every one handled in turn, nothing lost.
for n in $(seq 1 40); do printf 'flood %s' "$n" | xclip -selection clipboard -i >/dev/null 2>&1; done
sleep 2

kill -TERM "$sk"; wait "$sk"
db=$data/data.db
has() { file_has "$db" "$1"; }
check "what was on the clipboard before the start is not captured" bash -c "! grep -aqF 'there before the start' '$db'"
check "text copied with xclip is an item" has $'hello from xclip\r\n0000'
check "rich text is a rich-text item with its plain alias" has $'\r\nPlain, bold, italic, underline, strike....\r\n'
check "rich text is stored as RTF" has '{\rtf1'
check "rich text flags" has $'\r\n0030\r\n'
check "a file list is the paths, one per line" has $'/tmp/sk a.txt\r\n/tmp/sk-b.txt\r\n\r\n0000'
check "a PNG is an image item" has $'Image: 8 x 8\r\n'
check "an SVG is an image item at its own size" has $'Image: 320 x 200\r\n'
check "both pictures got side files" test "$(ls "$db".b* 2>/dev/null | wc -l)" -eq 2
check "a secret copy is not captured" bash -c "! grep -aqF 'hunter2' '$db'"
if command -v zenity >/dev/null; then
    check "text copied in a GTK entry is an item" has $'typed in gtk\r\n0000'
fi
check "the copy after a hung owner is captured" has $'after a hung owner\r\n0000'
check "the last copy of a flood is captured" has $'flood 40\r\n0000'
check "earlier items survive the flood" has $'hello from xclip\r\n0000'
finish
