#!/usr/bin/env bash
# End to end: an audio file chosen through the real file dialog and heard as the operator hears
# it, recorded from the sound server's null sink. The operator opens the audio menu, types a
# path into the picker's file dialog, plays the file after a while, saves the choice and
# chooses "Play File": at the next ten-minute mark (the clock shifted by libfaketime) the tone
# must start at once and play whole, and the choice is saved.
# A file longer than ten minutes plays at a mark in Manual mode while the operator is browsing
# in the file dialog, until a click on the alert stops it; a shutdown's SIGTERM then closes
# every window. A file that cannot play gives the system sound instead, and says why.
# Usage: audio_file.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

readonly TONE_SECONDS=3
readonly RATE=$E2E_RECORD_RATE
readonly WINDOW=160 # samples in one 20 ms window of the recording
readonly LOUD=1000  # RMS above which a window counts as sound; the tone's is ~8000

record_begin() { recording=$1 && e2e_record_begin "$1"; }

# Prints "first last fraction" for the recording: the start and end of its sound in real time,
# and the share of 20 ms windows between them that are loud (1 for an unbroken sound); "none"
# when it holds no sound.
sound_span() {
    od -An -v -td2 -w2 "$recording" | awk -v start="$E2E_RECORD_START" -v rate=$RATE -v win=$WINDOW \
        -v loud=$LOUD '
        { sum += $1 * $1; n++ }
        n == win {
            if (sqrt(sum / n) > loud) {
                if (first == "") first = w
                last = w; count++
            }
            w++; sum = 0; n = 0
        }
        END {
            if (first == "") { print "none"; exit }
            printf "%.3f %.3f %.3f\n", start + first * win / rate, start + (last + 1) * win / rate,
                count / (last - first + 1)
        }'
}

# Ends the recording once a sound in it has been over for half a second, or at real time $1;
# sets first, last and fraction from its sound span.
record_end() {
    local E2E_POLL=0.25 span end
    e2e_wait_until "$(e2e_calc "$1 - $EPOCHREALTIME")" 'span=$(sound_span) && [[ $span != none ]] &&
        read -r _ end _ <<<"$span" && e2e_test "$end + 0.5 < $EPOCHREALTIME"'
    e2e_record_end
    read -r first last fraction <<<"$(sound_span)"
}

# The tone must start within 0.6 s after real time $1 ($2 names the case) and play whole.
expect_whole_tone() {
    record_end "$(e2e_calc "$1 + $TONE_SECONDS + 5")"
    e2e_check "$2: the tone sounded from $(e2e_calc "${first/none/-99} - $1") s to \
$(e2e_calc "${last:-0} - $1") s, ${fraction:-0} unbroken" e2e_test "$first - $1 >= -0.1 && $first - $1 <= 0.6 && $last - $first >= $TONE_SECONDS - 0.15 &&
            $last - $first <= $TONE_SECONDS + 0.15 && $fraction >= 0.97"
}

# Runs the click after the title $2 and the known ids until a new window titled so maps, three
# times at most: a click while a window still settles after its mapping can be lost, and a
# repeated one is harmless, as the new window is modal. Sets variable $1 to its id.
click_for_window() {
    local -n new=$1
    local title=$2 known=() try
    shift 2
    while [[ "$1" != -- ]]; do known+=("$1") && shift; done
    for try in 1 2 3; do
        "${@:2}"
        new=$(e2e_wait_viewable "$title" 4 "${known[@]}") && return
    done
    e2e_fail "no window '$title' after $*"
    return 1
}

# Clicks the audio menu at the point $1,$2 of its design (235 x 390), scaled as its controls
# are to its client area, which its stored outer size leaves smaller.
click_menu() {
    local width height
    read -r width height <<<"$(xwininfo -id "$menu" | awk '/^ *Width:/ { w = $2 }
        /^ *Height:/ { h = $2 } END { print w, h }')"
    e2e_click_window "$menu" $(($1 * width / 235)) $(($2 * height / 390))
}

# Opens the audio menu, the picker over it and the file dialog over that; sets menu, picker.
open_the_file_dialog() {
    local dialog
    click_for_window menu "$E2E_TITLE" -- e2e_click_window "$main_window" 188 458 2 || return
    click_for_window picker "$E2E_TITLE" "$menu" -- click_menu 114 312 || return
    click_for_window dialog Open -- e2e_click_window "$picker" 224 91
}

# Types path $1 into the file dialog and accepts it. xdotool types a letter outside the
# keyboard map (the "ä") by remapping a key, which the program now and then reads before the
# new map: then the letter is lost, and the typing is done again.
choose_in_dialog() {
    local dialog try
    dialog=$(e2e_find_viewable Open) || { e2e_fail "no file dialog"; return 1; }
    for try in 1 2 3; do
        xdotool windowactivate --sync "$dialog" key ctrl+a type --delay 20 "$1"
        xdotool key Return
        # A completion list may take the first Return.
        e2e_wait_gone "$dialog" 2 || xdotool key Return
        e2e_wait_gone "$dialog" 3 && return
    done
    e2e_fail "the file dialog did not accept '$1'"
    return 1
}

choose_then_hear_at_the_mark() {
    local click_at
    e2e_place_before_mark 60.55
    e2e_start_main "$(e2e_fresh_dir choose)" "$E2E_OFFSET" || return
    open_the_file_dialog && choose_in_dialog "$tone" || return
    sleep 6 # the operator waits: a file long loaded was once heard late and clipped
    record_begin "$E2E_ROOT/picker.raw"
    click_at=$EPOCHREALTIME
    e2e_click_window "$picker" 224 131 # Play Audio File
    expect_whole_tone "$click_at" "Play Audio File"
    e2e_click_window "$picker" 224 211 # Save File Selection
    e2e_click_window "$picker" 224 251 # Close and Return
    e2e_wait_gone "$picker" 5 || e2e_fail "Close and Return left the picker open"
    click_menu 110 185 # Play File
    e2e_wait_gone "$menu" 5 || e2e_fail "Play File left the audio menu open"
    e2e_test "$EPOCHREALTIME < $E2E_MARK - 1" || { e2e_fail "too slow to be done before the mark"; return; }
    record_begin "$E2E_ROOT/mark.raw"
    expect_whole_tone "$E2E_MARK" "at the mark"
    e2e_close_and_expect_exit "$main_window" "after the mark"
    e2e_expect_saved "Select Audio Form" "Selected File=$tone"
    e2e_expect_saved "Audio Form" fileExists=1
    e2e_expect_saved "Main Form" Audio=2
}

# The operator is browsing for a file when the mark comes: the alert must still close on a
# click, which must stop the long file.
long_file_stopped_by_a_click() {
    local dir alert click_at
    dir=$(e2e_fresh_dir long)
    printf '[Main Form]\nAudio=2\nMode=0\n[Select Audio Form]\nSelected File=%s\n' \
        "$long_tone" >"$dir/Chimewell.ini"
    e2e_place_before_mark 20.55
    e2e_start_main "$dir" "$E2E_OFFSET" && open_the_file_dialog || return
    e2e_test "$EPOCHREALTIME < $E2E_MARK - 0.5" || { e2e_fail "the dialog opened too late"; return; }
    record_begin "$E2E_ROOT/long.raw"
    alert=$(e2e_wait_viewable "$E2E_TITLE" "$(e2e_calc "$E2E_MARK + 3 - $EPOCHREALTIME")" \
        "$menu" "$picker") || { e2e_fail "no alert at the mark"; return; }
    e2e_wait_for_time "$(e2e_calc "$E2E_MARK + 5")"
    click_at=$EPOCHREALTIME
    e2e_click_window "$alert"
    record_end "$(e2e_calc "$click_at + 3")"
    e2e_check "the long file sounded from $(e2e_calc "${first/none/-99} - $E2E_MARK") s after \
the mark to $(e2e_calc "${last:-0} - $click_at") s after the click, ${fraction:-0} unbroken" e2e_test "$first - $E2E_MARK <= 0.6 && $last - $click_at >= -0.1 &&
            $last - $click_at <= 0.6 && $fraction >= 0.97"
    e2e_signal_and_expect_exit TERM "a shutdown with the file dialog open"
}

# A file that cannot play at the mark (one that holds the backend for seconds and ends without
# a sound) gives the system sound instead, and says why on standard error.
unplayable_at_the_mark() {
    local dir log
    dir=$(e2e_fresh_dir unplayable)
    printf '[Main Form]\nAudio=2\n[Select Audio Form]\nSelected File=%s\n' "$sounds/padded.wav" \
        >"$dir/Chimewell.ini"
    e2e_place_before_mark 4.55
    e2e_start_main "$dir" "$E2E_OFFSET" || return
    log=$(ls -t "$E2E_ROOT"/program-*.log | head -n 1)
    record_begin "$E2E_ROOT/fallback.raw"
    record_end "$(e2e_calc "$E2E_MARK + 6")"
    e2e_check "a sound $(e2e_calc "${first/none/99} - $E2E_MARK") s after the mark" \
        e2e_test "$first - $E2E_MARK <= 4"
    e2e_check "told on standard error" e2e_wait_until 10 'grep -q "could not play" "$log"'
    e2e_close_and_expect_exit "$main_window" "an unplayable file"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop pulseaudio pactl parec sox od
e2e_init
e2e_start_display && e2e_start_sound || exit 1
sounds=$(e2e_fresh_dir "Alert Klänge")
tone="$sounds/call sign tone.wav"
long_tone="$sounds/eleven minutes.wav"
sox -n -r 44100 -c 1 -b 16 "$tone" synth "$TONE_SECONDS" sine 660 vol 0.5
sox -n -r 8000 -c 1 -b 16 "$long_tone" synth 660 sine 440 vol 0.5
cp "$tone" "$sounds/padded.wav" && truncate -s 50M "$sounds/padded.wav"
e2e_scene choose_then_hear_at_the_mark
e2e_scene long_file_stopped_by_a_click
e2e_scene unplayable_at_the_mark
e2e_finish
