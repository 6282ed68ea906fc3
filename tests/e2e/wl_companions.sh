#!/usr/bin/env bash
# The pop-up list and its preview on a Wayland desktop (sway), at Qt's own
# scale and at QT_SCALE_FACTOR=1.5, over a GTK entry, with a long item and
# more items than rows: both windows float at the size they draw (the
# compositor's tiling size is not kept), the preview stands beside the list
# with its rows' top and bottom, nothing runs off the output, the tooltip of
# a row shows beside the pointer (not in a corner, not as a window of its
# own), and Escape closes the list and leaves the entry its text and the
# keyboard.
set -uo pipefail

program=${1:?program path}
press=${2:?key helper}
. "$(dirname "$0")/wl_lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${held:-} 2>/dev/null; rm -rf "$home"' EXIT
shown() { # window title: that window once it is shown at the size it draws (up to 5 s); else empty
    local n
    for _ in $(seq 50); do
        n=$(node ".name == \"$1\" and .visible == true")
        [ -n "$n" ] && [ "$(jq '.rect.width == .geometry.width and .rect.height == .geometry.height' <<<"$n")" = true ] \
            && { echo "$n"; return 0; }
        sleep 0.1
    done
    echo "shown as $(node ".name == \"$1\"" | jq -c '{rect, geometry}')" >&2
    return 1
}
rect() { jq -r '"\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"' <<<"$1"; }
area() { # x y w h: what the output shows there
    grim -g "$1,$2 $3x$4" -t ppm - 2>/dev/null | md5sum
}
inside_output() { # x y w h: the rectangle lies on the 1280x1024 output
    [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ $(($1 + $3)) -le 1280 ] && [ $(($2 + $4)) -le 1024 ]
}

"$press" --hold --pointer &
held=$!
sleep 0.3
returning_user
long="A long item whose text runs on well past the width of the list, so that its row has to be cut short"

for scale in 1 1.5; do
    export QT_SCALE_FACTOR=$scale
    start_program global=1 gpaste=0 preview=1 tooltip=1 plheight=8
    check "the program runs at scale $scale" alive "$sk"
    if [ "$scale" = 1 ]; then
        for i in $(seq 12); do wl_copy "item $i"; done
        wl_copy "$long"
        "$program" add --category Other "other one" >/dev/null
        "$program" add --category Other "other two" >/dev/null
    fi

    zenity --entry --title "Target $scale" --entry-text "" >"$home/target.out" 2>/dev/null &
    zen=$!
    wl_focus "$(wl_window "Target $scale")"
    wtype "Dear  friend"
    "$press" Left Left Left Left Left Left Left
    sleep 0.3
    "$program" popup
    list=$(shown "List box")
    check "scale $scale: the list floats at the size it draws ($(rect "$list"))" test -n "$list" -a "$(jq -r .type <<<"${list:-{\}}")" = floating_con
    preview=$(shown "Preview Window")
    check "scale $scale: the preview floats at the size it draws ($(rect "$preview"); drawn $(jq -r '"\(.geometry.width)x\(.geometry.height)"' <<<"${preview:-{\}}"))" \
        test -n "$preview"
    shot "wl-companions-$scale"
    if [ -n "$list" ] && [ -n "$preview" ]; then
        read -r lx ly lw lh < <(rect "$list")
        read -r px py pw ph < <(rect "$preview")
        check "scale $scale: the preview stands right of the list, not over it (list $lx+$lw, preview $px)" \
            test "$px" -eq $((lx + lw))
        # More items than rows: the list shows all its rows, and the preview
        # is as high as they are, its bottom level with the list's.
        check "scale $scale: the preview's bottom is level with the list's ($((py + ph)) and $((ly + lh)))" \
            test $((py + ph - ly - lh)) -ge -1 -a $((py + ph - ly - lh)) -le 1
        check "scale $scale: the list is on the output" inside_output "$lx" "$ly" "$lw" "$lh"
        check "scale $scale: the preview is on the output" inside_output "$px" "$py" "$pw" "$ph"

        # The pointer rests on the fourth row: its tip shows 15 of Qt's
        # pixels right of and below the pointer, over the rows under it.
        step=$(awk -v s="$scale" 'BEGIN { printf "%d", 17 * s + 0.5 }')
        cx=$((lx + 40)) cy=$((ly + lh - lh / 8 * 4 - lh / 16))
        tip=("$((cx + step))" "$((cy + step))" 20 "$((step / 2))")
        before=$(area "${tip[@]}")
        swaymsg seat - cursor set "$cx" "$cy" >/dev/null
        swaymsg seat - cursor set "$((cx + 1))" "$cy" >/dev/null
        sleep 1
        shot "wl-companions-tip-$scale"
        after=$(area "${tip[@]}")
        check "scale $scale: the row's tooltip shows beside the pointer at $cx,$cy" test "$before" != "$after"
        check "scale $scale: the tooltip is no window of its own in the layout" \
            test -z "$(node "(.name // \"\") == \"\" and .visible == true")"
    fi

    # The search field makes the list taller, and another category with two
    # items makes it shorter: the compositor is told each size, the list
    # keeps its place and the preview its own beside it.
    "$press" ctrl+f
    sleep 1
    shot "wl-companions-search-$scale"
    read -r sx sy sw sh < <(rect "$(node '.name == "List box"')")
    check "scale $scale: the search makes the list taller where it stood ($sx $sy $sw $sh)" \
        test "$sh" -gt "$lh" -a "$sy" -eq "$ly" -a "$sx" -eq "$lx"
    "$press" Escape
    "$press" Alt
    sleep 0.5
    "$press" Down Down Return
    sleep 1
    shot "wl-companions-other-$scale"
    read -r ox oy ow oh < <(rect "$(node '.name == "List box"')")
    check "scale $scale: two items make the list shorter where it stood ($ox $oy $ow $oh)" \
        test "$oh" -lt "$lh" -a "$oy" -eq "$ly" -a "$ox" -eq "$lx"
    read -r px py pw ph < <(rect "$(node '.name == "Preview Window"')")
    check "scale $scale: the preview still stands right of the list (list $ox+$ow, preview $px)" \
        test "$px" -eq $((ox + ow))

    "$press" Escape
    check "scale $scale: Escape closes the list" wl_gone '.name == "List box"'
    check "scale $scale: the preview closes with it" wl_gone '.name == "Preview Window"'
    check "scale $scale: the entry has the keyboard again" quiet node ".name == \"Target $scale\" and .focused == true"
    # Typed on, the entry shows the keyboard reached its caret where it was.
    wtype "my"
    "$press" Return
    for _ in $(seq 50); do kill -0 "$zen" 2>/dev/null || break; sleep 0.1; done
    got=$(cat "$home/target.out")
    check "scale $scale: the entry keeps its text and caret (got '$got')" test "$got" = "Dear my friend"

    check "the program still runs at scale $scale" alive "$sk"
    stop_program
done
finish
