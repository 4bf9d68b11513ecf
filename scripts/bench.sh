#!/usr/bin/env bash
# Chimewell side by side with a bare Qt clock (the floor of the stack) on a private X display:
# start-up, CPU, wakeups and memory while ticking (also watching each transmitter source, the
# real program: Hamlib's dummy radio through rigctld, flrig on it, fldigi and WSJT-X; and with
# the rig on but no rigctld), instructions per tick under callgrind, how
# soon the alert follows a ten-minute mark with each sound and how soon the first mark's sound
# is heard.
# Prints figures with their targets; passes no verdict, because shared machines are noisy.
# Usage: scripts/bench.sh <build dir>
# Knobs: BENCH_RUNS start-ups of each (5), BENCH_CPU_SECONDS of ticking measured (60),
# BENCH_MARKS marks timed for each sound (5), BENCH_SOUNDS first marks heard for each sound (3),
# BENCH_SETTLE_SECONDS after start-up before measuring (5), BENCH_CALLGRIND_SECONDS of
# ticking counted (20), BENCH_PARTS the parts to run (all: start-ups ticking instructions marks
# sounds).
set -uo pipefail

build=$(realpath "${1:?usage: $0 <build dir>}")
# shellcheck source=../tests/e2e/lib.sh
source "$(dirname "$0")/../tests/e2e/lib.sh"
# shellcheck source=map_events.sh
source "$(dirname "$0")/map_events.sh"
# shellcheck source=../tests/e2e/xmlrpc_programs.sh
source "$(dirname "$0")/../tests/e2e/xmlrpc_programs.sh"
# shellcheck source=../tests/e2e/wsjtx_program.sh
source "$(dirname "$0")/../tests/e2e/wsjtx_program.sh"

readonly CHIMEWELL="$build/app/chimewell"
readonly BARE_CLOCK="$build/bench/bare_clock"
readonly MAIN_TITLE=" Timer Chimewell! "
readonly BARE_TITLE="Bare clock"
readonly RUNS=${BENCH_RUNS:-5}
readonly CPU_SECONDS=${BENCH_CPU_SECONDS:-60}
readonly MARKS=${BENCH_MARKS:-5}
readonly SOUNDS=${BENCH_SOUNDS:-3}
readonly SETTLE_SECONDS=${BENCH_SETTLE_SECONDS:-5}
readonly CALLGRIND_SECONDS=${BENCH_CALLGRIND_SECONDS:-20}
readonly CALLGRIND_START_TIMEOUT=120 # a program under valgrind starts slowly
readonly LOUD=1000 # a recorded sample beyond this counts as sound (the tone's peak is ~16000)
CLOCK_TICKS=$(getconf CLK_TCK)
readonly CLOCK_TICKS
cpu=() wakeups=() instructions=() tick_counts=""
mark_delays_0="" mark_delays_1="" mark_delays_2="" mark_delays_3=""
bare_start_ups="" chimewell_start_ups="" file_onsets="" tone_onsets="" speech_onsets=""

# --- figures -------------------------------------------------------------------------------

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) print "n/a"
    else printf "%.1f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
worst() { tr ' ' '\n' | grep . | sort -g | tail -1; }

# Seconds of CPU: from utime + stime (clock ticks, 10 ms steps), and from the scheduler's
# run time of every thread (nanoseconds), which resolves the tiny load of a ticking clock.
cpu_seconds() {
    awk -v hz="$CLOCK_TICKS" '{ sub(/.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"
}
run_seconds() { cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { print ns / 1e9 }'; }
# Each time one of its threads went to sleep it was woken again: a wakeup.
sleeps() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches:/ { n += $2 } END { print n }'; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
pss_kb() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }

# The media player's thread, started when the player is prepared or first plays.
media_player_in() {
    grep -lx "sound stream" /proc/"$1"/task/*/comm 2>/dev/null
}

# --- the programs --------------------------------------------------------------------------

# A fresh directory named $1 whose settings choose audio $2 (0 none, 1 the system sound, 2 the
# file made by make_tone, 3 the callsign in Morse, 4 spoken), with the [Station] lines after it;
# prints its path.
settings_dir() {
    local dir
    dir=$(e2e_fresh_dir "$1") || exit 1
    printf '[Main Form]\nAudio=%s\nCallSign=W1AW\n[Select Audio Form]\nSelected File=%s\n' \
        "$2" "$tone" >"$dir/Chimewell.ini"
    printf '%s\n' '[Station]' "${@:3}" >>"$dir/Chimewell.ini"
    echo "$dir"
}

# For steady ticking on the real clock: the system sound, and marks an hour apart (the next one
# not before the measuring ends, see hour_clear_of_marks), with the [Station] lines after $1.
ticking_dir() { settings_dir "$1" 1 Interval=60 "${@:2}"; }

# Hamlib's dummy radio on a free port, in rig_port.
start_rigctld() {
    rig_port=$(xmlrpc_free_port)
    rigctld -m 1 -P RIG -t "$rig_port" >"$E2E_ROOT/rigctld.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 10 'rigctl -m 2 -r "localhost:$rig_port" t >/dev/null 2>&1' ||
        echo "  rigctld did not start: the rig's figures are those of a link that is down"
}

# The sources watched while ticking, each program on a free port: the [Station] lines of each
# in source_settings, in the order of SOURCE_LABELS.
readonly SOURCE_LABELS=("watching the dummy radio (rigctld)" "watching flrig" "watching fldigi"
    "listening to WSJT-X" "with the rig on, no rigctld")
start_sources() {
    local port
    start_rigctld
    source_settings=("RigPort=$rig_port")
    port=$(xmlrpc_free_port) && start_flrig "$port"
    source_settings+=("RigKind=flrig FlrigPort=$port")
    port=$(xmlrpc_free_port) && start_fldigi "$port"
    source_settings+=("RigKind=fldigi FldigiPort=$port")
    port=$(xmlrpc_free_port) && start_wsjtx "$port"
    source_settings+=("RigKind=wsjtx WsjtxPort=$port")
    source_settings+=("RigPort=$(xmlrpc_free_port)")
}

# A tone that sounds from its first sample, so that its onset is the moment it starts.
make_tone() {
    tone="$E2E_ROOT/tone.wav"
    sox -n -r 44100 -c 1 -b 16 "$tone" synth 1 sine 880 vol 0.5
}

# --- start-up ------------------------------------------------------------------------------

# Appends to variable $2 the milliseconds from launching program $1 (in a fresh directory) to
# the window manager mapping its first window.
time_start_up() {
    local program=$1 log="$E2E_ROOT/start-up-maps.log" launched pid
    local -n samples=$2
    cd "$(e2e_fresh_dir start-up)" || exit 1
    watch_maps "$log" root
    sleep 0.3 # xev selects its events
    launched=$(e2e_now)
    e2e_start_program "$program"
    if e2e_wait_until 30 'grep -q MapNotify "$log"'; then
        samples+=" $(awk -v t0="$launched" \
            '$2 == "MapNotify" { printf "%.1f", ($1 - t0) * 1000; exit }' "$log")"
    else
        echo "  $program: no window mapped within 30 s"
    fi
    e2e_stop "$E2E_PROGRAM_PID"
    for pid in "${WATCH_PIDS[@]}"; do e2e_stop "$pid"; done
}

# Alternating, and in turn starting with either, so that drift in the machine's load hits
# both alike.
measure_start_ups() {
    local run
    bare_start_ups="" chimewell_start_ups=""
    for ((run = 0; run < RUNS; run++)); do
        if ((run % 2)); then
            time_start_up "$CHIMEWELL" chimewell_start_ups
            time_start_up "$BARE_CLOCK" bare_start_ups
        else
            time_start_up "$BARE_CLOCK" bare_start_ups
            time_start_up "$CHIMEWELL" chimewell_start_ups
        fi
    done
}

# --- CPU, wakeups and memory ---------------------------------------------------------------

# Waits, if need be, until the next whole hour is further off than the measuring takes, so that
# no mark of an hourly interval falls into it.
hour_clear_of_marks() {
    local needed=$((SETTLE_SECONDS + CPU_SECONDS + 30)) left
    left=$((3600 - $(date +%s) % 3600))
    ((left > needed)) && return
    echo "  waiting ${left} s for the hour's mark to pass"
    sleep $((left + 2))
}

# The bare clock, Chimewell with the system sound, Chimewell with an audio file (its media
# layer prepared), and Chimewell with each source of SOURCE_LABELS, all at once over the same
# seconds, on the real clock (libfaketime's cost on every clock call would swamp the
# difference), with marks an hour apart and none to come while measuring, so that no alert
# interrupts the steady ticking. Sets cpu (utime+stime, then scheduler time, % of a core, one
# figure a program each), wakeups, rss and pss in the order the programs started.
measure_steady_ticking() {
    local pids=() started seconds figure pid index before=() after=() rates=() n settings
    hour_clear_of_marks
    start_sources
    cd "$(e2e_fresh_dir steady-bare)" && e2e_start_program "$BARE_CLOCK"
    pids+=("$E2E_PROGRAM_PID")
    cd "$(ticking_dir steady-tone)" && e2e_start_program "$CHIMEWELL"
    pids+=("$E2E_PROGRAM_PID")
    cd "$(settings_dir steady-file 2 Interval=60)" && e2e_start_program "$CHIMEWELL"
    pids+=("$E2E_PROGRAM_PID")
    for index in "${!source_settings[@]}"; do
        read -ra settings <<<"${source_settings[index]}"
        cd "$(ticking_dir "steady-source-$index" Rig=1 "${settings[@]}")" &&
            e2e_start_program "$CHIMEWELL"
        pids+=("$E2E_PROGRAM_PID")
    done
    n=${#pids[@]}
    if ! e2e_wait_viewable "$BARE_TITLE" 30 >/dev/null ||
        ! e2e_wait_until 30 '(($(e2e_find_windows "$MAIN_TITLE" | wc -l) == n - 1))'; then
        echo "  the programs did not show their windows: no CPU and memory figures"
        return 1
    fi
    sleep "$SETTLE_SECONDS"
    started=$(e2e_now)
    for figure in cpu_seconds run_seconds sleeps; do
        for pid in "${pids[@]}"; do before+=("$($figure "$pid")"); done
    done
    sleep "$CPU_SECONDS"
    seconds=$(e2e_calc "$(e2e_now) - $started")
    for figure in cpu_seconds run_seconds sleeps; do
        for pid in "${pids[@]}"; do after+=("$($figure "$pid")"); done
    done
    for index in "${!before[@]}"; do
        rates+=("$(format 6 "(${after[index]} - ${before[index]}) / $seconds")")
    done
    for ((index = 0; index < 2 * n; index++)); do cpu+=("$(format 3 "${rates[index]} * 100")"); done
    for ((index = 2 * n; index < 3 * n; index++)); do wakeups+=("$(format 1 "${rates[index]}")"); done
    rss=() pss=()
    for pid in "${pids[@]}"; do
        rss+=("$(rss_kb "$pid")") pss+=("$(pss_kb "$pid")")
    done
    media_player_tone=$(media_player_in "${pids[1]}")
    media_player_file=$(media_player_in "${pids[2]}")
    for pid in "${pids[@]}"; do e2e_stop "$pid"; done
}

# --- instructions per tick -----------------------------------------------------------------

# Starts program $1 under callgrind, its instrumentation off until measure_instructions turns
# it on; the profile goes to $2.N.
start_under_callgrind() {
    env TZ=UTC QT_QPA_PLATFORM=xcb LD_PRELOAD="$(e2e_faketime_lib)" FAKETIME="+$E2E_OFFSET" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_FORCE_MONOTONIC_FIX=0 \
        valgrind --tool=callgrind --instr-atstart=no --compress-strings=no \
        --callgrind-out-file="$2" "$1" >"$2.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# Prints "instructions ticks painting" of callgrind profile $1: all instructions, the calls of
# the tick timer's signal (the only timer that fires while the clock ticks steadily), and the
# instructions spent painting and flushing windows.
profile_figures() {
    awk '
        /^totals:/ { total = $2 }
        /^cfn=/ { callee = $0 }
        /^calls=/ {
            split($0, c, "[= ]")
            if (callee ~ /QTimer::timeout\(/) ticks += c[2]
            if (callee ~ /QWidgetRepaintManager::paintAndFlush\(\)/) { painting_call = 1; next }
        }
        painting_call { split($0, f, " "); painting += f[2]; painting_call = 0 }
        END { print total, ticks, painting }' "$1"
}

# Both programs under callgrind at once (instructions do not depend on the machine's load),
# each with CALLGRIND_SECONDS of steady ticking counted after it has settled.
measure_instructions() {
    local pids=() profiles=() pid index
    e2e_place_before_mark $((600 - 30))
    cd "$(e2e_fresh_dir callgrind-bare)" || exit 1
    start_under_callgrind "$BARE_CLOCK" "$PWD/profile"
    pids+=("$E2E_PROGRAM_PID") profiles+=("$PWD/profile")
    cd "$(settings_dir callgrind-chimewell 1)" || exit 1
    start_under_callgrind "$CHIMEWELL" "$PWD/profile"
    pids+=("$E2E_PROGRAM_PID") profiles+=("$PWD/profile")
    if ! e2e_wait_viewable "$BARE_TITLE" "$CALLGRIND_START_TIMEOUT" >/dev/null ||
        ! e2e_wait_viewable "$MAIN_TITLE" "$CALLGRIND_START_TIMEOUT" >/dev/null; then
        echo "  the programs did not show their windows under callgrind: no instruction figures"
        return 1
    fi
    sleep "$SETTLE_SECONDS"
    for pid in "${pids[@]}"; do callgrind_control --instr=on "$pid" >/dev/null 2>&1; done
    sleep "$CALLGRIND_SECONDS"
    for pid in "${pids[@]}"; do
        callgrind_control --instr=off "$pid" >/dev/null 2>&1
        callgrind_control --dump "$pid" >/dev/null 2>&1
    done
    for index in 0 1; do
        e2e_stop "${pids[index]}"
        read -r total ticks painting <<<"$(profile_figures "${profiles[index]}.1")"
        if ((ticks > 0)); then
            instructions+=("$(format 0 "$total / $ticks")" "$(format 0 "$painting / $ticks")")
        else
            instructions+=(n/a n/a)
        fi
        tick_counts+=" $ticks"
    done
}

# --- the alert after a mark ----------------------------------------------------------------

# Adds to the variable named $2 the milliseconds from a ten-minute mark on the program's shifted
# clock to the window manager mapping the alert, as another X client sees it; the program
# starts $3 seconds before the mark with audio choice $1.
time_one_mark() {
    local choice=$1 lead=$3 log="$E2E_ROOT/alert-maps.log" pid mapped
    local -n delays=$2
    cd "$(settings_dir "mark-$choice" "$choice")" || exit 1
    e2e_place_before_mark "$lead"
    e2e_start_program "$CHIMEWELL" "$E2E_OFFSET"
    if e2e_wait_viewable "$MAIN_TITLE" "$(e2e_calc "$lead - 1")" >/dev/null; then
        watch_maps "$log" root
        if e2e_wait_until "$(e2e_calc "$E2E_MARK + 3 - $(e2e_now)")" 'grep -q MapNotify "$log"'
        then
            mapped=$(awk '$2 == "MapNotify" { print $1; exit }' "$log")
            delays+=" $(format 1 "($mapped - $E2E_MARK) * 1000")"
        else
            echo "  audio $choice, lead $lead s: the alert was not mapped within 3 s of the mark"
        fi
        for pid in "${WATCH_PIDS[@]}"; do e2e_stop "$pid"; done
    else
        echo "  audio $choice, lead $lead s: skipped, the main window was not there 1 s before the mark"
    fi
    e2e_stop "$E2E_PROGRAM_PID"
}

# For each sound, fresh starts each at another phase of the second, so that a timer that runs
# from the start-up rather than the clock shows all its delays.
measure_marks() {
    local mark choice
    for choice in 0 1 2 3; do
        for ((mark = 0; mark < MARKS; mark++)); do
            time_one_mark "$choice" "mark_delays_$choice" "$(e2e_calc "4.05 + $mark / $MARKS")"
        done
    done
}

# --- the first mark's sound ----------------------------------------------------------------

# Milliseconds from the real time $2 to the first loud sample of recording $1; empty when it
# holds no sound. The recording is true to some 5 ms (see e2e_record_begin).
onset_after() {
    od -An -v -td2 -w2 "$1" | awk -v start="$E2E_RECORD_START" -v rate="$E2E_RECORD_RATE" \
        -v from="$2" -v loud=$LOUD '
        $1 > loud || -$1 > loud { printf "%.1f\n", (start + (NR - 1) / rate - from) * 1000; exit }'
}

# Adds to the variable named $2 the onset of the first mark's sound after a fresh start with
# audio $1 (1 the system sound, 2 the tone file, 4 the spoken callsign), the start-up $3 seconds
# before the mark.
time_first_sound() {
    local choice=$1 lead=$3 recording onset
    local -n onsets=$2
    cd "$(settings_dir "sound-$choice" "$choice")" || exit 1
    recording="$E2E_ROOT/sound-$choice.e2e_sink.raw"
    e2e_place_before_mark "$lead"
    e2e_start_program "$CHIMEWELL" "$E2E_OFFSET"
    if e2e_wait_viewable "$MAIN_TITLE" "$(e2e_calc "$lead - 1.5")" >/dev/null; then
        e2e_record_begin "sound-$choice" e2e_sink
        e2e_wait_until 10 "e2e_test \"\$(e2e_now) > $E2E_MARK + 1.5\""
        e2e_record_end
        onset=$(onset_after "$recording" "$E2E_MARK")
        [[ -n "$onset" ]] && onsets+=" $onset" ||
            echo "  audio $choice, lead $lead s: nothing heard within 1.5 s of the mark"
    else
        echo "  audio $choice, lead $lead s: skipped, the main window was not there in time"
    fi
    e2e_stop "$E2E_PROGRAM_PID"
}

measure_first_sounds() {
    local run lead
    file_onsets="" tone_onsets="" speech_onsets=""
    for ((run = 0; run < SOUNDS; run++)); do
        lead=$(e2e_calc "5.05 + $run / $SOUNDS")
        time_first_sound 2 file_onsets "$lead"
        time_first_sound 1 tone_onsets "$lead"
        time_first_sound 4 speech_onsets "$lead"
    done
}

# --- report --------------------------------------------------------------------------------

row() { printf '%-50s %11s %11s %11s   %s\n' "$@"; }
format() { awk "BEGIN { printf \"%.$1f\", $2 }"; }
ratio() { if e2e_test "$1 > 0"; then format 2 "$2 / $1" | sed 's/$/x/'; else echo n/a; fi; }
# A row of label $1, the bare clock's $2 and ours $3, their ratio, and the target $4.
ratio_row() { row "$1" "$2" "$3" "$(ratio "$2" "$3")" "$4"; }
megabytes() { format 1 "($1) / 1024"; }
memory_row() {
    row "$1" "$(megabytes "$2")" "$(megabytes "$3")" "+$(megabytes "$3 - $2") MB" "within +10 MB"
}

# cpu holds n utime+stime figures, then n scheduler figures; the sources start at program 3.
report_steady_ticking() {
    local loaded n=${#wakeups[@]} index
    ratio_row "CPU over $CPU_SECONDS s, utime+stime (% of a core)" "${cpu[0]}" "${cpu[1]}" \
        "within 1.2x"
    ratio_row "CPU over $CPU_SECONDS s, scheduler ns (% of a core)" "${cpu[n]}" "${cpu[n + 1]}" \
        "within 1.2x"
    ratio_row "  the same with an audio file chosen" "${cpu[n]}" "${cpu[n + 2]}" "within 1.2x"
    for index in "${!SOURCE_LABELS[@]}"; do
        ratio_row "  the same ${SOURCE_LABELS[index]}" "${cpu[n]}" "${cpu[n + 3 + index]}" ""
    done
    ratio_row "wakeups per second" "${wakeups[0]}" "${wakeups[1]}" "within 1.0x"
    ratio_row "  the same with an audio file chosen" "${wakeups[0]}" "${wakeups[2]}" "within 1.0x"
    for index in "${!SOURCE_LABELS[@]}"; do
        ratio_row "  the same ${SOURCE_LABELS[index]}" "${wakeups[0]}" "${wakeups[3 + index]}" ""
    done
    memory_row "resident memory, VmRSS (MB)" "${rss[0]}" "${rss[1]}"
    memory_row "proportional memory, Pss (MB)" "${pss[0]}" "${pss[1]}"
    memory_row "  VmRSS with an audio file chosen" "${rss[0]}" "${rss[2]}"
    memory_row "  Pss with an audio file chosen" "${pss[0]}" "${pss[2]}"
    for index in "${!SOURCE_LABELS[@]}"; do
        memory_row "  VmRSS ${SOURCE_LABELS[index]}" "${rss[0]}" "${rss[3 + index]}"
    done
    loaded=no
    [[ -z "$media_player_tone" ]] || loaded=yes
    row "media player prepared, system sound chosen" "" "$loaded" "" "no"
    loaded=no
    [[ -z "$media_player_file" ]] || loaded=yes
    row "media player prepared, audio file chosen" "" "$loaded" "" "yes"
}

report_marks() {
    local choice delays name names=("no sound" "system sound" "audio file" "Morse")
    for choice in 0 1 2 3; do
        delays="mark_delays_$choice" name=${names[choice]}
        row "alert mapped after the mark, $name, median (ms)" "" "$(median <<<"${!delays}")" "" \
            "within 15"
        row "  worst (ms)" "" "$(worst <<<"${!delays}")" "" "within 30"
    done
}

report() {
    local bare chimewell
    echo
    echo "Chimewell benchmark: Xvfb + openbox, $(nproc) cores," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    row "" "bare clock" "Chimewell" "comparison" "target"
    bare=$(median <<<"$bare_start_ups") chimewell=$(median <<<"$chimewell_start_ups")
    ratio_row "start-up to window mapped, median (ms)" "$bare" "$chimewell" "within 1.2x"
    ((${#cpu[@]})) && report_steady_ticking
    if ((${#instructions[@]})); then
        ratio_row "instructions per tick (callgrind)" "${instructions[0]}" "${instructions[2]}" \
            "within 2x"
        row "  of which painting and flushing windows" "${instructions[1]}" "${instructions[3]}" \
            "" ""
    fi
    report_marks
    row "first mark's sound, audio file, median (ms)" "" "$(median <<<"$file_onsets")" "" \
        "within 150"
    row "first mark's sound, system sound, median (ms)" "" "$(median <<<"$tone_onsets")" "" \
        "within 150"
    row "first mark's sound, spoken callsign, median (ms)" "" "$(median <<<"$speech_onsets")" "" \
        "within 150"
    echo
    echo "start-ups (ms), bare clock:$bare_start_ups; Chimewell:$chimewell_start_ups"
    echo "alert after the mark (ms), no sound:$mark_delays_0; system sound:$mark_delays_1;" \
        "audio file:$mark_delays_2; Morse:$mark_delays_3"
    echo "first mark's sound (ms), audio file:$file_onsets; system sound:$tone_onsets;" \
        "spoken callsign:$speech_onsets"
    echo "ticks counted under callgrind, bare clock and Chimewell:$tick_counts"
}

e2e_require_tools Xvfb openbox xev xwininfo xprop xdotool pulseaudio pactl parec sox od valgrind \
    callgrind_control rigctld rigctl python3 rigctlcom socat flrig fldigi wsjtx
for program in "$CHIMEWELL" "$BARE_CLOCK"; do
    [[ -x "$program" ]] ||
        { echo "$program is missing: build the targets chimewell and bare_clock"; exit 2; }
done
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1
make_tone
# Each part, unless BENCH_PARTS names the ones to run.
part() { [[ " ${BENCH_PARTS:-start-ups ticking instructions marks sounds} " == *" $1 "* ]]; }
part start-ups && echo "Start-ups: $RUNS of each, alternating" && measure_start_ups
part ticking && echo "Steady ticking: $SETTLE_SECONDS s to settle, then $CPU_SECONDS s measured," \
    "all at once" && measure_steady_ticking
part instructions && echo "Instructions: $CALLGRIND_SECONDS s of ticking under callgrind," \
    "both at once" && measure_instructions
part marks && echo "Marks: $MARKS for each sound, each a fresh start at another phase of the" \
    "second" && measure_marks
part sounds && echo "First marks' sounds: $SOUNDS of each, each a fresh start" &&
    measure_first_sounds
report
