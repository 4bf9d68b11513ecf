#!/usr/bin/env bash
# End to end: the station options as an operator meets them. With an interval of 15 minutes
# the alert comes at a quarter of the clock (hh:45) and not at a ten-minute mark that is none
# (hh:40). At a mark with "Morse Callsign" chosen, W1AW/P sounds on a second null sink, the
# output chosen, and the recording decodes back to W1AW/P at the speed set, while the default
# sink stays silent; the system sound goes to the chosen output too. A chosen output that is
# not connected plays on the default until it is plugged in, which the Test button of the
# window opened with Ctrl+, hears without a restart; the window keeps the choice.
# Usage: station_options.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly OTHER_TITLE=" Timer Chimewell!" # the alert and the station options window
readonly LEAD=4.55                        # seconds on the program's clock from start-up to the mark
readonly START_TIMEOUT=20                 # a loaded machine may start Qt slowly
readonly RATE=$E2E_RECORD_RATE
readonly WINDOW=40                        # samples in one 5 ms window of a recording
readonly LOUD=1000                        # RMS above which a window counts as sound
readonly TEST_BUTTON=(298 211)            # client coordinates of the Test button
readonly WPM=18

# --- recording and decoding --------------------------------------------------------------

# Records the monitors of the sinks after $1 into $1.<sink>.raw. The sinks are suspended while
# the recorders attach and resumed together (see DESIGN.md), so that sample 0 of each is the
# moment kept in record_start.
record_begin() {
    local prefix=$1 sink wanted=$(($# - 1))
    shift
    record_pids=()
    for sink in "$@"; do pactl suspend-sink "$sink" 1; done
    for sink in "$@"; do
        parec --device="$sink.monitor" --latency-msec=5 --format=s16le --rate=$RATE \
            --channels=1 --raw >"$prefix.$sink.raw" &
        record_pids+=($!)
        e2e_track $!
    done
    e2e_wait_until 5 '(($(pactl list short source-outputs | wc -l) >= wanted))' ||
        e2e_fail "the recorders did not attach"
    for sink in "$@"; do pactl suspend-sink "$sink" 0; done
    record_start=$(e2e_now)
}

record_end() {
    local pid
    for pid in "${record_pids[@]}"; do e2e_stop "$pid"; done
}

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

# Decodes the Morse in recording $1: prints "<text> <words per minute> <onset in seconds from
# the recording's start>", or "none". The shortest key-down is the unit; a key-down is a dot
# (1 unit) or a dash (3), a gap within a letter (1), between letters (3) or words (7), each by
# its length in units; the speed is the keying's units over its time, a unit 1.2 s at 1 WPM.
morse_decode() {
    runs "$1" | awk -v seconds="$(e2e_calc "$WINDOW / $RATE")" '
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

# Recording $1 must hold sound ($2 "sound") or none ($2 "silence"); $3 names it.
expect_heard() {
    local loud
    loud=$(runs "$1" | awk '$1 { n += $2 } END { print n + 0 }')
    if { [[ $2 == sound ]] && ((loud > 10)); } || { [[ $2 == silence ]] && ((loud == 0)); }; then
        e2e_pass "$3: $2 ($((loud * 5)) ms of sound)"
    else
        e2e_fail "$3: expected $2, heard $((loud * 5)) ms of sound"
    fi
}

# --- the program --------------------------------------------------------------------------

# Starts the program in a fresh directory holding settings $2 ($1 names the directory), with
# the clock set by the last e2e_place_before_mark when $3 is "mark"; sets main_window and dir.
start_with() {
    dir=$(e2e_fresh_dir "$1") || return 1
    printf "$2" >"$dir/Chimewell.ini"
    cd "$dir" || return 1
    e2e_start_program "$program" "$([[ ${3:-} == mark ]] && echo "$E2E_OFFSET")"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "$1: the main window did not appear within $START_TIMEOUT s"
        return 1
    }
}

wait_past_mark() { e2e_wait_until 30 "e2e_test \"\$(e2e_now) > $E2E_MARK + $1\""; }

# The mapped window titled like the alert: the alert, or the station options window.
other_window() { e2e_find_viewable "$OTHER_TITLE"; }

# --- the scenes ----------------------------------------------------------------------------

# A quarter that is no ten-minute mark (hh:15, hh:45: 900 s past a multiple of 1800) alerts;
# a ten-minute mark that is no quarter (hh:10, hh:40) does not.
interval_of_fifteen() {
    echo "--- Interval=15"
    local phase what expected heard
    for phase in 600 900; do
        what="Interval=15 at hh:$((phase / 60))/$((phase / 60 + 30))"
        expected=$( ((phase == 900)) && echo yes || echo no)
        e2e_place_before_mark "$LEAD" 1800 "$phase"
        start_with "interval-$phase" '[Main Form]\nAudio=0\n[Station]\nInterval=15\n' mark || return
        wait_past_mark -0.3
        other_window >/dev/null && e2e_fail "$what: an alert before the mark"
        heard=no
        e2e_wait_until "$(e2e_calc "$E2E_MARK + 2.5 - $(e2e_now)")" 'other_window >/dev/null' &&
            heard=yes
        [[ $heard == "$expected" ]] && e2e_pass "$what: alert at the mark: $heard" ||
            e2e_fail "$what: alert at the mark: $heard, expected $expected"
        e2e_close_and_expect_exit "$main_window" "$what"
    done
}

# At a mark with audio choice $2 ($1 names it), the second sink chosen as the output, the
# sound must land there, within $3 seconds, and not on the default sink.
sound_at_a_mark() {
    echo "--- $1 at a mark, on the chosen output"
    local settings="[Main Form]\nAudio=$2\nCallSign=W1AW/P\n"
    e2e_place_before_mark "$LEAD"
    start_with "audio-$2" "$settings[Station]\nMorseWpm=$WPM\nMorseHz=600\nOutput=e2e_second\n" \
        mark || return
    record_begin "$E2E_ROOT/audio-$2" e2e_sink e2e_second
    wait_past_mark "$3"
    record_end
    expect_heard "$E2E_ROOT/audio-$2.e2e_second.raw" sound "$1 on the chosen output"
    expect_heard "$E2E_ROOT/audio-$2.e2e_sink.raw" silence "$1 on the default output"
    e2e_close_and_expect_exit "$main_window" "$1 at a mark"
}

# The Morse that the chosen output recorded must read W1AW/P, at the speed set, from the mark.
expect_decoded() {
    local text wpm onset
    read -r text wpm onset <<<"$(morse_decode "$E2E_ROOT/audio-3.e2e_second.raw")"
    onset=$(e2e_calc "$record_start + ${onset:-0} - $E2E_MARK")
    [[ $text == W1AW/P ]] && e2e_pass "the chosen output heard W1AW/P" ||
        e2e_fail "the chosen output heard '$text', expected W1AW/P"
    e2e_test "${wpm:-0} > $WPM * 0.95 && ${wpm:-0} < $WPM * 1.05" &&
        e2e_pass "measured $wpm WPM, set $WPM" || e2e_fail "measured ${wpm:-no} WPM, set $WPM"
    e2e_test "$onset >= -0.1 && $onset <= 0.6" && e2e_pass "it started ${onset} s after the mark" ||
        e2e_fail "it started ${onset} s after the mark"
}

# Clicks Test in window $1: the Morse must sound on sink $2 alone of the null sinks there are.
test_heard_on() {
    local sink sinks
    mapfile -t sinks < <(pactl list short sinks | awk '{ print $2 }')
    record_begin "$E2E_ROOT/test" "${sinks[@]}"
    xdotool mousemove --window "$1" "${TEST_BUTTON[@]}" click 1
    sleep 2.5
    record_end
    for sink in "${sinks[@]}"; do
        expect_heard "$E2E_ROOT/test.$sink.raw" "$([[ $sink == "$2" ]] && echo sound || echo silence)" \
            "Test $3, on $sink"
    done
}

absent_output_plugged_in() {
    echo "--- A chosen output that is not connected, then plugged in"
    local options
    local settings='[Main Form]\nAudio=3\nCallSign=K1\nStart=0\n'
    start_with absent "$settings[Station]\nMorseWpm=20\nOutput=e2e_third\n" || return
    xdotool windowactivate --sync "$main_window" key ctrl+comma
    options=$(e2e_wait_viewable "$OTHER_TITLE" 5) || { e2e_fail "Ctrl+, opened no window"; return; }
    sleep 0.5 # a click while the window settles can be lost
    test_heard_on "$options" e2e_sink "while e2e_third is not connected"
    pactl load-module module-null-sink sink_name=e2e_third >/dev/null
    sleep 1.5 # the window looks for outputs once a second
    test_heard_on "$options" e2e_third "once e2e_third is plugged in"
    e2e_close_window "$options"
    e2e_wait_until 5 '[[ "$(e2e_map_state "$options")" != IsViewable ]]'
    grep -qx "Output=e2e_third" "$dir/Chimewell.ini" && e2e_pass "the window kept Output=e2e_third" ||
        e2e_fail "the window saved:"$'\n'"$(cat "$dir/Chimewell.ini")"
    e2e_close_and_expect_exit "$main_window" "an output plugged in"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop pulseaudio pactl parec od
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1
pactl load-module module-null-sink sink_name=e2e_second >/dev/null || e2e_fail "no second sink"
end_scene() {
    [[ -n "${record_pids[*]:-}" ]] && record_end
    [[ -n "$E2E_PROGRAM_PID" ]] && e2e_stop "$E2E_PROGRAM_PID"
    return 0
}
interval_of_fifteen
end_scene
sound_at_a_mark "Morse Callsign" 3 7 && expect_decoded
end_scene
sound_at_a_mark "The system sound" 1 3
end_scene
absent_output_plugged_in
end_scene
e2e_finish
