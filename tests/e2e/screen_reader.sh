#!/usr/bin/env bash
# End to end: Chimewell with a screen reader and the keyboard alone. A private D-Bus session
# with the accessibility registry (at-spi2-core) under Xvfb; what a screen reader would learn
# is read from the registry by screen_reader.py. Every window's flat review names every
# control; every action of the main window's menu and of each window is done with keys only
# (xdotool key, never a mouse event); at a mark the alert is announced as a notification with
# the callsign while the keyboard focus stays in the real WSJT-X, where the operator types.
# Usage: screen_reader.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=wsjtx_program.sh
source "$here/wsjtx_program.sh"

reader() { /usr/bin/python3 "$here/screen_reader.py" "$@"; }

start_session_bus() {
    local file="$E2E_ROOT/bus-address"
    dbus-daemon --session --nofork --print-address=3 3>"$file" >"$E2E_ROOT/dbus.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 10 '[[ -s "$file" ]]' || { e2e_fail "no D-Bus session bus"; return 1; }
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$file")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Window $1's flat review (role $2) must name every control and hold each line after.
expect_review() {
    local review line missing=()
    review=$(reader tree "$2") || e2e_fail "$1: $(tail -n 1 <<<"$review")"
    sed 's/^/    /' <<<"$review"
    for line in "${@:3}"; do grep -qF -- "$line" <<<"$review" || missing+=("'$line'"); done
    e2e_check "$1 reads ${*:3}${missing:+; not ${missing[*]}}" [ ${#missing[@]} = 0 ]
}

visible_windows() { xdotool search --onlyvisible --classname chimewell 2>/dev/null | wc -l; }

# Keys after the main window's menu has opened with Shift+F10 (or the Menu key, with $1=menu).
menu_keys() {
    local before
    before=$(visible_windows)
    xdotool key "$([[ $1 == menu ]] && echo Menu || echo shift+F10)"
    e2e_wait_until 5 '(($(visible_windows) > before))' || { e2e_fail "no menu opened"; return 1; }
    xdotool key --delay 60 "${@:2}" Return
}

# Item $1 of the main window's menu, counted from 0.
menu_item() {
    local downs=()
    for ((i = 0; i < $1; i++)); do downs+=(Down); done
    menu_keys "${2:-shift}" "${downs[@]}"
}

expect_dialog() {
    e2e_expect_window dialog "$E2E_TITLE" 5 "$main_window" &&
        e2e_wait_until 5 '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$dialog" ]]'
}

# Escape closes the window over the main window.
close_dialog() {
    xdotool key Escape
    e2e_check "$1 closed with Escape" e2e_wait_gone "$dialog" 5
}

every_window_named() {
    local dir
    dir=$(e2e_fresh_dir review)
    printf '[Main Form]\nAudio=1\nCallSign=DL1ABC\nStart=0\n' >"$dir/Chimewell.ini"
    e2e_start_main "$dir" || return
    expect_review "the main window" frame "label | Callsign: DL1ABC" \
        "label | Clock, local time, 12-hour: " "label | Identification timer: stopped" \
        "push button | Mode: Auto" "push button | Edit callsign"
    menu_item 2 menu && expect_dialog || return
    expect_review "the callsign editor" dialog "push button | Close"
    close_dialog "the callsign editor"
    menu_item 4 && expect_dialog || return
    expect_review "the audio menu" dialog "push button | Morse Callsign"
    local menu=$dialog
    xdotool key Return # its first control: "Select File to Play"
    e2e_expect_window dialog "$E2E_TITLE" 5 "$main_window" "$menu" || return
    expect_review "the audio file picker" dialog "push button | Play"
    close_dialog "the audio file picker"
    dialog=$menu
    close_dialog "the audio menu"
    xdotool key ctrl+comma
    expect_dialog || return
    expect_review "the station options" dialog "spin button | Morse speed" \
        "push button | Test the spoken callsign"
    close_dialog "the station options"
}

# Tab until the control named $1 has the focus.
tab_to() {
    local i
    for ((i = 0; i < 12; i++)); do
        [[ "$(reader focused)" == "$1" ]] && return
        xdotool key Tab
    done
    e2e_fail "Tab never reached '$1'"
    return 1
}

# The alert shown from the main window, then reached with Alt+Tab as an operator does.
alert_by_alt_tab() {
    tab_to "Display the alert screen" && xdotool key space || return
    e2e_expect_window alert "$E2E_TITLE" 5 "$main_window" || return
    xdotool key alt+Tab
    e2e_wait_until 5 '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$alert" ]]' ||
        { e2e_fail "Alt+Tab did not reach the alert"; return 1; }
}

every_action_by_keys() {
    local dir key
    dir=$(e2e_fresh_dir keys)
    printf '[Main Form]\nAudio=1\nCallSign=DL1ABC\nStart=0\n' >"$dir/Chimewell.ini"
    e2e_start_main "$dir" || return
    menu_item 0 menu && menu_item 1 || return
    expect_review "the clock switched from the menu" frame "label | Clock, GMT, 24-hour: "
    menu_item 3 && xdotool key --delay 60 Down Down Down Down Return # callsign colour: darker
    menu_item 2 && expect_dialog || return
    xdotool type --delay 40 "W1KEY"
    xdotool key Return Escape
    e2e_wait_gone "$dialog" 5
    menu_item 4 && expect_dialog || return
    xdotool key --delay 60 Tab Tab Tab space # from "Select File to Play" to "No Audio"
    e2e_check "the audio menu closed as No Audio was chosen" e2e_wait_gone "$dialog" 5
    menu_item 5 && expect_dialog && close_dialog "the station options from the menu"
    # What the mouse does with a double-click, Enter or Space does.
    tab_to "Edit callsign" && xdotool key Return && expect_dialog && close_dialog "the editor"
    tab_to "Audio: choose the alert sound" && xdotool key space && expect_dialog &&
        close_dialog "the audio menu"
    tab_to "Switch clock" && xdotool key Return
    tab_to "Start" && xdotool key space
    alert_by_alt_tab || return
    menu_keys menu && xdotool key --delay 60 Down Down Down Down Return # alert colour: darker
    for key in Escape Return space; do
        [[ $key == Escape ]] || alert_by_alt_tab || return
        xdotool key "$key"
        e2e_check "$key closed the alert" e2e_wait_gone "$alert" 5
    done
    xdotool key alt+F4
    e2e_expect_exit "closing with Alt+F4" "Alt+F4"
    e2e_expect_saved "Main Form" CallSign=W1KEY Audio=0 AMPM=3 localTimeZone=1 Start=1 \
        CS_FontColor=-16777012 form2Color=-3355648
}

# The operator types in WSJT-X when the mark comes: the alert is announced, the focus stays.
announced_at_mark() {
    local dir events="$E2E_ROOT/events" listener alert
    e2e_start_sound || return
    start_wsjtx 2237 || return
    dir=$(e2e_fresh_dir announced)
    printf '[Main Form]\nAudio=0\nCallSign=DL1ABC\n' >"$dir/Chimewell.ini"
    e2e_place_before_mark 12
    e2e_start_main "$dir" "$E2E_OFFSET" || return
    # Qt asks for a new main window's activation a moment after the window manager has
    # activated it; the operator goes to the other program after.
    sleep 1
    : >"$events"
    reader listen "$(e2e_calc "$E2E_MARK + 4 - $EPOCHREALTIME")" >"$events" &
    listener=$!
    e2e_wait_until 10 'grep -q listening "$events"' || { e2e_fail "no listener"; return 1; }
    # Tab moves WSJT-X's own focus, which the registry then tells.
    e2e_check "WSJT-X took the focus before the mark" e2e_wait_until 5 \
        'xdotool windowactivate --sync "$WSJTX_WINDOW" key Tab 2>/dev/null
         grep -q "^focus | WSJT-X" "$events"'
    alert=$(e2e_wait_viewable "$E2E_TITLE" 16 "$main_window")
    e2e_check "the alert came at the mark" [ -n "$alert" ]
    wait "$listener"
    sed 's/^/    /' "$events"
    e2e_check "the alert was announced with the callsign" \
        grep -qxF "showing | chimewell | notification | Time to ID! DL1ABC" "$events"
    e2e_check "the focus stayed in WSJT-X" \
        bash -c 'grep "^focus" "$1" | tail -n 1 | grep -q "^focus | WSJT-X"' _ "$events"
    e2e_check "WSJT-X's window is still the active one" \
        [ "$(xdotool getactivewindow)" = "$WSJTX_WINDOW" ]
    expect_review "the alert" notification "label | Time to ID!" \
        "label | Left click anywhere to close window"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo dbus-daemon /usr/bin/python3 wsjtx
e2e_init
e2e_start_display || exit 1
start_session_bus || exit 1
e2e_scene every_window_named
e2e_scene every_action_by_keys
e2e_scene announced_at_mark
e2e_finish
