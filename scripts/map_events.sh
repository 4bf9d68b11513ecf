# Map and unmap events as another X client sees them, for the benchmark and the soak run;
# sourced after tests/e2e/lib.sh.

# Logs the map and unmap events of window $2 (or of the root window's children with "root")
# to file $1 as they happen, one "<real time> MapNotify|UnmapNotify <window>" line each;
# event-driven, for timings finer than polling gives. Ready after ~0.3 s; WATCH_PIDS
# holds the processes that e2e_stop ends.
watch_maps() {
    local log=$1 target=$2 fifo
    fifo="$E2E_ROOT/xev-$(date +%s%N)"
    mkfifo "$fifo"
    : >"$log"
    if [[ "$target" == root ]]; then
        xev -root -event substructure >"$fifo" 2>/dev/null &
    else
        xev -id "$target" -event structure >"$fifo" 2>/dev/null &
    fi
    WATCH_PIDS=($!)
    log_map_events <"$fifo" >"$log" &
    WATCH_PIDS+=($!)
    e2e_track "${WATCH_PIDS[0]}"
    e2e_track "${WATCH_PIDS[1]}"
}

# xev names the mapped window on the line after the event's name.
log_map_events() {
    local line at window
    while IFS= read -r line; do
        case "$line" in
        MapNotify* | UnmapNotify*)
            at=$EPOCHREALTIME
            IFS= read -r window
            window=${window#*, window }
            echo "$at ${line%% *} ${window%%,*}"
            ;;
        esac
    done
}

