#!/usr/bin/env bash
# The program as a user meets it on an X11 desktop: first start with the
# welcome (and no word of lost data), the tray, a second start, the configuration window's close button,
# and an orderly exit on SIGTERM. Needs DISPLAY with a window manager and a
# tray host (tools/with-xserver provides them).
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${first:-} ${second:-} 2>/dev/null; rm -rf "$home"' EXIT
config_title="Scrapkeeper Configuration - $data/data.db"

# First start: no data file, no settings.
"$program" >"$home/first.log" 2>&1 &
first=$!
check "first start shows the tip of the day" answer "Scrapkeeper: Tip Of The Day" Return
check "then asks the welcome question" quiet window "Welcome to Scrapkeeper v2.3!"
check "and does not tell a new user that data was lost" bash -c "! xdotool search --onlyvisible --name '^Scrapkeeper v2.3\$' >/dev/null"
check "configuration window shows behind the welcome" quiet window "$config_title"
answer "Welcome to Scrapkeeper v2.3!" alt+n
check "No explains the basic idea" answer "Information" Return
check "after the welcome only the tray icon is left" gone "$config_title"
check "a new data file was written" test -s "$data/data.db"
check "the data file is the owner's alone" test "$(stat -c %a "$data/data.db")" = 600
check "settings were written" grep -q '^FirstTime=0' "$home/.config/Halvorik/Scrapkeeper1.0.conf"

# A second start is refused and leaves the first running.
"$program" >"$home/second.log" 2>&1 &
second=$!
check "a second start says the program is loaded" answer "Error" Return
sleep 0.5
check "the second start ends" bash -c "! kill -0 $second 2>/dev/null"
check "the first instance is untouched" alive "$first"

# The tray icon opens the configuration window; its close button means Cancel.
tray=$(tray_icon)
check "the tray icon is embedded" test -n "$tray"
if [ -n "$tray" ]; then
    xdotool mousemove --window "$tray" 4 4 click --repeat 2 --delay 80 1
    check "double click on the tray icon opens the configuration window" quiet window "$config_title"
    answer "$config_title" alt+F4
    check "the close button sends the window back to the tray" gone "$config_title"
    check "the program keeps running after the close button" alive "$first"
    # Open it again: a log-off must end the program even while it is shown.
    xdotool mousemove --window "$tray" 4 4 click --repeat 2 --delay 80 1
    check "the configuration window opens again" quiet window "$config_title"
fi

# SIGTERM ends the program the orderly way: data saved, lock released.
before=$(stat -c %Y.%N "$data/data.db" 2>/dev/null || stat -c %Y "$data/data.db")
sleep 1.1
kill -TERM "$first"
for _ in $(seq 50); do alive "$first" || break; sleep 0.1; done
check "SIGTERM ends the program" bash -c "! kill -0 $first 2>/dev/null"
wait "$first"; status=$?
check "the exit is orderly (status 0)" test "$status" -eq 0
after=$(stat -c %Y.%N "$data/data.db" 2>/dev/null || stat -c %Y "$data/data.db")
check "the data was saved at exit" test "$before" != "$after"
check "the lock was released" bash -c "! ls '$XDG_RUNTIME_DIR' | grep -q 'scrapkeeper.lock'"
check "the recent-files list was written" grep -q "data.db" "$data/dblist.txt"

# A normal start afterwards shows the next tip, then nothing but the tray icon.
"$program" >"$home/third.log" 2>&1 &
first=$!
sleep 2
check "a normal start keeps running" alive "$first"
check "a normal start shows the next tip" answer "Scrapkeeper: Tip Of The Day" Return
sleep 1
check "and then no window" bash -c "! xdotool search --onlyvisible --name '^Scrapkeeper' >/dev/null 2>&1"
kill -TERM "$first"; wait "$first"
check "the tips went on from start to start" grep -q '^ct=2' "$home/.config/Halvorik/Scrapkeeper1.0.conf"

finish
