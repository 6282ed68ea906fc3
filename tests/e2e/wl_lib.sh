# Helpers of the Wayland desktop tests, beside the shared ones: windows are
# found and focused through sway's socket, the clipboard written with wl-copy.
SK_WAYLAND_TEST=1
# The test's home gets a runtime folder of its own; the compositor's socket
# stays where the session put it.
[ -n "${WAYLAND_DISPLAY:-}" ] && [ "${WAYLAND_DISPLAY#/}" = "$WAYLAND_DISPLAY" ] \
    && export WAYLAND_DISPLAY=$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

wl_window() { # exact title -> the compositor's id of that window, waiting up to 10 s
    for _ in $(seq 100); do
        local id
        id=$(swaymsg -t get_tree 2>/dev/null | jq -r --arg t "$1" '.. | objects | select(.name? == $t and (.pid? // 0) > 0) | .id' | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
wl_focus() { swaymsg "[con_id=$1] focus" >/dev/null 2>&1; sleep 0.3; }
wl_copy() { # text: another program copies it
    # wl-copy stays behind to serve the copy: it must not hold the test's output open.
    printf '%s' "$1" | wl-copy >/dev/null 2>&1
    sleep 0.4
}
shots=${SK_SCREENSHOTS:-}
shot() { [ -n "$shots" ] && grim "$shots/$1.png" 2>/dev/null; true; }
node() { # jq condition on a window of the tree -> that window as JSON
    swaymsg -t get_tree 2>/dev/null | jq -c "[.. | objects | select((.pid? // 0) > 0 and ($1))] | first // empty"
}
wl_gone() { # jq condition: true once no such window is shown (up to 5 s)
    for _ in $(seq 50); do
        [ -z "$(node "$1 and .visible == true")" ] && return 0
        sleep 0.1
    done
    return 1
}
