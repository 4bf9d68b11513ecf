#!/usr/bin/env bash
# End to end: the callsign editor as an operator uses it. A double-click on the callsign opens
# it at its place, the Close button closes it; afterwards the word "Audio" on its button still
# takes a double-click. Opened again, moved, minimised and restored, it still takes what is
# typed; a shutdown's SIGTERM then closes the editor and the main window as the operator
# would, each saving: the callsign, the mode changed before, the editor's new place.
# Usage: callsign_editor.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# Double-clicks the callsign; the editor must then be mapped and active. Sets editor.
open_editor() {
    e2e_click_window "$main_window" 190 68 2
    e2e_expect_window editor "$E2E_TITLE" 5 || return
    e2e_wait_until 5 '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$editor" ]]' ||
        e2e_fail "the editor did not become the active window"
}

edit_then_shut_down() {
    local dir menu left top
    dir=$(e2e_fresh_dir editor)
    # Stopped, so that no alert takes the focus; the main window right of the editor's place.
    printf '[Main Form]\nLeft=700\nTop=50\nAudio=0\nCallSign=N0CALL\nStart=0\n' >"$dir/Chimewell.ini"
    e2e_start_main "$dir" || return
    e2e_click_window "$main_window" 79 423 # Mode: Manual
    open_editor || return
    e2e_expect_geometry "$editor" "100 100 370 330" "the editor"
    e2e_click_window "$editor" 169 267 # Close
    e2e_check "its Close button closed the editor" e2e_wait_gone "$editor" 5
    # Labels lying on buttons once caught the clicks after a window had been open.
    e2e_click_window "$main_window" 188 458 2 # the word "Audio"
    e2e_expect_window menu "$E2E_TITLE" 5 || return
    e2e_close_window "$menu"
    e2e_check "the title bar's close closed the menu" e2e_wait_gone "$menu" 5
    open_editor || return
    xdotool windowmove "$editor" 300 200
    e2e_wait_until 5 '[[ "$(e2e_outer_geometry "$editor")" != "100 100 "* ]]'
    read -r left top _ <<<"$(e2e_outer_geometry "$editor")"
    e2e_minimise "$editor" || return
    xdotool windowactivate "$editor" 2>/dev/null # as a click on its task-bar entry does
    e2e_wait_shown "$editor" 5 || { e2e_fail "the editor did not come back"; return 1; }
    e2e_expect_geometry "$editor" "$left $top 370 330" "the restored editor"
    xdotool type --delay 40 "W1MIN"
    xdotool key Return
    e2e_signal_and_expect_exit TERM "shutdown with the editor open"
    e2e_expect_saved "Main Form" CallSign=W1MIN Mode=0
    e2e_expect_saved "CallSign Form" "Left=$left" "Top=$top"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop
e2e_init
e2e_start_display || exit 1
e2e_scene edit_then_shut_down
e2e_finish
