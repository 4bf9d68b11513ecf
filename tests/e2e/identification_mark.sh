#!/usr/bin/env bash
# End to end: ten-minute marks as the operator meets them, the program's clock shifted to just
# before a mark and its windows watched from outside. First run: the alert comes at the mark
# where it belongs and Auto mode takes it away at second 15; the close ends the process with
# status 0. Manual mode, with marks 15 minutes apart: the alert comes at a quarter that is no
# ten-minute mark (hh:45), directly at its stored place, above a window raised over it, and in
# its stored colour; minimised, it comes back with Display; moved, its new place is saved; a
# click takes it away. A window manager that frames the main window late must not move it,
# and the close saves its frame; a ten-minute mark that is no quarter (hh:40) raises no alert.
# Usage: identification_mark.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

since_mark() { e2e_calc "$EPOCHREALTIME - $E2E_MARK"; }

# Until shortly before the mark no alert may be mapped; then one must be, within 2 s of it.
# Sets alert.
expect_alert_at_mark() {
    while e2e_test "$EPOCHREALTIME < $E2E_MARK - 0.3"; do
        e2e_find_viewable "$E2E_TITLE" >/dev/null && {
            e2e_fail "an alert was mapped $(since_mark) s from the mark, before it"
            return 1
        }
        sleep "$E2E_POLL"
    done
    e2e_expect_window alert "$E2E_TITLE" "$(e2e_calc "$E2E_MARK + 2 - $EPOCHREALTIME")" || return
    e2e_pass "the alert was mapped $(since_mark) s after the mark"
}

# The operator is typing into another program (xev, which logs the keys it gets) when the mark
# comes: the alert comes on top without taking the focus, and a Space still goes to that
# program, not to the alert.
auto_mode_first_run() {
    local typing log="$E2E_ROOT/typing.log"
    xev -name typing -event keyboard >"$log" 2>/dev/null &
    e2e_track $!
    e2e_expect_window typing typing 10 || return
    e2e_place_before_mark 4.55
    e2e_start_main "$(e2e_fresh_dir auto)" "$E2E_OFFSET" || return
    # Not a check: Qt asks for the new main window's activation once it is mapped, which may come
    # after the window manager has activated it; the operator goes to the other program after.
    sleep 1
    xdotool windowactivate --sync "$typing" 2>/dev/null
    expect_alert_at_mark || return
    e2e_expect_geometry "$alert" "100 100 600 500" "the alert"
    e2e_check "the other program keeps the focus" [ "$(xdotool getactivewindow)" = "$typing" ]
    xdotool key space
    e2e_check "a Space typed reaches it" e2e_wait_until 2 'grep -q "keysym 0x20, space" "$log"'
    e2e_check "and leaves the alert up" [ "$(e2e_map_state "$alert")" = IsViewable ]
    e2e_wait_gone "$alert" "$(e2e_calc "$E2E_MARK + 17 - $EPOCHREALTIME")"
    e2e_check "Auto mode unmapped the alert $(since_mark) s after the mark" \
        e2e_test "$(since_mark) >= 14 && $(since_mark) <= 17"
    e2e_close_and_expect_exit "$main_window" "first run"
}

# The alert's face, clear of its texts, must show its green ($1 says when) within 1 s: the
# colour of one screen pixel, as #RRGGBB.
expect_green_alert() {
    local x y seen=""
    read -r x y <<<"$(xwininfo -id "$alert" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } END { print x + 12, y + 12 }')"
    e2e_wait_until 1 'seen=$(import -silent -window root -crop "1x1+$x+$y" -depth 8 txt:- \
        2>/dev/null | grep -o "#[0-9A-F]\{6\}" | head -n 1); [[ "$seen" == "#00FF00" ]]'
    e2e_check "$1: ${seen:-nothing} at $x,$y" [ "$seen" = "#00FF00" ]
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

manual_mode_stored_alert() {
    local dir cover mapped="" moved left top width height
    dir=$(e2e_fresh_dir manual)
    printf '%s\n' '[Main Form]' Mode=0 form2Left=200 form2Top=150 form2Width=560 form2Height=470 \
        form2Color=-16711936 '[Station]' Interval=15 >"$dir/Chimewell.ini"
    xev -root -event substructure >"$E2E_ROOT/root-events.log" 2>/dev/null &
    e2e_track $!
    xmessage -title cover -geometry 600x400+150+120 "over the alert's place" >/dev/null 2>&1 &
    e2e_track $!
    e2e_expect_window cover cover 10 || return
    e2e_place_before_mark 4.55 1800 900
    e2e_start_main "$dir" "$E2E_OFFSET" || return
    xdotool windowactivate --sync "$cover" 2>/dev/null
    expect_alert_at_mark || return
    e2e_wait_until 2 'mapped=$(frame_when_mapped "$alert"); [[ -n "$mapped" ]]'
    e2e_check "the alert first appears at '$mapped'" [ "$mapped" = "200 150 560 470" ]
    expect_green_alert "the alert shows its colour above the other window"
    xdotool windowactivate --sync "$cover" 2>/dev/null
    expect_green_alert "the alert stays on top when the other window is activated"
    e2e_minimise "$alert" || return
    xdotool windowactivate --sync "$main_window" 2>/dev/null
    e2e_click_window "$main_window" 295 423 # Display
    e2e_wait_shown "$alert" 2 && expect_green_alert "Display brings it back on top" ||
        e2e_fail "Display left the minimised alert $(e2e_map_state "$alert")"
    # As a drag on its title bar does: activated, then moved; the main window's activation
    # takes the new place, and a click on the alert's text closes it at the next tick.
    xdotool windowactivate --sync "$alert" windowmove "$alert" 260 230 2>/dev/null
    e2e_wait_until 2 '[[ "$(e2e_outer_geometry "$alert")" != "200 150 "* ]]'
    moved=$(e2e_outer_geometry "$alert")
    e2e_click_window "$main_window" 187 520
    e2e_wait_until 2 '[[ "$(xdotool getactivewindow)" == "$main_window" ]]'
    e2e_click_window "$alert" 250 140
    e2e_check "a click on the alert's text closes it" e2e_wait_gone "$alert" 1.5
    e2e_close_and_expect_exit "$main_window" "Manual mode"
    read -r left top width height <<<"$moved"
    e2e_expect_saved "Main Form" "form2Left=$left" "form2Top=$top" "form2Width=$width" "form2Height=$height" \
        form2Color=-16711936
}

# A window manager too busy to tell the frame in advance (paused while the program starts)
# must still frame the main window at its stored place, which the close saves unchanged: the
# place once crept by the frame's size at every start. With marks 15 minutes apart, started
# before hh:40, a ten-minute mark that is no quarter, the program raises no alert there.
late_window_manager_before_hh40() {
    local dir wm
    dir=$(e2e_fresh_dir late-wm)
    printf '%s\n' '[Main Form]' Left=300 Top=200 Width=377 Height=590 '[Station]' Interval=15 \
        >"$dir/Chimewell.ini"
    cd "$dir" || return
    wm=$(pgrep -n -x openbox)
    kill -STOP "$wm"
    e2e_place_before_mark 10.55 1800 600 # time for a slow start: the watch begins once it is up
    e2e_start_program "$program" "$E2E_OFFSET"
    e2e_wait_until 20 '[[ -n "$(e2e_find_windows "$E2E_MAIN_TITLE")" ]]'
    sleep 0.3 # not a check: the program's frame request times out (50 ms), then it maps
    kill -CONT "$wm"
    e2e_expect_window main_window "$E2E_MAIN_TITLE" 20 || return
    e2e_expect_geometry "$main_window" "300 200 377 590" "the late-framed main window"
    e2e_test "$EPOCHREALTIME < $E2E_MARK - 0.5" || { e2e_fail "up too late for hh:40"; return; }
    e2e_wait_until "$(e2e_calc "$E2E_MARK + 2.5 - $EPOCHREALTIME")" \
        'e2e_find_viewable "$E2E_TITLE" >/dev/null' &&
        e2e_fail "an alert $(since_mark) s from hh:40" || e2e_pass "no alert by hh:40 + 2.5 s"
    e2e_close_and_expect_exit "$main_window" "a late window manager"
    e2e_expect_saved "Main Form" Left=300 Top=200 Width=377 Height=590
}

# A second start in the same folder brings the first one's window back to the front and ends
# with status 0, saying so; the lock of a start that was killed does not stop the next one.
second_start_raises_the_first() {
    local first status
    e2e_start_main "$(e2e_fresh_dir twice)" || return
    first=$E2E_PROGRAM_PID
    e2e_minimise "$main_window" || return
    timeout 20 env QT_QPA_PLATFORM=xcb "$program" 2>"$E2E_ROOT/second.log"
    status=$?
    e2e_check "the second start ended with status $status, saying so" \
        eval '[ $status = 0 ] && grep -q "already running" "$E2E_ROOT/second.log"'
    e2e_check "the first one's window came back" e2e_wait_shown "$main_window" 5
    e2e_check "the first one runs on" e2e_alive "$first"
    kill -KILL "$first" && e2e_stop "$first" 2>/dev/null
    e2e_start_main "$PWD" || return
    e2e_close_and_expect_exit "$main_window" "a start after a killed one"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop xev xmessage import pulseaudio pactl timeout
e2e_init
e2e_start_display || exit 1
e2e_start_sound || exit 1 # the system tone of each mark goes nowhere
e2e_scene auto_mode_first_run
e2e_scene manual_mode_stored_alert
e2e_scene late_window_manager_before_hh40
e2e_scene second_start_raises_the_first
e2e_finish
