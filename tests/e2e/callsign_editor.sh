#!/usr/bin/env bash
# End to end: the callsign editor as an operator uses it, on a private X display. A
# double-click on the callsign opens the editor; a callsign typed and committed with Enter,
# or by leaving the box with the Close button, shows in the main window at once, and the main
# window's close saves it in Chimewell.ini; the next run shows it again, and the editor comes
# back where it was left, at its own size, also after a minimise. A shutdown's SIGTERM closes
# the editor and the main window as the operator would, each saving.
# Usage: callsign_editor.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2034 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly EDITOR_TITLE=" Timer Chimewell!" # the alert's title too; it stays hidden here
readonly START_TIMEOUT=20                   # a loaded machine may start Qt slowly
readonly CALLSIGN_AREA=(190 68)             # client coordinates over the callsign
readonly CLOSE_BUTTON=(169 267)             # client coordinates of the editor's Close button
readonly MODE_BUTTON=(79 423)               # client coordinates of the main window's Mode button
readonly CALLSIGN_LABEL=375x94+0+16         # the main window's callsign, as a crop
readonly CLOCK_LABEL=270x49+53+136

# The cycle stopped and silent, so that no alert takes the focus while the test types; the
# main window to the right of where the editor opens and is moved to, so both can be seen.
write_stopped_settings() {
    printf '[Main Form]\nLeft=700\nTop=50\nAudio=0\nCallSign=N0CALL\nStart=0\n' >"$1/Chimewell.ini"
}

# What the main window shows in area $1 (a crop geometry), saved to file $2.
capture() { import -silent -window "$main_window" -crop "$1" +repage "$2" 2>/dev/null; }

same_image() { compare -metric AE "$1" "$2" null: >/dev/null 2>&1; }

# Waits at most $4 seconds for area $1 of the main window to look (with $3 "same") like, or
# (with $3 "other") unlike, image $2.
wait_for_area() {
    local area=$1 reference=$2 wanted=$3 now="$E2E_ROOT/now.png"
    e2e_wait_until "$4" 'capture "$area" "$now"; if [[ $wanted == same ]]; then
        same_image "$now" "$reference"; else ! same_image "$now" "$reference"; fi'
}

# The value of key $3 in section $2 of Chimewell.ini in directory $1.
saved_value() {
    awk -v section="[$2]" -v key="$3" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$1/Chimewell.ini"
}

expect_saved() {
    local dir=$1 section=$2 key=$3 expected=$4 actual
    actual=$(saved_value "$dir" "$section" "$key")
    if [[ "$actual" == "$expected" ]]; then
        e2e_pass "[$section] $key=$expected"
    else
        e2e_fail "[$section] $key is '$actual', expected '$expected'"
    fi
}

# Starts the program in directory $1; sets main_window.
start_in() {
    cd "$1" || exit 1
    e2e_start_program "$program"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "the main window did not appear within $START_TIMEOUT s"
        return 1
    }
}

# Double-clicks the callsign and waits for the editor to be mapped and active; sets editor.
open_editor() {
    xdotool mousemove --window "$main_window" "${CALLSIGN_AREA[@]}" click --repeat 2 --delay 80 1
    editor=$(e2e_wait_viewable "$EDITOR_TITLE" 5) || {
        e2e_fail "no editor mapped after a double-click on the callsign"
        return 1
    }
    e2e_wait_until 5 '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$editor" ]]' ||
        e2e_fail "the editor did not become the active window"
}

expect_editor_at() {
    local geometry
    if geometry=$(e2e_wait_geometry "$editor" "$1" 2); then
        e2e_pass "the editor opens at $1"
    else
        e2e_fail "the editor opens at '$geometry', expected '$1'"
    fi
}

# Fails, naming what closed it ($1), unless the editor is unmapped within 5 s.
expect_editor_gone() {
    e2e_wait_until 5 '[[ "$(e2e_map_state "$editor")" != IsViewable ]]' ||
        e2e_fail "the editor was still mapped after $1"
}

close_editor_with_button() {
    xdotool mousemove --window "$editor" "${CLOSE_BUTTON[@]}" click 1
    expect_editor_gone "a click on its Close button"
}

enter_commits() {
    echo "--- Typed and committed with Enter"
    start_in "$dir" || return
    open_editor || return
    expect_editor_at "100 100 370 330"
    capture "$CLOCK_LABEL" "$E2E_ROOT/clock.png"
    if wait_for_area "$CLOCK_LABEL" "$E2E_ROOT/clock.png" other 3; then
        e2e_pass "the clock runs on while the editor is open"
    else
        e2e_fail "the clock stood still for 3 s while the editor was open"
    fi
    capture "$CALLSIGN_LABEL" "$E2E_ROOT/before.png"
    xdotool type --delay 40 "DL1ABC/p"
    xdotool key Return
    if wait_for_area "$CALLSIGN_LABEL" "$E2E_ROOT/before.png" other 3; then
        e2e_pass "Enter shows the callsign in the main window at once"
        capture "$CALLSIGN_LABEL" "$E2E_ROOT/committed.png"
    else
        e2e_fail "the main window's callsign did not change after Enter"
    fi
    close_editor_with_button
    e2e_close_and_expect_exit "$main_window" "first run"
    expect_saved "$dir" "Main Form" CallSign "DL1ABC/p"
    expect_saved "$dir" "CallSign Form" Left 100
    expect_saved "$dir" "CallSign Form" Height 330
}

# Drags the editor by its title bar by $1,$2 pixels, as an operator moves it.
drag_title_bar() {
    local left top target
    read -r left top _ <<<"$(e2e_outer_geometry "$editor")"
    target="$((left + $1)) $((top + $2)) "
    # Paced, so that the window manager sees a press, a drag and a release.
    xdotool mousemove $((left + 150)) $((top + 10)) sleep 0.1 mousedown 1 sleep 0.1 \
        mousemove $((left + 150 + $1 / 2)) $((top + 10 + $2 / 2)) sleep 0.1 \
        mousemove $((left + 150 + $1)) $((top + 10 + $2)) sleep 0.1 mouseup 1
    e2e_wait_until 5 '[[ "$(e2e_outer_geometry "$editor")" == "$target"* ]]' ||
        e2e_fail "the editor did not follow a drag of its title bar"
}

# A move is remembered; a minimised editor comes back as it was, still taking what is typed,
# and its close saves its place.
moved_minimised_and_typed() {
    echo "--- The next run: moved, minimised, restored, then typed"
    start_in "$dir" || return
    if wait_for_area "$CALLSIGN_LABEL" "$E2E_ROOT/committed.png" same 5; then
        e2e_pass "the next run shows the callsign"
    else
        e2e_fail "the next run does not show the callsign committed in the last one"
    fi
    open_editor || return
    drag_title_bar 200 100
    read -r moved_left moved_top _ <<<"$(e2e_outer_geometry "$editor")"
    e2e_minimise "$editor" && e2e_restore "$editor" || return
    expect_editor_at "$moved_left $moved_top 370 330"
    xdotool type --delay 40 "W1MIN"
    xdotool key Return
    e2e_close_window "$editor"
    expect_editor_gone "its title bar's close"
    e2e_close_and_expect_exit "$main_window" "second run"
    expect_saved "$dir" "Main Form" CallSign "W1MIN"
    expect_saved "$dir" "CallSign Form" Left "$moved_left"
    expect_saved "$dir" "CallSign Form" Top "$moved_top"
}

close_button_commits() {
    echo "--- A third run: typed, then the Close button without Enter"
    start_in "$dir" || return
    open_editor || return
    expect_editor_at "$moved_left $moved_top 370 330"
    xdotool type --delay 40 "K1ABC"
    close_editor_with_button
    if wait_for_area "$CALLSIGN_LABEL" "$E2E_ROOT/committed.png" other 3; then
        e2e_pass "the Close button commits what was typed"
    else
        e2e_fail "the main window's callsign did not change after typing and Close"
    fi
    audio_label_still_opens_the_menu
    e2e_close_and_expect_exit "$main_window" "third run"
    expect_saved "$dir" "Main Form" CallSign "K1ABC"
    expect_saved "$dir" "Main Form" Start 0
}

# A shutdown with the editor open: the editor closes first, saving its place, then the main
# window, saving the mode changed just before.
shutdown_with_the_editor_open() {
    echo "--- SIGTERM with the editor open"
    local fresh
    fresh=$(e2e_fresh_dir shutdown) || return
    write_stopped_settings "$fresh"
    start_in "$fresh" || return
    xdotool mousemove --window "$main_window" "${MODE_BUTTON[@]}" click 1
    open_editor || return
    e2e_signal_and_expect_exit TERM "shutdown with the editor open"
    expect_saved "$fresh" "Main Form" Mode 0
    expect_saved "$fresh" "CallSign Form" Left 100
}

# A window once opened over the main window must not leave the labels lying on buttons
# catching clicks: the word "Audio" on the Audio button still opens the audio menu.
audio_label_still_opens_the_menu() {
    local menu
    xdotool mousemove --window "$main_window" 188 458 click --repeat 2 --delay 80 1
    if menu=$(e2e_wait_viewable "$EDITOR_TITLE" 5); then
        e2e_pass "after the editor, a double-click on the word Audio opens the audio menu"
        e2e_close_window "$menu"
        e2e_wait_until 5 '[[ "$(e2e_map_state "$menu")" != IsViewable ]]'
    else
        e2e_fail "after the editor, a double-click on the word Audio opened nothing"
    fi
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop import compare
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
dir=$(e2e_fresh_dir editor) || exit 1
write_stopped_settings "$dir"
moved_left="" moved_top=""
enter_commits
moved_minimised_and_typed
close_button_commits
shutdown_with_the_editor_open
e2e_finish
