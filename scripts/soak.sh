#!/usr/bin/env bash
# A long run of the real program, sped up: libfaketime runs its clocks, the monotonic one
# too, SOAK_SPEED times faster than real time, so the 100 ms tick stays 100 ms of program
# time while SOAK_HOURS program hours pass (two hours at five times speed take 24 minutes).
# With default settings (Auto mode, the system tone) every ten-minute mark must map the alert
# exactly once and unmap it exactly once, about 15 s later (map and unmap events counted from
# outside), and the program's resident memory at the end must be within 2 MB of its value
# after the first mark. Prints the figures.
# Usage: [SOAK_HOURS=2] [SOAK_SPEED=5] soak.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2119 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/../tests/e2e/lib.sh"
# shellcheck source=map_events.sh
source "$(dirname "$0")/map_events.sh"

readonly HOURS=${SOAK_HOURS:-2}
readonly SPEED=${SOAK_SPEED:-5}
readonly MAIN_TITLE=" Timer Chimewell! "
readonly ALERT_TITLE=" Timer Chimewell!"
readonly START_TIMEOUT=20  # real seconds; a loaded machine may start Qt slowly
readonly RSS_LIMIT_KB=2048
MARKS=$(awk -v h="$HOURS" 'BEGIN { print int(h * 6 + 1e-9) }')
# Program seconds from the start to the first mark: eight real seconds for the start-up.
LEAD=$(awk -v s="$SPEED" 'BEGIN { l = 8 * s; print (l > 300 ? 300 : int(l)) }')
DURATION=$(awk -v h="$HOURS" -v m="$MARKS" -v l="$LEAD" \
    'BEGIN { d = h * 3600; last = l + 600 * (m - 1) + 30; print int(d > last ? d : last) }')
readonly MARKS LEAD DURATION

first_mark="" # the first mark in epoch seconds of the program's clock (UTC)
launched=""   # the real time at which the program was started

# The real time at which the program's clock reads first_mark + $1 seconds.
real_at() { e2e_calc "$launched + ($LEAD + $1) / $SPEED"; }

# Starts the program LEAD program seconds before a ten-minute mark, its clocks sped up.
start_sped_up() {
    local start
    first_mark=$(awk -v now="$EPOCHREALTIME" 'BEGIN { printf "%d", (int(now / 600) + 1) * 600 }')
    start=$(date -u -d "@$((first_mark - LEAD))" '+%Y-%m-%d %H:%M:%S')
    cd "$(e2e_fresh_dir run)" || exit 1
    launched=$(e2e_now)
    env TZ=UTC QT_QPA_PLATFORM=xcb LD_PRELOAD="$(e2e_faketime_lib)" \
        FAKETIME="@$start x$SPEED" "$program" >"$E2E_ROOT/program.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# The alert window exists, unmapped, from the start; its map events are logged from then.
watch_alert() {
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "the main window did not appear within $START_TIMEOUT s"
        return 1
    }
    local id
    for id in $(e2e_find_windows "$ALERT_TITLE"); do
        xprop -id "$id" _NET_WM_PID | grep -q "= $E2E_PROGRAM_PID\$" && alert_window=$id
    done
    [[ -n "${alert_window:-}" ]] || { e2e_fail "the program has no alert window"; return 1; }
    watch_maps "$E2E_ROOT/maps.log" "$alert_window"
}

resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PROGRAM_PID/status" 2>/dev/null; }

cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/.*\) /, ""); printf "%.1f", ($12 + $13) / hz }' \
        "/proc/$E2E_PROGRAM_PID/stat"
}

# Waits in real time until the program's clock reads first_mark + $1 seconds.
sleep_until_program() {
    local wait
    wait=$(e2e_calc "$(real_at "$1") - $EPOCHREALTIME")
    e2e_test "$wait > 0" && sleep "$wait"
}

# Samples the resident memory 25 program seconds after each mark (the alert closed by then),
# and once more at the end of the run.
run_through_marks() {
    local k
    for ((k = 0; k < MARKS; k++)); do
        sleep_until_program $((600 * k + 25))
        e2e_alive "$E2E_PROGRAM_PID" || { e2e_fail "the program ended before mark $((k + 1))"; return 1; }
        rss_after[k]=$(resident_kb)
        echo "mark $((k + 1)) of $MARKS passed; resident memory ${rss_after[k]} kB"
    done
    sleep_until_program $((DURATION - LEAD))
    rss_end=$(resident_kb)
    cpu_used=$(cpu_seconds)
}

# Prints, per event of the log, "<mark index> <Map|Unmap> <program seconds from that mark>".
events_by_mark() {
    awk -v launched="$launched" -v speed="$SPEED" -v lead="$LEAD" '
        { t = ($1 - launched) * speed - lead; k = (t + 300) / 600; k = k < 0 ? -1 : int(k)
          printf "%d %s %.1f\n", k, ($2 == "MapNotify" ? "Map" : "Unmap"), t - 600 * k }' \
        "$E2E_ROOT/maps.log"
}

# One map within 3 s of the mark and one unmap 13 to 19 s after it, for every mark, and
# no other event.
check_events() {
    local k events maps unmaps stray failures_before=$E2E_FAILURES
    printf '%-5s %-20s %-10s %-10s %s\n' mark "program time (UTC)" mapped unmapped "RSS after"
    events=$(events_by_mark)
    for ((k = 0; k < MARKS; k++)); do
        maps=$(awk -v k="$k" '$1 == k && $2 == "Map" { printf "%+.1f s ", $3 }' <<<"$events")
        unmaps=$(awk -v k="$k" '$1 == k && $2 == "Unmap" { printf "%+.1f s ", $3 }' <<<"$events")
        printf '%-5s %-20s %-10s %-10s %s kB\n' $((k + 1)) \
            "$(date -u -d "@$((first_mark + 600 * k))" '+%F %T')" "${maps:-none}" \
            "${unmaps:-none}" "${rss_after[k]:-?}"
        awk -v k="$k" '$1 == k && $2 == "Map" && $3 >= -1 && $3 <= 3 { m++ }
            $1 == k && $2 == "Unmap" && $3 >= 13 && $3 <= 19 { u++ }
            $1 == k { n++ } END { exit !(m == 1 && u == 1 && n == 2) }' <<<"$events" ||
            e2e_fail "mark $((k + 1)): mapped at '${maps:-never}', unmapped at '${unmaps:-never}'"
    done
    stray=$(awk -v m="$MARKS" '$1 < 0 || $1 >= m' <<<"$events")
    [[ -z "$stray" ]] || e2e_fail "map events away from every mark:"$'\n'"$stray"
    echo "map events: $(grep -c ' MapNotify ' "$E2E_ROOT/maps.log")," \
        "unmap events: $(grep -c ' UnmapNotify ' "$E2E_ROOT/maps.log") (expected $MARKS each)"
    ((E2E_FAILURES > failures_before)) ||
        e2e_pass "each of the $MARKS marks mapped the alert once and unmapped it once"
}

check_memory() {
    local growth=$((rss_end - rss_after[0]))
    echo "resident memory after the first mark: ${rss_after[0]} kB, at the end: $rss_end kB," \
        "difference: $growth kB (limit ±$RSS_LIMIT_KB kB)"
    echo "CPU time used by the program: $cpu_used s over $(e2e_calc "$DURATION / $SPEED") s" \
        "real ($DURATION s program time)"
    if ((growth <= RSS_LIMIT_KB && growth >= -RSS_LIMIT_KB)); then
        e2e_pass "resident memory stayed within 2 MB"
    else
        e2e_fail "resident memory changed by $growth kB"
    fi
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop xev pulseaudio pactl
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
((MARKS >= 1)) || { echo "FAIL: SOAK_HOURS=$HOURS holds no ten-minute mark"; exit 2; }
echo "Soak: $MARKS marks in $DURATION s of program time at ${SPEED}x," \
    "$(e2e_calc "$DURATION / $SPEED") s real"
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1 # the system tone of every mark goes to a silent sink
declare -a rss_after=()
rss_end="" cpu_used=""
start_sped_up
watch_alert || e2e_finish
run_through_marks && {
    check_events
    check_memory
}
e2e_close_and_expect_exit "$main_window" "after the soak"
e2e_finish
