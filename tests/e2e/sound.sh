#!/usr/bin/env bash
# End to end: the alert's sound as the operator hears it, recorded from the sound server's null
# sinks. The operator opens the audio menu, types a path into the picker's file dialog, plays
# the file after a while, saves the choice and chooses "Play File": at the next ten-minute mark
# (the clock shifted by libfaketime) the tone must start at once and play whole, and the choice
# is saved. A file longer than ten minutes plays at a mark in Manual mode while the operator is
# browsing in the file dialog, until a click on the alert stops it; a shutdown's SIGTERM then
# closes every window.
# With a second null sink chosen as the output, the sound of a mark lands there and not on the
# default sink: "Morse Callsign" sends KØABC/P, its zero written slashed as operators do, which
# the recording decodes back to K0ABC/P at the speed set; the system sound, also when it stands
# in for a file that cannot play (which is told); "Spoken Callsign" says it, from the mark, for as
# long as its phonetics take. A chosen output that is not connected plays
# on the default until it is plugged in, which the Test button of the window opened with
# Ctrl+, hears without a restart.
# Usage: sound.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2059 # eval'ed conditions; settings formats
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

readonly TONE_SECONDS=3
readonly WINDOW=40             # samples in one 5 ms window of a recording
readonly LOUD=1000             # RMS above which a window counts as sound; the tones' is ~8000
readonly WPM=18

# --- recording and decoding --------------------------------------------------------------

# The 5 ms windows of recording $1 as runs of sound and silence: "1 17", "0 16"...
runs() {
    od -An -v -td2 -w2 "$1" | awk -v win=$WINDOW -v loud=$LOUD '
        { sum += $1 * $1 }
        ++n == win {
            on = sqrt(sum / n) > loud
            if (count && on == state) count++
            else { if (count) print state, count; state = on; count = 1 }
            n = sum = 0
        }
        END { if (count) print state, count }'
}

# Prints "first last fraction" for recording $1: the start and end of its sound in real time,
# and the share of the windows between them that are loud (1 for an unbroken sound); "none"
# when it holds no sound.
sound_span() {
    runs "$1" | awk -v start="$E2E_RECORD_START" -v seconds="$(e2e_calc "$WINDOW / $E2E_RECORD_RATE")" '
        $1 && first == "" { first = at }
        $1 { last = at + $2; loud += $2 }
        { at += $2 }
        END {
            if (first == "") print "none"
            else printf "%.3f %.3f %.3f\n", start + first * seconds, start + last * seconds,
                loud / (last - first)
        }'
}

# Ends recording $1 of the default sink once a sound in it has been over for half a second, or
# at real time $2; sets first, last and fraction from its sound span.
record_until_quiet() {
    local E2E_POLL=0.25 file="$E2E_ROOT/$1.e2e_sink.raw" span end
    e2e_wait_until "$(e2e_calc "$2 - $EPOCHREALTIME")" 'span=$(sound_span "$file") &&
        [[ $span != none ]] && read -r _ end _ <<<"$span" && e2e_test "$end + 0.5 < $EPOCHREALTIME"'
    e2e_record_end
    read -r first last fraction <<<"$(sound_span "$file")"
}

# Decodes the Morse in recording $1: prints "<text> <words per minute> <onset in seconds from
# the recording's start>", or "none". The shortest key-down is the unit; a key-down is a dot
# (1 unit) or a dash (3), a gap within a letter (1), between letters (3) or words (7), each by
# its length in units; the speed is the keying's units over its time, a unit 1.2 s at 1 WPM.
morse_decode() {
    runs "$1" | awk -v seconds="$(e2e_calc "$WINDOW / $E2E_RECORD_RATE")" '
        BEGIN {
            split("A .- B -... C -.-. D -.. E . F ..-. G --. H .... I .. J .--- K -.- L .-.. " \
                "M -- N -. O --- P .--. Q --.- R .-. S ... T - U ..- V ...- W .-- X -..- " \
                "Y -.-- Z --.. 0 ----- 1 .---- 2 ..--- 3 ...-- 4 ....- 5 ..... 6 -.... " \
                "7 --... 8 ---.. 9 ----. / -..-. ? ..--.. . .-.-.- , --..-- = -...- - -....-", t)
            for (i = 1; i in t; i += 2) letter[t[i + 1]] = t[i]
        }
        { on[NR] = $1; size[NR] = $2 }
        END {
            first = on[1] ? 1 : 2; last = on[NR] ? NR : NR - 1
            if (last < first) { print "none"; exit }
            unit = 1e9
            for (i = first; i <= last; i += 2) unit = size[i] < unit ? size[i] : unit
            for (i = first; i <= last; i++) {
                units = size[i] < 2 * unit ? 1 : on[i] || size[i] < 5 * unit ? 3 : 7
                span += size[i]; total += units
                if (on[i]) code = code (units == 1 ? "." : "-")
                else if (units > 1) { text = text letter[code] (units == 7 ? " " : ""); code = "" }
            }
            printf "%s%s %.2f %.3f\n", text, letter[code], 1.2 * total / (span * seconds),
                first == 2 ? size[1] * seconds : 0
        }'
}

# Recording $1 must hold sound ($2 "sound": above 50 ms of it) or none ($2 "silence"; over a
# second recorded, lest a recorder that failed pass for silence); $3 names it.
expect_heard() {
    local loud total heard=some
    read -r loud total < <(runs "$E2E_ROOT/$1.raw" |
        awk '{ t += $2 } $1 { n += $2 } END { print n + 0, t + 0 }')
    ((loud > 10)) && heard=sound
    ((loud == 0 && total > 200)) && heard=silence
    e2e_check "$3: expected $2, heard $((loud * 5)) ms of sound in $((total * 5)) ms" \
        [ "$heard" = "$2" ]
}

# --- the audio file ----------------------------------------------------------------------

# A fresh folder $1 whose settings file holds $2; prints its path.
settings_folder() { e2e_fresh_dir "$1" && printf "$2" >"$E2E_ROOT/$1/Chimewell.ini"; }

# The tone recorded in $1 must start within 0.6 s after real time $2 ($3 names the case) and
# play whole.
expect_whole_tone() {
    record_until_quiet "$1" "$(e2e_calc "$2 + $TONE_SECONDS + 5")"
    e2e_check "$3: the tone sounded from $(e2e_calc "${first/none/-99} - $2") s to \
$(e2e_calc "${last:-0} - $2") s, ${fraction:-0} unbroken" e2e_test "$first - $2 >= -0.1 && $first - $2 <= 0.6 && $last - $first >= $TONE_SECONDS - 0.15 &&
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

# Opens the audio menu, the picker over it and the file dialog over that; sets menu, picker,
# dialog.
open_the_file_dialog() {
    click_for_window menu "$E2E_TITLE" -- e2e_click_window "$main_window" 188 458 2 || return
    click_for_window picker "$E2E_TITLE" "$menu" -- click_menu 114 312 || return
    click_for_window dialog Open -- e2e_click_window "$picker" 224 91
}

choose_then_hear_at_the_mark() {
    local click_at
    e2e_place_before_mark 60.55
    e2e_start_main "$(e2e_fresh_dir choose)" "$E2E_OFFSET" || return
    open_the_file_dialog || return
    # xdotool reads the text in its own locale: in plain C it would drop the "ä".
    LC_ALL=C.UTF-8 xdotool windowactivate --sync "$dialog" key ctrl+a type --delay 20 "$tone"
    xdotool key Return
    # A completion list may take the first Return.
    e2e_wait_gone "$dialog" 2 || xdotool key Return
    e2e_wait_gone "$dialog" 5 || { e2e_fail "the file dialog did not accept '$tone'"; return; }
    # Minimised and restored, the picker keeps the file; its close saves it (checked below).
    e2e_minimise "$picker" || return
    xdotool windowactivate "$picker" 2>/dev/null # as a click on its task-bar entry does
    e2e_wait_shown "$picker" 5 || { e2e_fail "the picker did not come back"; return; }
    sleep 6 # the operator waits: a file long loaded was once heard late and clipped
    e2e_record_begin picker e2e_sink
    click_at=$EPOCHREALTIME
    e2e_click_window "$picker" 224 131 # Play Audio File
    expect_whole_tone picker "$click_at" "Play Audio File"
    e2e_click_window "$picker" 224 211 # Save File Selection
    e2e_click_window "$picker" 224 251 # Close and Return
    e2e_wait_gone "$picker" 5 || e2e_fail "Close and Return left the picker open"
    click_menu 110 185 # Play File
    e2e_wait_gone "$menu" 5 || e2e_fail "Play File left the audio menu open"
    e2e_test "$EPOCHREALTIME < $E2E_MARK - 1" || { e2e_fail "too slow to be done before the mark"; return; }
    e2e_record_begin mark e2e_sink
    expect_whole_tone mark "$E2E_MARK" "at the mark"
    e2e_close_and_expect_exit "$main_window" "after the mark"
    e2e_expect_saved "Select Audio Form" "Selected File=$tone"
    e2e_expect_saved "Main Form" Audio=2
}

# The operator is browsing for a file when the mark comes: the alert must still close on a
# click, which must stop the long file.
long_file_stopped_by_a_click() {
    local dir alert click_at
    dir=$(settings_folder long \
        "[Main Form]\nAudio=2\nMode=0\n[Select Audio Form]\nSelected File=$long_tone\n")
    e2e_place_before_mark 20.55
    e2e_start_main "$dir" "$E2E_OFFSET" && open_the_file_dialog || return
    e2e_test "$EPOCHREALTIME < $E2E_MARK - 0.5" || { e2e_fail "the dialog opened too late"; return; }
    e2e_record_begin long e2e_sink
    alert=$(e2e_wait_viewable "$E2E_TITLE" "$(e2e_calc "$E2E_MARK + 3 - $EPOCHREALTIME")" \
        "$menu" "$picker") || { e2e_fail "no alert at the mark"; return; }
    e2e_wait_until 10 "e2e_test \"\$EPOCHREALTIME >= $E2E_MARK + 5\""
    click_at=$EPOCHREALTIME
    e2e_click_window "$alert"
    record_until_quiet long "$(e2e_calc "$click_at + 3")"
    e2e_check "the long file sounded from $(e2e_calc "${first/none/-99} - $E2E_MARK") s after \
the mark to $(e2e_calc "${last:-0} - $click_at") s after the click, ${fraction:-0} unbroken" e2e_test "$first - $E2E_MARK <= 0.6 && $last - $click_at >= -0.1 &&
            $last - $click_at <= 0.6 && $fraction >= 0.97"
    e2e_signal_and_expect_exit TERM "a shutdown with the file dialog open"
}

# --- the chosen output -------------------------------------------------------------------

# At a mark with audio choice $2 ($1 names it; more settings in $4), the second sink chosen as
# the output, the sound must land there within $3 seconds and not on the default sink; then
# the command after $4 runs.
sound_at_a_mark() {
    local dir
    dir=$(settings_folder "audio-$2" "[Main Form]\nAudio=$2\nCallSign=KØABC/P\n$4[Station]\n\
MorseWpm=$WPM\nOutput=e2e_second\n")
    e2e_place_before_mark 4.55
    e2e_start_main "$dir" "$E2E_OFFSET" || return
    e2e_record_begin "audio-$2" e2e_sink e2e_second
    e2e_wait_until 30 "e2e_test \"\$EPOCHREALTIME > $E2E_MARK + $3\""
    e2e_record_end
    expect_heard "audio-$2.e2e_second" sound "$1 on the chosen output"
    expect_heard "audio-$2.e2e_sink" silence "$1 on the default output"
    e2e_close_and_expect_exit "$main_window" "$1 at a mark"
    "${@:5}"
}

# The Morse that the chosen output recorded must read K0ABC/P, at the speed set, from the mark.
expect_decoded() {
    local text wpm onset
    read -r text wpm onset <<<"$(morse_decode "$E2E_ROOT/audio-3.e2e_second.raw")"
    onset=$(e2e_calc "$E2E_RECORD_START + ${onset:-0} - $E2E_MARK")
    e2e_check "the chosen output heard '$text', expected K0ABC/P" [ "$text" = K0ABC/P ]
    e2e_check "measured ${wpm:-no} WPM, set $WPM" \
        e2e_test "${wpm:-0} > $WPM * 0.95 && ${wpm:-0} < $WPM * 1.05"
    e2e_check "it started $onset s after the mark" e2e_test "$onset >= -0.1 && $onset <= 0.6"
}

# "Kilo Zero Alpha Bravo Charlie portable" must sound on the chosen output from the mark for
# about as long as it takes at 150 words a minute, 2.6 s: not the system sound standing in.
expect_spoken() {
    local first last
    read -r first last _ <<<"$(sound_span "$E2E_ROOT/audio-4.e2e_second.raw")"
    e2e_check "the speech sounded from $(e2e_calc "${first/none/-99} - $E2E_MARK") s to \
$(e2e_calc "${last:-0} - $E2E_MARK") s after the mark" e2e_test "$first - $E2E_MARK >= -0.1 &&
        $first - $E2E_MARK <= 0.6 && $last - $first >= 2 && $last - $first <= 3.5"
}

# Clicks Test in window $1: the Morse must sound on sink $2 alone of the null sinks there are.
test_heard_on() {
    local sink sinks
    mapfile -t sinks < <(pactl list short sinks | awk '{ print $2 }')
    e2e_record_begin test "${sinks[@]}"
    xdotool mousemove --window "$1" 648 141 click 1 # Test
    sleep 2.5
    e2e_record_end
    for sink in "${sinks[@]}"; do
        expect_heard "test.$sink" "$([[ $sink == "$2" ]] && echo sound || echo silence)" \
            "Test $3, on $sink"
    done
}

absent_output_plugged_in() {
    local dir options
    dir=$(settings_folder absent \
        '[Main Form]\nAudio=3\nCallSign=K1\nStart=0\n[Station]\nMorseWpm=20\nOutput=e2e_third\n')
    e2e_start_main "$dir" || return
    xdotool windowactivate --sync "$main_window" key ctrl+comma
    e2e_expect_window options "$E2E_TITLE" 5 || return
    sleep 0.5 # a click while the window settles can be lost
    test_heard_on "$options" e2e_sink "while e2e_third is not connected"
    pactl load-module module-null-sink sink_name=e2e_third >/dev/null
    sleep 1.5 # the window looks for outputs once a second
    test_heard_on "$options" e2e_third "once e2e_third is plugged in"
    e2e_close_window "$options"
    e2e_wait_gone "$options" 5
    e2e_close_and_expect_exit "$main_window" "an output plugged in"
}

e2e_require_tools Xvfb openbox xdotool xmodmap wmctrl xwininfo xprop pulseaudio pactl parec sox od
e2e_init
e2e_start_display && e2e_start_sound || exit 1
# A letter outside the keyboard map xdotool types by remapping a key for a moment, which a
# slow program reads too late and loses: the path's "ä" gets a key of its own.
xmodmap -e "keycode any = adiaeresis Adiaeresis" || e2e_fail "no key for the ä"
pactl load-module module-null-sink sink_name=e2e_second >/dev/null || e2e_fail "no second sink"
sounds=$(e2e_fresh_dir "Alert Klänge")
tone="$sounds/call sign tone.wav"
long_tone="$sounds/eleven minutes.wav"
sox -n -r 44100 -c 1 -b 16 "$tone" synth "$TONE_SECONDS" sine 660 vol 0.5
sox -n -r 8000 -c 1 -b 16 "$long_tone" synth 660 sine 440 vol 0.5
echo "73 de N0CALL" >"$sounds/notes.mp3"
e2e_scene choose_then_hear_at_the_mark
e2e_scene long_file_stopped_by_a_click
e2e_scene sound_at_a_mark "Morse Callsign" 3 8 "" expect_decoded
e2e_scene sound_at_a_mark "Spoken Callsign" 4 5 "" expect_spoken
e2e_scene sound_at_a_mark "The system sound" 1 3 ""
# Stored when it still held a sound, perhaps.
e2e_scene sound_at_a_mark "The system sound for a file that cannot play" 2 4 \
    "[Select Audio Form]\nSelected File=$sounds/notes.mp3\n" e2e_check "told on standard error" \
    eval 'grep -q "could not play" "$(ls -t "$E2E_ROOT"/program-*.log | head -n 1)"'
e2e_scene absent_output_plugged_in
e2e_finish
