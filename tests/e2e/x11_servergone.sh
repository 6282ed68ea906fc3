#!/usr/bin/env bash
# An X server that goes away while the program runs on it: the program ends,
# and the copies it captured since its last save are in the data file. The
# program runs on an X server of its own here, so the test session's stays up.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${own:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user

# The first free display number.
for number in $(seq 70 99); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
own=$!
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
done
export DISPLAY=:$number
check "an X server of the test's own runs" alive "$own"

# A session bus of its own too: what the program starts on the bus (the
# accessibility bus) goes with it, and leaves the other tests' bus alone.
dbus-run-session -- "$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
settled "$(pgrep -n -P "$sk" scrapkeeper || echo "$sk")"
check "the program runs on it" alive "$sk"
copy 'captured just before the X server went'
sleep 0.8

kill -9 "$own"
for _ in $(seq 100); do alive "$sk" || break; sleep 0.1; done
check "the program ends with its X server" bash -c "! kill -0 $sk 2>/dev/null"
check "the copy captured since the last save is in the data file" \
    file_has "$data/data.db" $'captured just before the X server went\r\n0000'
finish
