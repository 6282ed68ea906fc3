# Shared helpers of the desktop tests: a private home, checks, windows.
if [ -n "${SK_WAYLAND_TEST:-}" ]; then
    [ -n "${WAYLAND_DISPLAY:-}" ] || { echo "SKIP: no Wayland session (run under tools/with-wayland)"; exit 77; }
else
    [ -n "${DISPLAY:-}" ] || { echo "SKIP: no X display (run under tools/with-xserver)"; exit 77; }
fi

home=$(mktemp -d)
export HOME=$home XDG_RUNTIME_DIR=$home/run
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -m 700 "$XDG_RUNTIME_DIR"
data=$home/.local/share/scrapkeeper
failures=0
checks=0

check() { # description, command...
    local what=$1; shift
    checks=$((checks + 1))
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
window() { # exact title -> id of the visible window, waiting up to 10 s
    for _ in $(seq 100); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
gone() { # exact title: true once no visible window has it (up to 5 s)
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
answer() { # exact title, keys
    local id
    id=$(window "$1") || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.2
    xdotool key "${@:2}"
}
alive() { kill -0 "$1" 2>/dev/null; }
quiet() { "$@" >/dev/null; }
finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" -eq 0 ]
}
# A returning user: settings and a data file with two categories already there.
returning_user() {
    mkdir -p "$data"
    printf '031\r\nMail\r\n0\r\n0\r\n0\r\n031\r\nOther\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n' >"$data/data.db"
    write_settings "$@"
}
# The settings of a returning user; extra NAME=VALUE lines override the defaults.
write_settings() {
    mkdir -p "$home/.config/Halvorik"
    {
        printf '[General]\nFirstTime=0\ncurrdb=%s\nCurrentVer=2.3\n' "$data/data.db"
        printf '%s\n' catcombo=0 lba=1 ctrl=1 shift=0 alt=0 win=0 hkindex=49 backup=1 paste=1 showbmp=1 showx=1 \
            auto=1 txtcurr=1 txtspec=0 catcombo3=0 txtcat=0 dup=1 allowrtf=1 autobmp=1 bmpcurr=1 bmpspec=0 \
            catcombo2=0 save=1 start=0 systray=1 hide=1 playsound=0 sound=0 beep=1 soundedit= global=0 gpaste=0 \
            showtip=0 ct=0 del=0 delcat=1 plheight=8 shrink=1 wedit=250 preview=0 copyitem=25 margin=1 viewns=0 \
            msrg=0 autosaverg=0 asse=2 tooltip=0 prevfile= "$@"
    } >"$home/.config/Halvorik/Scrapkeeper1.0.conf"
}
open_configuration() { # [exact title, else $config_title]: double-clicks the tray icon; the window's id in $config
    local tray
    tray=$(xdotool search --class scrapkeeper 2>/dev/null | while read -r id; do
        [ "$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {print $2}')" = 22x22 ] && echo "$id"; done | head -n1)
    [ -n "$tray" ] || tray=$(tray_icon)
    xdotool mousemove --window "$tray" 4 4 click --repeat 2 --delay 80 1
    config=$(window "${1:-$config_title}") || return 1
    sleep 0.5
}
tray_icon() { # the program's embedded tray icon window
    xdotool search --class scrapkeeper 2>/dev/null | while read -r id; do
        geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {print $2}')
        [ "${geometry%x*}" -le 64 ] 2>/dev/null && echo "$id"
    done | head -n1
}
file_has() { # file, text (line breaks included): the text stands in the file as given
    local content
    content=$(cat "$1"; printf x)
    [[ "${content%x}" == *"$2"* ]]
}
entry() { # opens a GTK entry window titled $1, focused; its answer goes to $home/$1.out
    zenity --entry --title "$1" --entry-text "" >"$home/$1.out" 2>/dev/null &
    zen=$!
    local id
    id=$(window "$1") || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.4
}
finish_entry() { # confirms the entry titled $1 and prints what it held
    xdotool key Return
    for _ in $(seq 50); do kill -0 "$zen" 2>/dev/null || break; sleep 0.1; done
    cat "$home/$1.out"
}
terminal() { # opens an xterm titled $1 (running $2 if given), focused; its pid in $term
    if [ -n "${2:-}" ]; then xterm -title "$1" -e sh -c "$2" & else xterm -title "$1" & fi
    term=$!
    local id
    id=$(window "$1") || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.4
}
# Starts the program ($program) with the returning user's settings plus NAME=VALUE overrides; its pid in $sk.
start_program() {
    write_settings "$@"
    "$program" >>"$home/sk.log" 2>&1 &
    sk=$!
    sleep 2
    settled "$sk"
}
settled() { # pid: waits until its CPU time has stood still for half a second (up to 20 s)
    # On a busy machine a start can take longer than the fixed wait above; a
    # hotkey pressed before the program grabs it goes to the window in front.
    local last=-1 still=0 used
    for _ in $(seq 200); do
        used=$(awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null) || return 0
        if [ "$used" = "$last" ]; then
            still=$((still + 1))
            [ "$still" -ge 5 ] && return 0
        else
            still=0
            last=$used
        fi
        sleep 0.1
    done
}
stop_program() { kill -TERM "$sk"; wait "$sk"; }
copy() { # text: another program copies it
    printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1
    sleep 0.4
}
