#!/usr/bin/env bash
# End to end: an audio file chosen through the real file dialog, heard as the operator hears
# it. The operator opens the audio menu, picks a tone file in the picker's dialog, minimises
# and restores the picker, plays the file after a wait, saves the choice, closes and returns, and chooses "Play File"; the choice is
# in the settings file. At the next ten-minute mark (the clock shifted by libfaketime) the
# tone is recorded from the sound server's null sink: it must start at the mark and play
# whole. A file longer than ten minutes plays at a mark in Manual mode, while the operator is
# browsing in the file dialog, until a click on the alert stops it; a shutdown's SIGTERM then
# closes every window. A file that cannot play gives the system sound instead.
# Usage: audio_file.sh <path to chimewell>
# shellcheck disable=SC2016,SC2317 # conditions handed to e2e_wait_until are eval'ed there
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly AUDIO_TITLE=" Timer Chimewell!" # the menu, the picker and the alert alike
readonly DIALOG_TITLE="Open"
readonly LEAD=4.55         # seconds on the program's clock from start-up to the mark
readonly DIALOG_LEAD=20.55 # the same, with time to open the file dialog first
readonly START_TIMEOUT=20 # a loaded machine may start Qt slowly
readonly TONE_SECONDS=3
readonly RATE=$E2E_RECORD_RATE
readonly WINDOW=160       # samples in one 20 ms window of the recording
readonly LOUD=1000        # RMS above which a window counts as sound; the tone's is ~8000

# --- recording ---------------------------------------------------------------------------

# Prints "first last fraction" for the recording $1: the start and end of its sound in real
# time, and the share of 20 ms windows between them that are loud (1 for an unbroken sound);
# "none" when it holds no sound.
sound_span() {
    od -An -v -td2 -w2 "$1" | awk -v start="$E2E_RECORD_START" -v rate=$RATE -v win=$WINDOW \
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

# The tone in recording $1 must start within 0.6 s after $2 (real time) and last the file's
# length, unbroken.
expect_whole_tone() {
    local recording=$1 from=$2 what=$3 first last fraction onset length
    read -r first last fraction <<<"$(sound_span "$recording")"
    if [[ "$first" == none ]]; then
        e2e_fail "$what: nothing was heard"
        return
    fi
    onset=$(e2e_calc "$first - $from")
    length=$(e2e_calc "$last - $first")
    if e2e_test "$onset >= -0.1 && $onset <= 0.6"; then
        e2e_pass "$what: the tone started on time (${onset} s)"
    else
        e2e_fail "$what: the tone started ${onset} s after the moment it was due"
    fi
    if e2e_test "$length >= $TONE_SECONDS - 0.15 && $length <= $TONE_SECONDS + 0.15 && $fraction >= 0.97"; then
        e2e_pass "$what: the tone played whole (${length} s, ${fraction} of it unbroken)"
    else
        e2e_fail "$what: the tone played ${length} s of $TONE_SECONDS s, ${fraction} of it unbroken"
    fi
}

# --- the windows -------------------------------------------------------------------------

# Clicks (or with $6 = 2 double-clicks) window $1 at the designed point $4,$5 of a client
# area designed $2 x $3, scaled as the window's controls are to its real client area.
click_designed() {
    local id=$1 designed_width=$2 designed_height=$3 x=$4 y=$5 clicks=${6:-1} width height
    read -r width height <<<"$(xwininfo -id "$id" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { print w, h }')"
    xdotool mousemove --window "$id" $((x * width / designed_width)) $((y * height / designed_height)) \
        click --repeat "$clicks" --delay 80 1
}

# Runs the click after "--" until a window titled $1 maps that is not one of the ids
# between; prints its id. Three tries, 4 s each: a click that comes while a window still
# settles after its mapping can be lost, and a repeated one is harmless, because the new
# window is modal and shuts out the one beneath it.
click_for_window() {
    local title=$1 found="" known=()
    shift
    while [[ "$1" != -- ]]; do known+=("$1"); shift; done
    shift
    for _ in 1 2 3; do
        "$@"
        e2e_wait_until 4 'found=$(new_window "$title" "${known[@]}")' && echo "$found" && return 0
    done
    return 1
}

# The first mapped window titled $1 that is not one of the ids after it.
new_window() {
    local title=$1 id
    shift
    for id in $(e2e_find_windows "$title"); do
        [[ " $* " == *" $id "* ]] && continue
        [[ "$(e2e_map_state "$id")" == IsViewable ]] && echo "$id" && return 0
    done
    return 1
}

# The picker's buttons, at their designed centres: the picker cannot be resized, so its
# controls keep their designed places.
picker_click() {
    local y
    case "$2" in
    select) y=91 ;;
    play) y=131 ;;
    save) y=211 ;;
    return) y=251 ;;
    esac
    e2e_click_window "$1" 224 "$y"
}

# Types the path into the real dialog's file name field and accepts it. xdotool types a
# letter outside the keyboard map (the "ä") by remapping a key, which the program now and
# then reads before the new map: the letter is lost and the typing is done again.
choose_in_dialog() {
    local dialog attempt
    dialog=$(e2e_find_viewable "$DIALOG_TITLE") || return 1
    for attempt in 1 2 3; do
        xdotool windowactivate --sync "$dialog" 2>/dev/null
        xdotool key ctrl+a
        xdotool type --delay 20 "$1"
        xdotool key Return
        # A completion list may take the first Return.
        e2e_wait_until 2 '[[ "$(e2e_map_state "$dialog")" != IsViewable ]]' || xdotool key Return
        if e2e_wait_until 3 '[[ "$(e2e_map_state "$dialog")" != IsViewable ]]'; then
            e2e_pass "the file dialog accepted the typed path (attempt $attempt)"
            return 0
        fi
    done
    e2e_fail "the file dialog did not accept '$1'"
    return 1
}

start_program() {
    cd "$run_dir" || exit 1
    e2e_start_program "$program" "${1:-}"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "the main window did not appear within $START_TIMEOUT s"
        return 1
    }
}

# --- the scenes --------------------------------------------------------------------------

# Opens the audio menu, the picker over it and the file dialog over that; sets menu and picker.
open_the_file_dialog() {
    menu=$(click_for_window "$AUDIO_TITLE" -- click_designed "$main_window" 375 565 188 458 2) ||
        { e2e_fail "the audio menu did not open"; return 1; }
    picker=$(click_for_window "$AUDIO_TITLE" "$menu" -- click_designed "$menu" 235 390 114 312) ||
        { e2e_fail "the picker did not open"; return 1; }
    click_for_window "$DIALOG_TITLE" -- picker_click "$picker" select >/dev/null ||
        { e2e_fail "the file dialog did not open"; return 1; }
}

choose_the_file() {
    echo "--- Choosing the file through the dialog"
    local click_at
    start_program || return
    open_the_file_dialog || return
    choose_in_dialog "$tone" || return
    # Minimised and restored, the picker still holds the file.
    e2e_minimise "$picker" && e2e_restore "$picker" || return
    # A file that waits before it plays must still be heard on time and whole.
    sleep 6
    e2e_record_begin "$E2E_ROOT/picker.raw"
    click_at=$(e2e_now)
    picker_click "$picker" play
    sleep $((TONE_SECONDS + 2))
    e2e_record_end
    expect_whole_tone "$E2E_ROOT/picker.raw" "$click_at" "Play Audio File after a 6 s wait"
    picker_click "$picker" save
    picker_click "$picker" return
    e2e_wait_until 5 '[[ "$(e2e_map_state "$picker")" != IsViewable ]]' ||
        e2e_fail "Close and Return did not close the picker"
    click_designed "$menu" 235 390 110 185
    e2e_wait_until 5 '[[ "$(e2e_map_state "$menu")" != IsViewable ]]' ||
        e2e_fail "Play File did not close the audio menu"
    e2e_close_and_expect_exit "$main_window" "choosing"
    expect_stored "Selected File=$tone" "fileExists=1" "Audio=2"
}

expect_stored() {
    local line
    for line in "$@"; do
        if grep -qxF -- "$line" "$run_dir/Chimewell.ini"; then
            e2e_pass "Chimewell.ini holds '$line'"
        else
            e2e_fail "Chimewell.ini lacks '$line':"$'\n'"$(cat "$run_dir/Chimewell.ini")"
        fi
    done
}

tone_at_the_mark() {
    echo "--- The chosen file at the mark"
    e2e_place_before_mark "$LEAD"
    start_program "$E2E_OFFSET" || return
    e2e_record_begin "$E2E_ROOT/mark.raw"
    e2e_wait_until 30 "e2e_test \"\$(e2e_now) > $E2E_MARK + $TONE_SECONDS + 1.5\""
    e2e_record_end
    expect_whole_tone "$E2E_ROOT/mark.raw" "$E2E_MARK" "at the mark"
    e2e_close_and_expect_exit "$main_window" "at the mark"
}

# The operator is browsing for a file when the mark comes: the alert must still close on a click.
long_file_stopped_by_a_click() {
    echo "--- A file of eleven minutes, stopped by a click on the alert over the file dialog"
    local alert="" click_at first last fraction
    printf '[Main Form]\nAudio=2\nMode=0\nMode Indicator=Manual\n[Select Audio Form]\nSelected File=%s\n' \
        "$long_tone" >"$run_dir/Chimewell.ini"
    e2e_place_before_mark "$DIALOG_LEAD"
    start_program "$E2E_OFFSET" || return
    open_the_file_dialog || return
    e2e_test "$(e2e_now) < $E2E_MARK - 0.5" ||
        { e2e_fail "the file dialog was not open before the mark"; return; }
    e2e_record_begin "$E2E_ROOT/long.raw"
    e2e_wait_until "$(e2e_calc "$E2E_MARK + 3 - $(e2e_now)")" \
        'alert=$(new_window "$AUDIO_TITLE" "$menu" "$picker")' || {
        e2e_fail "no alert at the mark"
        return
    }
    e2e_wait_until 30 "e2e_test \"\$(e2e_now) > $E2E_MARK + 5\""
    click_at=$(e2e_now)
    e2e_click_window "$alert"
    sleep 2
    e2e_record_end
    read -r first last fraction <<<"$(sound_span "$E2E_ROOT/long.raw")"
    if [[ "$first" == none ]]; then
        e2e_fail "the long file was not heard"
    elif e2e_test "$first - $E2E_MARK <= 0.6 && $last - $click_at >= -0.1 && $last - $click_at <= 0.6 && $fraction >= 0.97"; then
        e2e_pass "the long file played from the mark until the click ($(e2e_calc "$last - $click_at") s after it)"
    else
        e2e_fail "the long file sounded from $(e2e_calc "$first - $E2E_MARK") s to $(e2e_calc "$last - $E2E_MARK") s after the mark (click at $(e2e_calc "$click_at - $E2E_MARK") s, ${fraction} unbroken)"
    fi
    e2e_signal_and_expect_exit TERM "a shutdown with the file dialog open"
}

# A file that cannot play at the mark (here one that holds the backend for seconds and
# ends without a sound) gives the system sound instead, and says why on standard error; so
# does a sound server that refuses the stream (its only sink gone).
unplayable_at_the_mark() {
    local what=$1 first log
    echo "--- $what at the mark: the system sound instead"
    printf '[Main Form]\nAudio=2\n[Select Audio Form]\nSelected File=%s\n' "$2" >"$run_dir/Chimewell.ini"
    e2e_place_before_mark "$LEAD"
    start_program "$E2E_OFFSET" || return
    [[ -z "${3:-}" ]] && e2e_record_begin "$E2E_ROOT/fallback.raw"
    [[ -n "${3:-}" ]] && pactl unload-module module-null-sink
    e2e_wait_until 30 "e2e_test \"\$(e2e_now) > $E2E_MARK + 5\""
    if [[ -z "${3:-}" ]]; then
        e2e_record_end
        read -r first _ <<<"$(sound_span "$E2E_ROOT/fallback.raw")"
        if [[ "$first" != none ]] && e2e_test "$first - $E2E_MARK <= 4"; then
            e2e_pass "$what: a sound was heard $(e2e_calc "$first - $E2E_MARK") s after the mark"
        else
            e2e_fail "$what: nothing heard within 4 s of the mark (first sound: $first)"
        fi
    fi
    log=$(ls -t "$E2E_ROOT"/program-*.log | head -n 1)
    if grep -q "could not play" "$log"; then
        e2e_pass "$what: told on standard error: $(grep "could not play" "$log")"
    else
        e2e_fail "$what: nothing told on standard error:"$'\n'"$(cat "$log")"
    fi
    e2e_close_and_expect_exit "$main_window" "$what"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop pulseaudio pactl parec sox od
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1
run_dir=$(e2e_fresh_dir run) || exit 1
sounds=$(e2e_fresh_dir "Alert Klänge") || exit 1
tone="$sounds/call sign tone.wav"
long_tone="$sounds/eleven minutes.wav"
sox -n -r 44100 -c 1 -b 16 "$tone" synth "$TONE_SECONDS" sine 660 vol 0.5
sox -n -r 8000 -c 1 -b 16 "$long_tone" synth 660 sine 440 vol 0.5
# A scene that failed half-way leaves nothing running for the next.
end_scene() {
    [[ -n "$E2E_RECORD_PID" ]] && e2e_stop "$E2E_RECORD_PID"
    [[ -n "$E2E_PROGRAM_PID" ]] && e2e_stop "$E2E_PROGRAM_PID"
    return 0
}

choose_the_file
end_scene
tone_at_the_mark
end_scene
long_file_stopped_by_a_click
end_scene
cp "$tone" "$sounds/padded.wav" && truncate -s 50M "$sounds/padded.wav"
unplayable_at_the_mark "a WAV padded with zeros to 50 MB" "$sounds/padded.wav"
end_scene
unplayable_at_the_mark "a refusing sound server" "$tone" refuse
end_scene
e2e_finish
