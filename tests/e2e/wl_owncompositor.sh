#!/usr/bin/env bash
# The program on a compositor of the test's own, so the test session's stays
# up: a sway key binding by symbol on Ctrl+V, which would catch the program's
# own paste key, is said at start; and when the compositor goes away (a
# crash, a log-out that kills it) the program ends, and the copies it
# captured since its last save are in the data file.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/wl_lib.sh"
trap 'kill -9 ${sk:-} ${own:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user

mkdir "$home/sway"
printf 'xwayland disable\nbindsym Ctrl+v exec true\nbindsym --to-code Ctrl+c exec true\n' >"$home/sway/config"
env -u WAYLAND_DISPLAY -u SWAYSOCK WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$home/sway/config" >"$home/sway/log" 2>&1 &
own=$!
for _ in $(seq 100); do
    socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name 'wayland-*' -type s 2>/dev/null | head -n1)
    [ -n "$socket" ] && break
    sleep 0.1
done
check "a compositor of the test's own runs" test -n "${socket:-}"
export WAYLAND_DISPLAY=$socket
for _ in $(seq 50); do
    SWAYSOCK=$(find "$XDG_RUNTIME_DIR" /tmp -maxdepth 1 -name "sway-ipc.$(id -u).$own.sock" -type s 2>/dev/null | head -n1)
    [ -n "$SWAYSOCK" ] && break
    sleep 0.1
done
export SWAYSOCK

# A session bus of its own too: what the program starts on the bus (the
# accessibility bus) goes with it, and leaves the other tests' bus alone.
dbus-run-session -- "$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
settled "$(pgrep -n -P "$sk" scrapkeeper || echo "$sk")"
check "the program runs on it" alive "$sk"
check "a binding that would catch the paste key is said at start" \
    grep -q 'key binding "bindsym Ctrl+v exec true" also catches the Ctrl+V' "$home/sk.log"
wl_copy 'captured just before the compositor went'
sleep 0.8

kill -9 "$own"
for _ in $(seq 100); do alive "$sk" || break; sleep 0.1; done
check "the program ends with its compositor" bash -c "! kill -0 $sk 2>/dev/null"
check "the copy captured since the last save is in the data file" \
    file_has "$data/data.db" $'captured just before the compositor went\r\n0000'
finish
