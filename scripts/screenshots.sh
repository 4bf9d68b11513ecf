#!/usr/bin/env bash
# Regenerates the README's pictures: one screenshot of each window (the main window, the
# alert, the callsign editor, the audio menu, the audio file picker and the station options),
# taken with its window-manager frame from a private X display, as an operator opens them; the
# main window and the station options again while Hamlib's dummy radio transmits. Honours
# QT_SCALE_FACTOR, so the same script shows how the windows look on a high-DPI screen.
# Usage: screenshots.sh <path to chimewell> [output folder, default docs/]
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2034,SC2317,SC2119 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell> [output folder]}")
out_dir=$(realpath -m "${2:-$(dirname "$0")/../docs}")
source "$(dirname "$0")/../tests/e2e/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly OTHER_TITLE=" Timer Chimewell!" # the alert, the editor, the menu, the picker, the options
readonly START_TIMEOUT=20
readonly MAIN_DESIGN=(375 565) # client sizes as designed; clicks scale with the real ones
readonly MENU_DESIGN=(235 390)
# Every window apart; the cycle running, the clock at 14:23:05 UTC (51785 s into the day),
# far from a mark.
readonly SETTINGS='[Main Form]
Left=40
Top=40
CallSign=N0CALL
form2Left=460
form2Top=40
form2Width=600
form2Height=500
[CallSign Form]
Left=460
Top=40
[Audio Form]
Left=460
Top=40
[Select Audio Form]
Left=720
Top=40
[Station Options Form]
Left=460
Top=40
[Station]
Interval=15
'

start_program() {
    local now offset
    now=$(e2e_now)
    offset=$(awk -v now="$now" 'BEGIN { printf "%+.3f", int(now / 86400) * 86400 + 51785 - now }')
    cd "$(e2e_fresh_dir run)" || exit 1
    printf '%s' "$SETTINGS" >Chimewell.ini
    printf 'Rig=1\nRigHost=localhost\nRigPort=%s\n' "$rig_port" >>Chimewell.ini
    env LANG=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb LD_PRELOAD="$(e2e_faketime_lib)" \
        FAKETIME="$offset" FAKETIME_DONT_FAKE_MONOTONIC=1 "$program" \
        >"$E2E_ROOT/program.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") ||
        { echo "FAIL: the main window did not appear"; exit 1; }
}

# The mapped windows titled $OTHER_TITLE.
mapped_others() {
    local id
    for id in $(e2e_find_windows "$OTHER_TITLE"); do
        [[ "$(e2e_map_state "$id")" == IsViewable ]] && echo "$id"
    done
}

# A mapped window titled $OTHER_TITLE that is none of the ids given.
mapped_other_besides() {
    local id
    for id in $(mapped_others); do
        [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    return 1
}

# Clicks ($5 times) window $1 at the designed point $2,$3 of a client area designed as
# $4 ("width height"), scaled as the window's controls are to its real client area.
click_designed() {
    local id=$1 x=$2 y=$3 clicks=$5 width height designed_width designed_height
    read -r designed_width designed_height <<<"$4"
    read -r width height <<<"$(xwininfo -id "$id" |
        awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')"
    xdotool mousemove --window "$id" $((x * width / designed_width)) \
        $((y * height / designed_height)) click --repeat "$clicks" --delay 80 1
}

# Clicks as click_designed does until another window titled $OTHER_TITLE maps (a click
# that comes while a window still settles can be lost); sets window to its id. A closed
# window's id may come back for a new one, so only the mapped ones count as known.
open_by_click() {
    local known
    known=$(mapped_others)
    window=""
    for _ in 1 2 3; do
        click_designed "$@"
        e2e_wait_until 4 'window=$(mapped_other_besides $known)' && return 0
    done
    echo "FAIL: no window opened after a click on $1 at $2,$3"
    return 1
}

# Saves window $1 with its frame as $2.png, once it has been drawn and has settled.
shoot() {
    local geometry left top width height
    sleep 1
    geometry=$(e2e_outer_geometry "$1") || return 1
    read -r left top width height <<<"$geometry"
    import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage -strip \
        "$out_dir/$2.png" && echo "$out_dir/$2.png: ${width}x$height"
}

# Closes window $1 as its title bar's close box does, and waits until it is gone.
close_and_wait() {
    e2e_close_window "$1"
    e2e_wait_until 5 '[[ "$(e2e_map_state "$1")" != IsViewable ]]'
}

# Hamlib's dummy radio, whose transmitter rigctl switches (ptt 1, ptt 0).
start_rig() {
    rig_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
    rigctld -m 1 -P RIG -t "$rig_port" >"$E2E_ROOT/rigctld.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 10 'ptt 0' || { echo "FAIL: rigctld did not start"; exit 1; }
}

ptt() { rigctl -m 2 -r "localhost:$rig_port" T "$1" >/dev/null 2>&1; }

shoot_all() {
    local window
    shoot "$main_window" main-window
    open_by_click "$main_window" 295 423 "${MAIN_DESIGN[*]}" 1 || return 1
    shoot "$window" alert-window
    e2e_click_window "$window"
    e2e_wait_until 5 '[[ "$(e2e_map_state "$window")" != IsViewable ]]'
    open_by_click "$main_window" 188 458 "${MAIN_DESIGN[*]}" 2 || return 1
    local menu=$window
    shoot "$menu" audio-menu
    open_by_click "$menu" 114 312 "${MENU_DESIGN[*]}" 1 || return 1
    shoot "$window" audio-file-picker
    close_and_wait "$window"
    close_and_wait "$menu"
    open_by_click "$main_window" 190 68 "${MAIN_DESIGN[*]}" 2 || return 1
    shoot "$window" callsign-editor
    close_and_wait "$window"
    ptt 1
    shoot "$main_window" main-window-on-air
    xdotool windowactivate --sync "$main_window" key ctrl+comma
    e2e_wait_until 4 'window=$(mapped_other_besides)' || return 1
    shoot "$window" station-options
    close_and_wait "$window"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop import rigctld rigctl python3
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
mkdir -p "$out_dir"
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
# Room for every window at the scale asked for.
e2e_start_display "$(awk -v s="${QT_SCALE_FACTOR:-1}" 'BEGIN { printf "%dx%dx24", 1280 * s, 1024 * s }')" ||
    exit 1
start_rig
start_program
shoot_all || E2E_FAILURES=1
e2e_close_and_expect_exit "$main_window" "screenshots"
e2e_finish
