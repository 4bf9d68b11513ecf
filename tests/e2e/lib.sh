# shellcheck shell=bash disable=SC2016,SC2034 # conditions are eval'ed later; globals: callers
# Helpers shared by the end-to-end tests and the benchmark: a private X display with a window
# manager, a private silent sound server, the program started under a shifted clock, and its
# windows read from outside, as a user sees them. Source this file; it sets no shell options.
#
# Everything started here is tracked by process id and ended by e2e_cleanup, which
# e2e_init installs as the exit trap.

# EPOCHREALTIME and awk must use a decimal point; the rest of the locale stays the user's,
# for the program's sake.
[[ -z "${LC_ALL:-}" ]] || export LANG="$LC_ALL"
unset LC_ALL
export LC_NUMERIC=C

E2E_ROOT=""
E2E_PIDS=()
E2E_FAILURES=0
E2E_OFFSET=""       # the clock shift handed to libfaketime, in seconds
E2E_MARK=""         # the real time at which the shifted clock reaches the ten-minute mark
E2E_PROGRAM_PID=""
E2E_EXIT_STATUS=""
E2E_WATCH_PIDS=()
E2E_POLL=0.02       # seconds between two looks at a window
E2E_RECORD_RATE=8000 # samples a second of a recording, mono
E2E_RECORD_PID=""
E2E_RECORD_START="" # the real time of a recording's first sample

# --- set-up and clean-up -------------------------------------------------------------------

# Exits with a hint when a needed tool (or libfaketime) is missing: the test dependencies
# come with `make test`.
e2e_require_tools() {
    local missing=() tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    e2e_faketime_lib >/dev/null || missing+=("libfaketime.so.1")
    if ((${#missing[@]})); then
        echo "FAIL: missing ${missing[*]}; run 'make test'" \
            "(scripts/setup-deps.sh test installs the test dependencies)"
        exit 2
    fi
}

e2e_faketime_lib() {
    local candidate
    for candidate in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
        /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1 \
        /usr/local/lib/faketime/libfaketime.so.1; do
        [[ -f "$candidate" ]] && echo "$candidate" && return 0
    done
    return 1
}

e2e_init() {
    E2E_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
}

e2e_track() { E2E_PIDS+=("$1"); }

e2e_untrack() {
    local kept=() pid
    for pid in "${E2E_PIDS[@]}"; do [[ "$pid" == "$1" ]] || kept+=("$pid"); done
    E2E_PIDS=("${kept[@]}")
}

# Ends a process we started: politely, then for sure.
e2e_stop() {
    local pid=$1 i
    e2e_alive "$pid" || { wait "$pid" 2>/dev/null; e2e_untrack "$pid"; return 0; }
    kill -TERM "$pid" 2>/dev/null
    for ((i = 0; i < 100; i++)); do
        e2e_alive "$pid" || break
        sleep 0.02
    done
    e2e_alive "$pid" && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    e2e_untrack "$pid"
}

# Newest first, so the display goes last.
e2e_cleanup() {
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do e2e_stop "${E2E_PIDS[i]}"; done
    [[ -z "$E2E_ROOT" ]] && return
    if ((E2E_FAILURES)); then
        echo "Files of the failed run kept in $E2E_ROOT"
    else
        rm -rf "$E2E_ROOT"
    fi
}

# A fresh empty directory under the run's root; prints its path.
e2e_fresh_dir() {
    local dir="$E2E_ROOT/$1"
    rm -rf "$dir" && mkdir -p "$dir" && echo "$dir"
}

# Running, and not a zombie waiting to be reaped.
e2e_alive() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ "${stat%% *}" != Z ]]
}

# --- display, window manager, sound --------------------------------------------------------

# Xvfb on a free display with openbox in its default look (1 px sides, 20 px title bar,
# 5 px bottom); exports DISPLAY.
e2e_start_display() {
    local size=${1:-1280x1024x24} numberfile="$E2E_ROOT/display-number"
    : >"$numberfile"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$numberfile" \
        >"$E2E_ROOT/xvfb.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 10 '[[ $(cat "'"$numberfile"'") == *[0-9] ]]' ||
        { e2e_fail "Xvfb did not start (see $E2E_ROOT/xvfb.log)"; return 1; }
    DISPLAY=":$(tr -d '\n' <"$numberfile")"
    export DISPLAY
    mkdir -p "$E2E_ROOT/openbox-config"
    XDG_CONFIG_HOME="$E2E_ROOT/openbox-config" openbox --sm-disable \
        >"$E2E_ROOT/openbox.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 30 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        { e2e_fail "openbox did not start (see $E2E_ROOT/openbox.log)"; return 1; }
}

# A PulseAudio server of our own with a null sink, so that nothing sounds on the machine's
# speakers and a test can record what was played; exports PULSE_SERVER.
e2e_start_sound() {
    local dir="$E2E_ROOT/pulse"
    mkdir -p "$dir"
    XDG_RUNTIME_DIR="$dir" HOME="$dir" pulseaudio --daemonize=no -n --exit-idle-time=-1 \
        --use-pid-file=no --realtime=no --disable-shm=yes \
        --load="module-null-sink sink_name=e2e_sink" \
        --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
        >"$dir/pulseaudio.log" 2>&1 &
    e2e_track $!
    export PULSE_SERVER="unix:$dir/native"
    e2e_wait_until 10 'pactl info >/dev/null 2>&1' ||
        { e2e_fail "pulseaudio did not start (see $dir/pulseaudio.log)"; return 1; }
}

# Records the null sink's monitor into $1 (16-bit samples). The sink is suspended while the
# recorder attaches and resumed afterwards, so that the recording starts at once and sample 0
# is the moment of the resume, kept in E2E_RECORD_START (midway through the ~5 ms pactl takes).
# The sink renders in blocks as short as the recorder asks for, and mixes a sound that starts
# within a block in from the block's start: short blocks keep onsets true to some 5 ms.
e2e_record_begin() {
    local before
    pactl suspend-sink e2e_sink 1
    parec --device=e2e_sink.monitor --latency-msec=5 --format=s16le --rate="$E2E_RECORD_RATE" \
        --channels=1 --raw >"$1" &
    E2E_RECORD_PID=$!
    e2e_track "$E2E_RECORD_PID"
    e2e_wait_until 5 '[[ -n "$(pactl list short source-outputs)" ]]' ||
        e2e_fail "the recorder did not attach to the sink"
    before=$(e2e_now)
    pactl suspend-sink e2e_sink 0
    E2E_RECORD_START=$(e2e_calc "($before + $(e2e_now)) / 2")
}

e2e_record_end() { e2e_stop "$E2E_RECORD_PID"; }

# --- time ----------------------------------------------------------------------------------

e2e_now() { echo "$EPOCHREALTIME"; }

# Prints the value of an awk arithmetic expression, with millisecond precision.
e2e_calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }

# True when the awk condition holds.
e2e_test() { awk "BEGIN { exit !($1) }"; }

# Sets E2E_OFFSET so that a program started now sees the clock $1 seconds before the next
# ten-minute mark (or the next time of the clock that is $3 seconds past a multiple of $2
# seconds), and E2E_MARK to the real time at which it reaches that mark.
e2e_place_before_mark() {
    local lead=$1 period=${2:-600} phase=${3:-0} now
    now=$(e2e_now)
    E2E_OFFSET=$(awk -v now="$now" -v lead="$lead" -v period="$period" -v phase="$phase" 'BEGIN {
        mark = (int((now + lead - phase) / period) + 1) * period + phase
        printf "%.3f", mark - lead - now }')
    E2E_MARK=$(e2e_calc "$now + $lead")
}

# Polls the shell condition $2 every E2E_POLL seconds for at most $1 seconds.
e2e_wait_until() {
    local deadline
    deadline=$(e2e_calc "$EPOCHREALTIME + $1")
    until eval "$2"; do
        e2e_test "$EPOCHREALTIME > $deadline" && return 1
        sleep "$E2E_POLL"
    done
}

# --- the program ---------------------------------------------------------------------------

# Starts a program in the current directory, on X11, in UTC (so that ten-minute marks are
# multiples of 600 in epoch seconds); with an offset, under libfaketime with the clock
# shifted by that many seconds while Qt's timers keep real time. Sets E2E_PROGRAM_PID.
e2e_start_program() {
    local program=$1 offset=${2:-}
    local settings=(TZ="${E2E_TZ:-UTC}" QT_QPA_PLATFORM=xcb)
    # Without FAKETIME_FORCE_MONOTONIC_FIX=0, Debian's libfaketime cuts every timed wait on
    # the monotonic clock short, even with the monotonic clock left alone.
    [[ -n "$offset" ]] && settings+=(LD_PRELOAD="$(e2e_faketime_lib)" FAKETIME="+$offset"
        FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_FORCE_MONOTONIC_FIX=0)
    env "${settings[@]}" "$program" >"$E2E_ROOT/program-$(date +%s%N).log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# Waits at most $2 seconds for process $1 to end and sets E2E_EXIT_STATUS; fails when it
# does not end. Not in a subshell: only the parent can collect the status.
e2e_wait_exit() {
    local pid=$1
    e2e_wait_until "$2" "! e2e_alive $pid" || return 1
    wait "$pid"
    E2E_EXIT_STATUS=$?
    e2e_untrack "$pid"
}

# Closes the program's main window $1 through the window manager; the program must then end
# with status 0 within 10 s. $2 names the case in the verdict.
e2e_close_and_expect_exit() {
    e2e_close_window "$1"
    e2e_expect_exit "$2" "its main window was closed"
}

# Sends signal $1 (TERM, HUP, INT) to the program, as a shutdown, a closed terminal or Ctrl+C
# does; the program must then end with status 0 within 10 s. $2 names the case.
e2e_signal_and_expect_exit() {
    kill "-$1" "$E2E_PROGRAM_PID"
    e2e_expect_exit "$2" "SIG$1"
}

e2e_expect_exit() {
    local what=$1 after=$2
    if ! e2e_wait_exit "$E2E_PROGRAM_PID" 10; then
        e2e_fail "$what: still running 10 s after $after"
        e2e_stop "$E2E_PROGRAM_PID"
    elif [[ "$E2E_EXIT_STATUS" != 0 ]]; then
        e2e_fail "$what: exit status $E2E_EXIT_STATUS after $after"
    else
        e2e_pass "$what: exit status 0 after $after"
    fi
}

# --- windows -------------------------------------------------------------------------------

# Ids of the windows whose title is exactly $1 (blanks included).
e2e_find_windows() {
    local title=$1 id pattern
    pattern=$(printf '%s' "$title" | sed 's/[][\.*^$()+?{}|]/\\&/g')
    for id in $(xdotool search --name "^$pattern\$" 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$title" ]] && echo "$id"
    done
}

# IsViewable, IsUnMapped or IsUnviewable; Gone when the window no longer exists.
e2e_map_state() {
    local state
    state=$(xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }')
    echo "${state:-Gone}"
}

# The first window titled exactly $1 that is mapped.
e2e_find_viewable() {
    local id
    for id in $(e2e_find_windows "$1"); do
        [[ "$(e2e_map_state "$id")" == IsViewable ]] && echo "$id" && return 0
    done
    return 1
}

# Waits at most $2 seconds for a window titled exactly $1 to be mapped; prints its id.
e2e_wait_viewable() {
    local title=$1 found=""
    e2e_wait_until "$2" 'found=$(e2e_find_viewable "$title")' || return 1
    echo "$found"
}

# Waits until window $1 is in map state $2, at the latest at real time $3; prints the
# real time at which it was first seen so.
e2e_wait_map_state() {
    local id=$1 state=$2 deadline=$3
    until [[ "$(e2e_map_state "$id")" == "$state" ]]; do
        e2e_test "$EPOCHREALTIME > $deadline" && return 1
        sleep "$E2E_POLL"
    done
    e2e_now
}

# The outer frame geometry "left top width height": the client area from xwininfo widened by
# the frame extents that the window manager announces.
e2e_outer_geometry() {
    local info extents
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ,)
    awk -v extents="${extents:-0 0 0 0}" '
        /Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 }
        /^ *Height:/ { h = $2 }
        END {
            split(extents, e, " ")
            printf "%d %d %d %d\n", x - e[1], y - e[3], w + e[1] + e[2], h + e[3] + e[4]
        }' <<<"$info"
}

# Waits at most $3 seconds for window $1's outer geometry to read $2; prints what it read last.
e2e_wait_geometry() {
    local id=$1 expected=$2 geometry=""
    e2e_wait_until "$3" 'geometry=$(e2e_outer_geometry "$id"); [[ "$geometry" == "$expected" ]]'
    local status=$?
    echo "$geometry"
    return "$status"
}

# Closes a window as its title-bar close box does (the window manager asks the client).
e2e_close_window() { wmctrl -i -c "$1"; }

# Minimises window $1 as its title bar's button does; fails unless it leaves the screen.
e2e_minimise() {
    local id=$1
    xdotool windowminimize "$id" 2>/dev/null
    e2e_wait_until 5 '[[ "$(e2e_map_state "$id")" == IsUnMapped ]]' && return 0
    e2e_fail "window $id, minimised, is $(e2e_map_state "$id")"
    return 1
}

# Brings minimised window $1 back as a click on its task-bar entry does; fails unless it shows.
e2e_restore() {
    local id=$1
    xdotool windowactivate "$id" 2>/dev/null
    e2e_wait_until 5 '[[ "$(e2e_map_state "$id")" == IsViewable ]]' && return 0
    e2e_fail "window $id, restored, is $(e2e_map_state "$id")"
    return 1
}

# A left click at the centre of the window's client area, or at $2,$3 inside it.
e2e_click_window() {
    local id=$1 at
    at=$(xwininfo -id "$id" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { print int(w / 2), int(h / 2) }')
    [[ $# -eq 3 ]] && at="$2 $3"
    # shellcheck disable=SC2086 # two coordinates
    xdotool mousemove --window "$id" $at click 1
}

# Logs the map and unmap events of window $2 (or of the root window's children with "root")
# to file $1 as they happen, one "<real time> MapNotify|UnmapNotify <window>" line each;
# event-driven, for timings finer than polling gives. Ready after ~0.3 s; E2E_WATCH_PIDS
# holds the processes that e2e_stop ends.
e2e_watch_maps() {
    local log=$1 target=$2 fifo
    fifo="$E2E_ROOT/xev-$(date +%s%N)"
    mkfifo "$fifo"
    : >"$log"
    if [[ "$target" == root ]]; then
        xev -root -event substructure >"$fifo" 2>/dev/null &
    else
        xev -id "$target" -event structure >"$fifo" 2>/dev/null &
    fi
    E2E_WATCH_PIDS=($!)
    e2e_log_map_events <"$fifo" >"$log" &
    E2E_WATCH_PIDS+=($!)
    e2e_track "${E2E_WATCH_PIDS[0]}"
    e2e_track "${E2E_WATCH_PIDS[1]}"
}

# xev names the mapped window on the line after the event's name.
e2e_log_map_events() {
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

# --- results -------------------------------------------------------------------------------

e2e_pass() { echo "PASS: $*"; }

e2e_fail() {
    echo "FAIL: $*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Prints the verdict and exits with it.
e2e_finish() {
    if ((E2E_FAILURES)); then
        echo "FAILED: $E2E_FAILURES check(s)"
        exit 1
    fi
    echo "ALL PASSED"
    exit 0
}
