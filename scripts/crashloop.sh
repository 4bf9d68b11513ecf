#!/usr/bin/env bash
# The settings file against a crash during the save: the real program, on a private X display,
# is closed through the window manager COUNT times (1000) while a killer sends it SIGKILL at a
# random moment of the close. After each run the file must hold exactly the old content or
# exactly the new one (what a close without a kill writes), never anything else.
# Prints the count of each outcome; fails if any file was neither.
# Usage: scripts/crashloop.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/../tests/e2e/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly COUNT=${COUNT:-1000}
readonly START_TIMEOUT=20
# A killed close leaves the old file or the new one; a close not killed leaves the new one.
readonly FINE_OUTCOMES='^\(old, killed\|new, killed\|new, exited\|stray files left in the folder\)$'
declare -A outcomes=() earliest=() latest=() # count, earliest and latest kill of each outcome
close_us=0 # how long a close takes, from the request to the end of the process
delay_us=0 # when the killer of the current run strikes, from the close request

# Every section the program keeps, and lines of others. The main window is stored off the
# screen, so that it is shown elsewhere and its close writes a new place; the timer is
# stopped, so that no alert or sound comes in between.
write_old_settings() {
    cat <<'EOF'
; Chimewell settings for the crash loop
[Main Form]
Left=3000
Top=2500
Width=377
Height=590
Audio=0
CS_FontColor=-65536
AMPM=1
CallSign=DL1ABC/P
Active_Indicator=Stopped
GMT=GMT
Mode Indicator=Manual
Start=0
Mode=0
localTimeZone=0
form2Left=300
form2Top=200
form2Width=500
form2Height=400
form2Color=-256

[CallSign Form]
Left=640
Top=120
Width=370
Height=330

[Select Audio Form]
Left=200
Top=150
Width=450
Height=425
Selected File=/nonexistent/chime.wav

[Audio Form]
Left=880
Top=90
Width=240
Height=390
fileExists=1

[Station Log]
Operator = DL1ABC
EOF
}

# Starts the program on the old file in directory $1; sets main_window.
start_on_old_file() {
    cp "$old" "$1/Chimewell.ini" && cd "$1" || exit 1
    e2e_start_program "$program"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        echo "FAIL: the main window did not appear within $START_TIMEOUT s"
        exit 1
    }
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# Waits, polling without starting a process, until process $1 has ended (for at most 10 s):
# the whole close takes milliseconds.
wait_ended() {
    local deadline stat
    deadline=$(($(now_us) + 10000000))
    while (($(now_us) < deadline)); do
        read -r stat 2>/dev/null <"/proc/$1/stat" || return 0
        stat=${stat##*) }
        [[ "${stat%% *}" == Z ]] && return 0
    done
    return 1
}

# Collects the status of program $1 once it has ended; a kill is no news.
reap() {
    wait_ended "$1" || { echo "FAIL: the program did not end after a close"; exit 1; }
    wait "$1" 2>/dev/null
    exit_status=$?
    e2e_untrack "$1"
}

# A close without a kill: prints how long it took, in microseconds; leaves the file it wrote
# as $1.
timed_close() {
    local dir started
    dir=$(e2e_fresh_dir calibrate)
    start_on_old_file "$dir"
    started=$(now_us)
    e2e_close_window "$main_window"
    wait_ended "$E2E_PROGRAM_PID"
    echo $(($(now_us) - started))
    reap "$E2E_PROGRAM_PID"
    cp "$dir/Chimewell.ini" "$1"
}

# Five closes without a kill: each must write the same new content, other than the old; the
# median of their durations is the killer's range.
prepare_expected() {
    local durations=() i
    for ((i = 0; i < 5; i++)); do
        durations+=("$(timed_close "$E2E_ROOT/new-$i.ini")")
        if cmp -s "$old" "$E2E_ROOT/new-$i.ini" || ! cmp -s "$E2E_ROOT/new-0.ini" "$E2E_ROOT/new-$i.ini"; then
            echo "FAIL: a close does not write one new content every time; see $E2E_ROOT"
            E2E_FAILURES=1
            exit 1
        fi
    done
    cp "$E2E_ROOT/new-0.ini" "$new"
    close_us=$(printf '%s\n' "${durations[@]}" | sort -n | sed -n 3p)
    echo "A close takes $((close_us / 1000)) ms; the killer strikes at random within it."
}

# Closes through the window manager while the killer waits a random time, then sends SIGKILL.
# The killer waits with `read -t` on a pipe that never speaks: no process start to delay it.
close_under_killer() {
    local pid=$E2E_PROGRAM_PID delay killer
    delay_us=$((SRANDOM % (close_us + 1)))
    printf -v delay '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000))
    (read -r -t "$delay" <>"$silent_pipe"; kill -KILL "$pid" 2>/dev/null) &
    killer=$!
    e2e_close_window "$main_window"
    # Process ids are handed out in turn, so the program's cannot have come back to another
    # process within the milliseconds of a close.
    wait "$killer"
    reap "$pid"
}

# Names the outcome of run $2 in directory $1; keeps any file that is neither old nor new.
classify() {
    local file="$1/Chimewell.ini" how="ended with status $exit_status" strays
    ((exit_status == 0)) && how=exited
    ((exit_status == 128 + 9)) && how=killed
    if cmp -s "$file" "$old"; then
        echo "old, $how"
    elif cmp -s "$file" "$new"; then
        echo "new, $how"
    else
        cp "$file" "$E2E_ROOT/neither-$2.ini" 2>/dev/null
        echo "NEITHER old nor new, $how"
    fi
    strays=$(find "$1" -mindepth 1 ! -name Chimewell.ini -printf '%f ')
    [[ -n "$strays" ]] && echo "run $2: $strays" >>"$E2E_ROOT/stray.txt" &&
        echo "stray files left in the folder"
}

run_once() {
    local dir outcome
    dir=$(e2e_fresh_dir "run")
    start_on_old_file "$dir"
    close_under_killer
    while IFS= read -r outcome; do
        count "$outcome"
    done < <(classify "$dir" "$1")
}

count() {
    outcomes[$1]=$((${outcomes[$1]:-0} + 1))
    ((${earliest[$1]:-delay_us + 1} > delay_us)) && earliest[$1]=$delay_us
    ((${latest[$1]:--1} < delay_us)) && latest[$1]=$delay_us
}

report() {
    local outcome
    echo "After $COUNT closes with a killer sending SIGKILL, Chimewell.ini was:"
    for outcome in "${!outcomes[@]}"; do
        printf '%6d  %-30s (killer at %d.%03d to %d.%03d ms)\n' "${outcomes[$outcome]}" "$outcome" \
            $((earliest[$outcome] / 1000)) $((earliest[$outcome] % 1000)) \
            $((latest[$outcome] / 1000)) $((latest[$outcome] % 1000))
    done | sort -k2
    [[ -s "$E2E_ROOT/stray.txt" ]] && echo "Stray files:" && cat "$E2E_ROOT/stray.txt"
    if printf '%s\n' "${!outcomes[@]}" | grep -qv "$FINE_OUTCOMES"; then
        E2E_FAILURES=1
        echo "FAIL: a file was neither old nor new, or a close ended otherwise (see $E2E_ROOT)"
        exit 1
    fi
    echo "PASS: every file was either the old or the new content"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo
e2e_init
old="$E2E_ROOT/old.ini"
new="$E2E_ROOT/new.ini"
silent_pipe="$E2E_ROOT/silent"
mkfifo "$silent_pipe"
write_old_settings >"$old"
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display "1280x1024x24" || exit 1
prepare_expected
for ((run = 1; run <= COUNT; run++)); do
    run_once "$run" 2>/dev/null # the shell's notes on every job it saw killed
    ((run % 100 == 0)) && echo "$run runs"
done
report
