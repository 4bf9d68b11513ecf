#!/usr/bin/env bash
# Chimewell side by side with a bare Qt clock (the floor of the stack) on a private X display:
# start-up, CPU while ticking, memory, and how soon the alert follows a ten-minute mark.
# Prints figures with their targets; passes no verdict, because shared machines are noisy.
# Usage: scripts/bench.sh <build dir>
# Knobs: BENCH_RUNS start-ups of each (5), BENCH_CPU_SECONDS of ticking measured (60),
# BENCH_MARKS marks timed (5), BENCH_SETTLE_SECONDS after start-up before measuring (5).
set -uo pipefail

build=$(realpath "${1:?usage: $0 <build dir>}")
# shellcheck source=../tests/e2e/lib.sh
source "$(dirname "$0")/../tests/e2e/lib.sh"

readonly CHIMEWELL="$build/app/chimewell"
readonly BARE_CLOCK="$build/bench/bare_clock"
readonly MAIN_TITLE=" Timer Chimewell! "
readonly BARE_TITLE="Bare clock"
readonly ALERT_TITLE=" Timer Chimewell!"
readonly RUNS=${BENCH_RUNS:-5}
readonly CPU_SECONDS=${BENCH_CPU_SECONDS:-60}
readonly MARKS=${BENCH_MARKS:-5}
readonly SETTLE_SECONDS=${BENCH_SETTLE_SECONDS:-5}
readonly MARK_LEAD=4.3 # seconds on the shifted clock from start-up to the mark
CLOCK_TICKS=$(getconf CLK_TCK)
readonly CLOCK_TICKS
cpu=()

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
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
pss_kb() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }

# The media backend as loaded on demand: Qt's multimedia plugin and GStreamer's plugins.
# (Libraries the program links, such as GStreamer's core, are mapped whether used or not.)
media_backend_in() {
    awk '$6 ~ /plugins\/multimedia\/|\/gstreamer-1\.0\// { print $6 }' "/proc/$1/maps" | sort -u
}
linked_media_libraries_in() {
    awk '$6 ~ /libgst|libQt6Multimedia/ { sub(/.*\//, "", $6); print $6 }' "/proc/$1/maps" |
        sort -u | tr '\n' ' '
}

# --- start-up ------------------------------------------------------------------------------

# Appends to variable $2 the milliseconds from launching program $1 (in a fresh directory) to
# the window manager mapping its first window.
time_start_up() {
    local program=$1 log="$E2E_ROOT/start-up-maps.log" launched pid
    local -n samples=$2
    cd "$(e2e_fresh_dir start-up)" || exit 1
    e2e_watch_maps "$log" root
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
    for pid in "${E2E_WATCH_PIDS[@]}"; do e2e_stop "$pid"; done
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

# --- CPU and memory ------------------------------------------------------------------------

# Both programs at once, over the same seconds, on a clock shifted to just after a mark so
# that no alert interrupts the steady ticking; both under libfaketime, so it costs both alike.
measure_steady_ticking() {
    local bare_pid chimewell_pid started seconds source pid index before=() after=()
    e2e_place_before_mark $((600 - 30))
    cd "$(e2e_fresh_dir steady-bare)" && e2e_start_program "$BARE_CLOCK" "$E2E_OFFSET"
    bare_pid=$E2E_PROGRAM_PID
    cd "$(e2e_fresh_dir steady-chimewell)" && e2e_start_program "$CHIMEWELL" "$E2E_OFFSET"
    chimewell_pid=$E2E_PROGRAM_PID
    if ! e2e_wait_viewable "$BARE_TITLE" 30 >/dev/null ||
        ! e2e_wait_viewable "$MAIN_TITLE" 30 >/dev/null; then
        echo "  the programs did not show their windows: no CPU and memory figures"
        return 1
    fi
    sleep "$SETTLE_SECONDS"
    started=$(e2e_now)
    for source in cpu_seconds run_seconds; do
        for pid in "$bare_pid" "$chimewell_pid"; do before+=("$($source "$pid")"); done
    done
    sleep "$CPU_SECONDS"
    seconds=$(e2e_calc "$(e2e_now) - $started")
    for source in cpu_seconds run_seconds; do
        for pid in "$bare_pid" "$chimewell_pid"; do after+=("$($source "$pid")"); done
    done
    cpu=()
    for index in 0 1 2 3; do # bare clock and Chimewell by utime+stime, then by run time
        cpu+=("$(format 3 "(${after[index]} - ${before[index]}) / $seconds * 100")")
    done
    bare_rss=$(rss_kb "$bare_pid") chimewell_rss=$(rss_kb "$chimewell_pid")
    bare_pss=$(pss_kb "$bare_pid") chimewell_pss=$(pss_kb "$chimewell_pid")
    media_backend=$(media_backend_in "$chimewell_pid")
    media_libraries=$(linked_media_libraries_in "$chimewell_pid")
    e2e_stop "$chimewell_pid"
    e2e_stop "$bare_pid"
}

# --- the alert after a mark ----------------------------------------------------------------

# Adds to `mark_delays` the milliseconds from a ten-minute mark on the program's shifted
# clock to the alert window being mapped, seen through its map event.
time_one_mark() {
    local log="$E2E_ROOT/alert-maps.log" alert pid mapped
    cd "$(e2e_fresh_dir mark)" || exit 1
    e2e_place_before_mark "$MARK_LEAD"
    e2e_start_program "$CHIMEWELL" "$E2E_OFFSET"
    if e2e_wait_viewable "$MAIN_TITLE" "$(e2e_calc "$MARK_LEAD - 1")" >/dev/null &&
        alert=$(e2e_find_windows "$ALERT_TITLE" | head -1) && [[ -n "$alert" ]]; then
        e2e_watch_maps "$log" "$alert"
        if e2e_wait_until "$(e2e_calc "$E2E_MARK + 3 - $(e2e_now)")" 'grep -q MapNotify "$log"'
        then
            mapped=$(awk '$2 == "MapNotify" { print $1; exit }' "$log")
            mark_delays+=" $(format 1 "($mapped - $E2E_MARK) * 1000")"
        else
            echo "  mark $1: the alert was not mapped within 3 s"
        fi
        for pid in "${E2E_WATCH_PIDS[@]}"; do e2e_stop "$pid"; done
    else
        echo "  mark $1: skipped, the program and its hidden alert were not there 1 s before it"
    fi
    e2e_stop "$E2E_PROGRAM_PID"
}

measure_marks() {
    local mark
    mark_delays=""
    for ((mark = 1; mark <= MARKS; mark++)); do time_one_mark "$mark"; done
}

# --- report --------------------------------------------------------------------------------

row() { printf '%-44s %11s %11s %11s   %s\n' "$@"; }
format() { awk "BEGIN { printf \"%.$1f\", $2 }"; }
ratio() { if e2e_test "$1 > 0"; then format 2 "$2 / $1" | sed 's/$/x/'; else echo n/a; fi; }
megabytes() { format 1 "($1) / 1024"; }
memory_row() {
    row "$1" "$(megabytes "$2")" "$(megabytes "$3")" "+$(megabytes "$3 - $2") MB" "within +10 MB"
}

report() {
    local bare chimewell
    echo
    echo "Chimewell benchmark: Xvfb + openbox, $(nproc) cores," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    row "" "bare clock" "Chimewell" "comparison" "target"
    bare=$(median <<<"$bare_start_ups") chimewell=$(median <<<"$chimewell_start_ups")
    row "start-up to window mapped, median (ms)" "$bare" "$chimewell" \
        "$(ratio "$bare" "$chimewell")" "within 1.2x"
    if ((${#cpu[@]})); then
        row "CPU over $CPU_SECONDS s, utime+stime (% of a core)" "${cpu[0]}" "${cpu[1]}" \
            "$(ratio "${cpu[0]}" "${cpu[1]}")" "within 1.2x"
        row "CPU over $CPU_SECONDS s, scheduler ns (% of a core)" "${cpu[2]}" "${cpu[3]}" \
            "$(ratio "${cpu[2]}" "${cpu[3]}")" "within 1.2x"
        memory_row "resident memory, VmRSS (MB)" "$bare_rss" "$chimewell_rss"
        memory_row "proportional memory, Pss (MB)" "$bare_pss" "$chimewell_pss"
        local loaded=no
        [[ -z "$media_backend" ]] || loaded=yes
        row "media backend loaded at start-up" "" "$loaded" "" "no"
    fi
    row "alert mapped after the mark, median (ms)" "" "$(median <<<"$mark_delays")" "" "within 120"
    row "alert mapped after the mark, worst (ms)" "" "$(worst <<<"$mark_delays")" "" "within 150"
    echo
    echo "start-ups (ms), bare clock:$bare_start_ups; Chimewell:$chimewell_start_ups"
    echo "alert after the mark (ms):$mark_delays"
    [[ -z "${media_backend:-}" ]] || echo "media backend mapped after settling: $media_backend"
    echo "media libraries mapped after settling (linked, used or not): ${media_libraries:-none}"
}

e2e_require_tools Xvfb openbox xev xwininfo xprop xdotool pulseaudio pactl
for program in "$CHIMEWELL" "$BARE_CLOCK"; do
    [[ -x "$program" ]] ||
        { echo "$program is missing: build the targets chimewell and bare_clock"; exit 2; }
done
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1 # the system tone at the marks goes nowhere
echo "Start-ups: $RUNS of each, alternating"
measure_start_ups
echo "Steady ticking: $SETTLE_SECONDS s to settle, then $CPU_SECONDS s measured, both at once"
measure_steady_ticking
echo "Marks: $MARKS, each a fresh start $MARK_LEAD s before a ten-minute mark"
measure_marks
report
