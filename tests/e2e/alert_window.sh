#!/usr/bin/env bash
# End to end: the alert window as the operator meets it. At a mark it appears directly where
# and in the colour it was left, above a window raised over its place; the mouse wheel shows
# and hides its colour picker; minimised, it comes back with the Display button; moved and
# left for another window, its new place is what the main window saves; a click on one of its
# texts closes it at the next tick.
# Usage: alert_window.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly ALERT_TITLE=" Timer Chimewell!"
readonly COVER_TITLE="covering window"
readonly LEAD=4.55
readonly START_TIMEOUT=20
readonly GREEN="#00FF00"

# The colour of one screen pixel, as #RRGGBB.
pixel() {
    import -silent -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-F]\{6\}' | head -n 1
}

# A pixel well inside the alert's client area, clear of its texts: "x y" on the screen.
alert_face_point() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        END { print x + 12, y + 12 }'
}

expect_pixel() {
    local what=$1 expected=$2 x y seen
    read -r x y <<<"$3"
    seen=$(pixel "$x" "$y")
    if [[ "$seen" == "$expected" ]]; then
        e2e_pass "$what ($seen at $x,$y)"
    else
        e2e_fail "$what: $seen at $x,$y, expected $expected"
    fi
}

# An ordinary window of another program, raised over the spot where the alert will appear.
cover_the_alert_place() {
    xmessage -name "$COVER_TITLE" -title "$COVER_TITLE" -geometry 600x400+150+120 \
        "a window over the alert's place" >/dev/null 2>&1 &
    e2e_track $!
    cover_window=$(e2e_wait_viewable "$COVER_TITLE" 10) || {
        e2e_fail "the covering window did not appear"
        return 1
    }
    xdotool windowactivate --sync "$cover_window" 2>/dev/null
}

# The outer frame in which the window manager first showed client window $1: the last place
# and size given to its frame before the frame was mapped, from the root window's events.
frame_when_mapped() {
    awk -v client="$(printf '0x%x' "$1")" 'BEGIN { RS = "" }
        $1 == "ReparentNotify" && index($0, "window " client ",") {
            frame = $0; sub(/.*parent /, "", frame); sub(/,.*/, "", frame) }
        frame == "" { next }
        $1 == "ConfigureNotify" && index($0, "window " frame ",") &&
            match($0, /\(-?[0-9]+,-?[0-9]+\), width [0-9]+, height [0-9]+/) {
            geometry = substr($0, RSTART, RLENGTH); gsub(/[^-0-9]+/, " ", geometry) }
        $1 == "MapNotify" && index($0, "window " frame ",") { print substr(geometry, 2); exit }
    ' "$E2E_ROOT/root-events.log"
}

wait_for_alert() {
    alert_window=$(e2e_wait_viewable "$ALERT_TITLE" "$(e2e_calc "$E2E_MARK + 3 - $(e2e_now)")") ||
        { e2e_fail "no alert mapped within 3 s of the mark"; return 1; }
    local mapped=""
    e2e_wait_until 2 'mapped=$(frame_when_mapped "$alert_window"); [[ -n "$mapped" ]]'
    [[ "$mapped" == "200 150 500 400" ]] &&
        e2e_pass "the alert appears directly at its stored place and size" ||
        e2e_fail "the alert first appears at '$mapped', expected 200 150 500 400"
}

stays_on_top() {
    sleep 0.3 # let it paint
    expect_pixel "the alert shows its stored colour above the covering window" "$GREEN" \
        "$(alert_face_point "$alert_window")"
    xdotool windowactivate "$cover_window" 2>/dev/null
    sleep 0.5
    expect_pixel "the alert stays on top when the other window is activated" "$GREEN" \
        "$(alert_face_point "$alert_window")"
}

wheel_shows_and_hides_the_picker() {
    local centre
    centre=$(xwininfo -id "$alert_window" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print x + 250, y + 190 }')
    # shellcheck disable=SC2086 # two coordinates
    xdotool mousemove $centre click 5
    sleep 0.4
    [[ "$(pixel ${centre/ / })" != "$GREEN" ]] &&
        e2e_pass "a wheel turn over the alert shows the colour picker" ||
        e2e_fail "a wheel turn over the alert did not show the colour picker"
    # shellcheck disable=SC2086
    xdotool mousemove $centre click 4
    sleep 0.4
    expect_pixel "a wheel turn over the picker hides it again" "$GREEN" "$centre"
}

# Minimised, the alert comes back with the Display button, on top of the main window.
display_brings_back_the_minimised_alert() {
    e2e_minimise "$alert_window" || return
    xdotool windowactivate --sync "$main_window" 2>/dev/null
    e2e_click_window "$main_window" 295 423
    if e2e_wait_until 2 '[[ "$(e2e_map_state "$alert_window")" == IsViewable ]]'; then
        sleep 0.3
        expect_pixel "Display brings the minimised alert back on top" "$GREEN" \
            "$(alert_face_point "$alert_window")"
    else
        e2e_fail "Display left the minimised alert $(e2e_map_state "$alert_window")"
    fi
}

# As a drag on its title bar does, the alert is activated, then moved; activating the main
# window hands the new place back, and a click on the alert's text closes it at the next tick.
move_then_close_by_click() {
    xdotool windowactivate --sync "$alert_window" 2>/dev/null
    xdotool windowmove --sync "$alert_window" 260 230 2>/dev/null
    sleep 0.3
    moved=$(e2e_outer_geometry "$alert_window")
    e2e_click_window "$main_window" 187 520
    sleep 0.3
    e2e_click_window "$alert_window" 250 140
    if e2e_wait_map_state "$alert_window" IsUnMapped "$(e2e_calc "$(e2e_now) + 1.5")" >/dev/null
    then
        e2e_pass "a click on the alert's text closes it at the next tick"
    else
        e2e_fail "the alert was still shown 1.5 s after a click on its text"
    fi
}

saved_geometry_and_colour() {
    local left top width height
    read -r left top width height <<<"$moved"
    local expected=("form2Left=$left" "form2Top=$top" "form2Width=$width" "form2Height=$height"
        "form2Color=-16711936")
    local line missing=()
    for line in "${expected[@]}"; do
        grep -qx "$line" "$dir/Chimewell.ini" || missing+=("$line")
    done
    if ((${#missing[@]})); then
        e2e_fail "Chimewell.ini lacks ${missing[*]}"
    else
        e2e_pass "the main window's close saves the alert's new place and its colour"
    fi
}

run() {
    dir=$(e2e_fresh_dir alert) || return
    cd "$dir" || return
    printf '[Main Form]\nMode=0\nMode Indicator=Manual\nform2Left=200\nform2Top=150\n' \
        >Chimewell.ini
    printf 'form2Width=500\nform2Height=400\nform2Color=-16711936\n' >>Chimewell.ini
    xev -root -event substructure >"$E2E_ROOT/root-events.log" 2>/dev/null &
    e2e_track $!
    cover_the_alert_place || return
    e2e_place_before_mark "$LEAD"
    e2e_start_program "$program" "$E2E_OFFSET"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") ||
        { e2e_fail "the main window did not appear"; return 1; }
    xdotool windowactivate --sync "$cover_window" 2>/dev/null
    wait_for_alert || return
    stays_on_top
    wheel_shows_and_hides_the_picker
    display_brings_back_the_minimised_alert
    move_then_close_by_click
    e2e_close_and_expect_exit "$main_window" "after the alert"
    saved_geometry_and_colour
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop xev xmessage import pulseaudio pactl
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
e2e_init
fc-list >/dev/null 2>&1
e2e_start_display || exit 1
e2e_start_sound || exit 1
run
e2e_finish
