# shellcheck shell=bash disable=SC2016,SC2034 # conditions are eval'ed later; globals: callers
# Helpers shared by the end-to-end tests and the scripts: a private X display with a window
# manager, a private silent sound server, the program started under a shifted clock, and its
# windows read from outside, as a user sees them. Source this file; it sets no shell options.
# Everything started here is tracked by process id and ended by e2e_cleanup, the exit trap.

# EPOCHREALTIME and awk must use a decimal point; the rest of the locale stays the user's.
[[ -z "${LC_ALL:-}" ]] || export LANG="$LC_ALL"
unset LC_ALL
export LC_NUMERIC=C

readonly E2E_MAIN_TITLE=" Timer Chimewell! "
readonly E2E_TITLE=" Timer Chimewell!" # the alert, the editor, the audio menu and the picker
E2E_ROOT="" E2E_PROGRAM_PID="" E2E_OFFSET="" E2E_MARK=""
E2E_PIDS=()
E2E_FAILURES=0
E2E_POLL=0.02 # seconds between two looks
E2E_RECORD_RATE=8000 # samples a second of a recording, mono
E2E_RECORD_PIDS=()
E2E_RECORD_START="" # the real time of a recording's first sample

# --- set-up and clean-up -------------------------------------------------------------------

# Exits with a hint when a needed tool (or libfaketime) is missing.
e2e_require_tools() {
    local missing=() tool
    for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
    e2e_faketime_lib >/dev/null || missing+=("libfaketime.so.1")
    ((${#missing[@]} == 0)) && return
    echo "FAIL: missing ${missing[*]}; scripts/setup-deps.sh test installs them"
    exit 2
}

e2e_faketime_lib() { compgen -G '/usr/lib/*/faketime/libfaketime.so.1' | head -n 1 | grep .; }

e2e_init() {
    E2E_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
}

e2e_track() { E2E_PIDS+=("$1"); }

e2e_untrack() {
    local kept=() pid
    for pid in "${E2E_PIDS[@]}"; do [[ "$pid" == "$1" ]] || kept+=("$pid"); done
    E2E_PIDS=("${kept[@]}")
}

# Running, and not a zombie waiting to be reaped.
e2e_alive() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ "${stat%% *}" != Z ]]
}

# Ends a process we started: politely, then for sure.
e2e_stop() {
    kill -TERM "$1" 2>/dev/null && e2e_wait_until 2 "! e2e_alive $1"
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    e2e_untrack "$1"
}

# Newest first, so the display goes last; the files of a failed run are kept.
e2e_cleanup() {
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do e2e_stop "${E2E_PIDS[i]}"; done
    [[ -z "$E2E_ROOT" ]] && return
    ((E2E_FAILURES)) && echo "Files of the failed run kept in $E2E_ROOT" || rm -rf "$E2E_ROOT"
}

# A fresh empty directory under the run's root; prints its path.
e2e_fresh_dir() { rm -rf "${E2E_ROOT:?}/$1" && mkdir -p "$E2E_ROOT/$1" && echo "$E2E_ROOT/$1"; }

# --- display, window manager, sound --------------------------------------------------------

# Xvfb on a free display (default 1280x1024) with openbox in its default look (1 px sides,
# 20 px title bar, 5 px bottom); exports DISPLAY.
e2e_start_display() {
    local numberfile="$E2E_ROOT/display-number"
    : >"$numberfile"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$numberfile" \
        >"$E2E_ROOT/xvfb.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 10 '[[ $(cat "$numberfile") == *[0-9] ]]' ||
        { e2e_fail "Xvfb did not start (see $E2E_ROOT/xvfb.log)"; return 1; }
    export DISPLAY=":$(tr -d '\n' <"$numberfile")"
    XDG_CONFIG_HOME="$E2E_ROOT/openbox-config" openbox --sm-disable >"$E2E_ROOT/openbox.log" 2>&1 &
    e2e_track $!
    e2e_wait_until 30 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        { e2e_fail "openbox did not start (see $E2E_ROOT/openbox.log)"; return 1; }
}

# A PulseAudio server of our own with a null sink "e2e_sink", so that nothing sounds on the
# machine's speakers and a test can record what was played; exports PULSE_SERVER.
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

# Records the monitors of the null sinks after $1 into $E2E_ROOT/$1.<sink>.raw (16-bit
# samples). The sinks are suspended while the recorders attach and resumed together, so that
# the recordings start at once and sample 0 of each is the moment of the resume, kept in
# E2E_RECORD_START (midway through the ~5 ms pactl takes). A sink renders in blocks as short as
# its recorder asks for, and mixes a sound that starts within a block in from the block's start:
# short blocks keep onsets true to some 5 ms.
e2e_record_begin() {
    local name=$1 sink before wanted=$(($# - 1))
    shift
    E2E_RECORD_PIDS=()
    for sink in "$@"; do pactl suspend-sink "$sink" 1; done
    for sink in "$@"; do
        parec --device="$sink.monitor" --latency-msec=5 --format=s16le --rate="$E2E_RECORD_RATE" \
            --channels=1 --raw >"$E2E_ROOT/$name.$sink.raw" &
        E2E_RECORD_PIDS+=($!)
        e2e_track $!
    done
    e2e_wait_until 5 '(($(pactl list short source-outputs | wc -l) >= wanted))' ||
        e2e_fail "the recorders did not attach"
    before=$(e2e_now)
    for sink in "$@"; do pactl suspend-sink "$sink" 0; done
    E2E_RECORD_START=$(e2e_calc "($before + $(e2e_now)) / 2")
}

e2e_record_end() { local pid && for pid in "${E2E_RECORD_PIDS[@]}"; do e2e_stop "$pid"; done; }

# --- time ----------------------------------------------------------------------------------

e2e_now() { echo "$EPOCHREALTIME"; }

# The value of an awk arithmetic expression, to the millisecond; e2e_test: whether it holds.
e2e_calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
e2e_test() { awk "BEGIN { exit !($1) }"; }

# Sets E2E_OFFSET so that a program started now sees the clock $1 seconds before the next
# ten-minute mark (or the next time of the clock that is $3 seconds past a multiple of $2
# seconds), and E2E_MARK to the real time at which it reaches that mark.
e2e_place_before_mark() {
    local lead=$1 period=${2:-600} phase=${3:-0} now=$EPOCHREALTIME
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
    local settings=(TZ="${E2E_TZ:-UTC}" QT_QPA_PLATFORM=xcb)
    # Without FAKETIME_FORCE_MONOTONIC_FIX=0, Debian's libfaketime cuts every timed wait on
    # the monotonic clock short, even with the monotonic clock left alone.
    [[ -n "${2:-}" ]] && settings+=(LD_PRELOAD="$(e2e_faketime_lib)" FAKETIME="+$2"
        FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_FORCE_MONOTONIC_FIX=0)
    env "${settings[@]}" "$1" >"$E2E_ROOT/program-$(date +%s%N).log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# Starts $program (with clock offset $2) in directory $1; sets main_window, or fails.
e2e_start_main() {
    cd "$1" || exit 1
    e2e_start_program "$program" "${2:-}"
    e2e_expect_window main_window "$E2E_MAIN_TITLE" 20 # a loaded machine starts Qt slowly
}

# Closes the program's main window $1 as its title bar's close box does; the program must then
# end with status 0 within 10 s. $2 names the case.
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

# Not in a subshell: only the parent can collect the exit status.
e2e_expect_exit() {
    local status
    if ! e2e_wait_until 10 "! e2e_alive $E2E_PROGRAM_PID"; then
        e2e_fail "$1: still running 10 s after $2"
        e2e_stop "$E2E_PROGRAM_PID"
        return
    fi
    wait "$E2E_PROGRAM_PID"
    status=$?
    e2e_untrack "$E2E_PROGRAM_PID"
    e2e_check "$1: exit status $status after $2" [ "$status" = 0 ]
}

# --- windows -------------------------------------------------------------------------------

# Ids of the windows whose title is exactly $1 (blanks included).
e2e_find_windows() {
    local id
    for id in $(xdotool search --name "^$(sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1")\$" 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$1" ]] && echo "$id"
    done
}

# IsViewable, IsUnMapped or IsUnviewable; Gone when the window no longer exists.
e2e_map_state() {
    local state
    state=$(xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }')
    echo "${state:-Gone}"
}

# The first mapped window titled exactly $1 that is not one of the ids after it.
e2e_find_viewable() {
    local title=$1 id
    shift
    for id in $(e2e_find_windows "$title"); do
        [[ " $* " == *" $id "* ]] && continue
        [[ "$(e2e_map_state "$id")" == IsViewable ]] && echo "$id" && return 0
    done
    return 1
}

# Waits at most $2 seconds for a window titled exactly $1 (and not one of the ids after) to be
# mapped; prints its id.
e2e_wait_viewable() {
    local title=$1 timeout=$2 known=("${@:3}") found=""
    e2e_wait_until "$timeout" 'found=$(e2e_find_viewable "$title" "${known[@]}")' && echo "$found"
}

# Sets variable $1 to what e2e_wait_viewable prints for the arguments after it; a failure when
# no such window comes.
e2e_expect_window() {
    local -n e2e_window=$1
    e2e_window=$(e2e_wait_viewable "${@:2}") && return
    e2e_fail "no window '$2' mapped within $3 s"
    return 1
}

# Waits at most $2 seconds for window $1 to be shown, or to be gone from the screen (unmapped
# or destroyed).
e2e_wait_shown() {
    local id=$1
    e2e_wait_until "$2" '[[ "$(e2e_map_state "$id")" == IsViewable ]]'
}
e2e_wait_gone() {
    local id=$1
    e2e_wait_until "$2" '[[ "$(e2e_map_state "$id")" != IsViewable ]]'
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

# Window $1 ($3 names it) must come to the outer geometry $2 within 2 s.
e2e_expect_geometry() {
    local id=$1 expected=$2 geometry=""
    e2e_wait_until 2 'geometry=$(e2e_outer_geometry "$id"); [[ "$geometry" == "$expected" ]]'
    e2e_check "$3 at '$geometry', expected '$2'" [ "$geometry" = "$2" ]
}

# Closes a window as its title-bar close box does (the window manager asks the client).
e2e_close_window() { wmctrl -i -c "$1"; }

# Minimises window $1 as its title bar's button does; fails unless it leaves the screen.
e2e_minimise() {
    xdotool windowminimize "$1" 2>/dev/null
    e2e_wait_gone "$1" 5 || { e2e_fail "window $1 did not minimise"; return 1; }
}

# A left click (with $4 = 2, a double-click) at the centre of the window's client area, or at
# $2,$3 inside it.
e2e_click_window() {
    local at
    at=$(xwininfo -id "$1" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { print int(w / 2), int(h / 2) }')
    [[ $# -ge 3 ]] && at="$2 $3"
    # shellcheck disable=SC2086 # two coordinates
    xdotool mousemove --window "$1" $at click --repeat "${4:-1}" --delay 80 1
}

# Passes when section $1 of Chimewell.ini in the current directory holds each "key=value" line
# after it.
e2e_expect_saved() {
    local lines missing=() line
    lines=$(tr -d '\r' <Chimewell.ini | awk -v s="[$1]" '/^\[/ { inside = $0 == s; next } inside')
    for line in "${@:2}"; do grep -qxF -- "$line" <<<"$lines" || missing+=("$line"); done
    e2e_check "[$1] holds ${*:2}${missing:+; not ${missing[*]}}" [ ${#missing[@]} = 0 ]
}

# --- results -------------------------------------------------------------------------------

e2e_pass() { echo "PASS: $*"; }
e2e_fail() {
    echo "FAIL: $*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Passes "$1" when the command after it succeeds, fails it otherwise.
e2e_check() { if "${@:2}"; then e2e_pass "$1"; else e2e_fail "$1"; fi; }

# Runs scene function $1 (with the arguments after it), which returns non-zero only when it
# ends early: then it must have said why, or it fails here. Nothing it started runs on into
# the next scene.
e2e_scene() {
    local failures=$E2E_FAILURES started=${#E2E_PIDS[@]} i
    echo "--- $1"
    "$@" || ((E2E_FAILURES > failures)) || e2e_fail "$1 ended early"
    for ((i = ${#E2E_PIDS[@]} - 1; i >= started; i--)); do e2e_stop "${E2E_PIDS[i]}"; done
}

# Prints the verdict and exits with it.
e2e_finish() {
    ((E2E_FAILURES)) && echo "FAILED: $E2E_FAILURES check(s)" && exit 1
    echo "ALL PASSED"
    exit 0
}
