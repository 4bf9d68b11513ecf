#!/usr/bin/env bash
# End to end: the built program on a private X display, its clock shifted to just before a
# ten-minute mark, watched from outside. The alert must appear at the mark where it was
# left, go away at second 15 in Auto mode or on a click in Manual mode, and closing the main
# window must write the settings file and end the process with status 0, even after a
# settings file full of garbage. A mark missed while the process was stopped (SIGSTOP) is
# raised when it continues. Places stored at the ends of int, or larger than the screen, are
# fitted to the screen, at an ordinary start's cost in memory.
# Usage: identification_mark.sh <path to chimewell>
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly ALERT_TITLE=" Timer Chimewell!"
readonly LEAD=4.55        # seconds on the program's clock from start-up to the mark
readonly START_TIMEOUT=20 # a loaded machine may start Qt slowly
readonly KEYS=(Left Top Width Height Audio CS_FontColor AMPM CallSign Active_Indicator GMT
    "Mode Indicator" Start Mode localTimeZone form2Left form2Top form2Width form2Height form2Color)

# Starts the program in directory $1, $LEAD (or $2) seconds before a mark; sets main_window.
start_before_mark() {
    cd "$1" || exit 1
    e2e_place_before_mark "${2:-$LEAD}"
    e2e_start_program "$program" "$E2E_OFFSET"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "the main window did not appear within $START_TIMEOUT s"
        return 1
    }
}

# Since the mark, in seconds.
since_mark() { e2e_calc "$1 - $E2E_MARK"; }

# Waits until the alert is unmapped, at the latest $1 seconds after the mark; prints when,
# in seconds since the mark.
alert_unmapped_by() {
    local at
    at=$(e2e_wait_map_state "$alert_window" IsUnMapped "$(e2e_calc "$E2E_MARK + $1")") &&
        since_mark "$at"
}

# Until shortly before the mark no alert may be mapped; then one must be, within 2 s.
# Sets alert_window.
expect_alert_at_mark() {
    local mapped_at
    while e2e_test "$(e2e_now) < $E2E_MARK - 0.3"; do
        if e2e_find_viewable "$ALERT_TITLE" >/dev/null; then
            e2e_fail "the alert was mapped $(since_mark "$(e2e_now)") s from the mark, before it"
            return 1
        fi
        sleep "$E2E_POLL"
    done
    e2e_pass "no alert before the mark"
    local timeout
    timeout=$(e2e_calc "$E2E_MARK + 2 - $(e2e_now)")
    alert_window=$(e2e_wait_viewable "$ALERT_TITLE" "$timeout") || {
        e2e_fail "no alert mapped within 2 s of the mark"
        return 1
    }
    mapped_at=$(since_mark "$(e2e_now)")
    if e2e_test "$mapped_at < -0.4"; then
        e2e_fail "the alert was mapped ${mapped_at} s from the mark, before it"
    else
        e2e_pass "the alert was mapped at the mark (seen ${mapped_at} s after it)"
    fi
}

expect_geometry() {
    local window=$1 expected=$2 what=$3 geometry
    if geometry=$(e2e_wait_geometry "$window" "$expected" 2); then
        e2e_pass "$what at $expected"
    else
        e2e_fail "$what at '$geometry', expected '$expected'"
    fi
}

# The "[Main Form]" section of Chimewell.ini in directory $1 must list the 19 keys in their
# order, the main window's outer geometry $2 ("left top width height") and the "key=value"
# lines given after it (the remaining keys may hold anything).
expect_saved() {
    local file="$1/Chimewell.ini" expected actual line wrong=() left top width height
    read -r left top width height <<<"$2"
    shift 2
    set -- "Left=$left" "Top=$top" "Width=$width" "Height=$height" "$@"
    [[ -f "$file" ]] || { e2e_fail "no Chimewell.ini written"; return 1; }
    actual=$(awk '/^\[/ { inside = ($0 == "[Main Form]") ; next } inside && NF' "$file")
    expected=$(printf '%s\n' "${KEYS[@]}")
    if [[ "$(sed 's/=.*//' <<<"$actual")" != "$expected" ]]; then
        e2e_fail "Chimewell.ini's [Main Form] keys are not the 19 in order:"$'\n'"$actual"
        return 1
    fi
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$actual" || wrong+=("$line")
    done
    if ((${#wrong[@]})); then
        e2e_fail "Chimewell.ini lacks $(printf "'%s' " "${wrong[@]}")in:"$'\n'"$actual"
    else
        e2e_pass "Chimewell.ini holds the 19 keys in order with the expected values"
    fi
}

auto_mode_first_run() {
    echo "--- Auto mode, first run (no settings file)"
    local dir unmapped_at main_geometry left top
    dir=$(e2e_fresh_dir auto) || return
    start_before_mark "$dir" || return
    read -r left top _ <<<"$(e2e_outer_geometry "$main_window")"
    if [[ "$left,$top" == 50,50 ]]; then
        e2e_pass "the main window opens at 50,50"
    else
        e2e_fail "the main window opens at $left,$top, expected 50,50"
    fi
    expect_alert_at_mark || return
    expect_geometry "$alert_window" "100 100 600 500" "the alert window is"
    normal_resident_kb=$(resident_kb)
    if unmapped_at=$(alert_unmapped_by 17); then
        if e2e_test "$unmapped_at >= 14"; then
            e2e_pass "Auto mode unmapped the alert ${unmapped_at} s after the mark"
        else
            e2e_fail "Auto mode unmapped the alert ${unmapped_at} s after the mark, too early"
        fi
    else
        e2e_fail "the alert was still mapped 17 s after the mark in Auto mode"
    fi
    main_geometry=$(e2e_outer_geometry "$main_window")
    e2e_close_and_expect_exit "$main_window" "first run"
    expect_saved "$dir" "$main_geometry" "Audio=1" "CS_FontColor=-16776961" "AMPM=0" \
        "CallSign=Callsign" "Active_Indicator=Active" "GMT=" \
        "Mode Indicator=Auto" "Start=1" "Mode=1" "localTimeZone=1" "form2Left=100" \
        "form2Top=100" "form2Width=600" "form2Height=500" "form2Color=16776960"
}

write_manual_settings() {
    cat >"$1/Chimewell.ini" <<'EOF'
[Main Form]
Left=50
Top=50
Width=377
Height=590
Audio=0
CS_FontColor=-16776961
AMPM=2
CallSign=N0CALL
Active_Indicator=Active
GMT=
Mode Indicator=Manual
Start=1
Mode=0
localTimeZone=1
form2Left=300
form2Top=200
form2Width=500
form2Height=400
form2Color=-256
EOF
}

# The alert must stay up past second 15 and go at a click on it.
expect_manual_close() {
    local still_at click_at unmapped_at
    if unmapped_at=$(alert_unmapped_by 17); then
        e2e_fail "Manual mode: the alert went unclicked ${unmapped_at} s after the mark"
        return 1
    fi
    still_at=$(since_mark "$(e2e_now)")
    e2e_pass "Manual mode: the alert is still mapped ${still_at} s after the mark"
    click_at=$(e2e_now)
    e2e_click_window "$alert_window"
    if unmapped_at=$(e2e_wait_map_state "$alert_window" IsUnMapped "$(e2e_calc "$click_at + 1.5")")
    then
        e2e_pass "a click unmapped the alert after $(e2e_calc "$unmapped_at - $click_at") s"
    else
        e2e_fail "the alert was still mapped 1.5 s after a left click on it"
    fi
}

manual_mode_stored_geometry() {
    echo "--- Manual mode, stored alert geometry"
    local dir alert_geometry main_geometry left top width height
    dir=$(e2e_fresh_dir manual) || return
    write_manual_settings "$dir"
    start_before_mark "$dir" || return
    expect_alert_at_mark || return
    expect_geometry "$alert_window" "300 200 500 400" "the alert window is"
    alert_geometry=$(e2e_outer_geometry "$alert_window")
    expect_manual_close
    main_geometry=$(e2e_outer_geometry "$main_window")
    e2e_close_and_expect_exit "$main_window" "Manual mode"
    read -r left top width height <<<"$alert_geometry"
    expect_saved "$dir" "$main_geometry" "Audio=0" "CS_FontColor=-16776961" "AMPM=2" \
        "CallSign=N0CALL" "Mode Indicator=Manual" "Start=1" "Mode=0" "localTimeZone=1" \
        "form2Left=$left" "form2Top=$top" "form2Width=$width" "form2Height=$height" \
        "form2Color=-256"
}

# Stopped by SIGSTOP a second before the mark and continued 4 s after it, the program must
# raise the mark it missed at once, and Auto mode close it at second 15.
stopped_across_the_mark() {
    echo "--- Stopped across the mark (SIGSTOP, SIGCONT)"
    local dir unmapped_at
    dir=$(e2e_fresh_dir stopped) || return
    start_before_mark "$dir" 8.55 || return
    e2e_test "$(e2e_now) < $E2E_MARK - 1.5" || { e2e_fail "started too late to be stopped"; return; }
    e2e_wait_until 10 "e2e_test \"\$(e2e_now) > $E2E_MARK - 1\""
    kill -STOP "$E2E_PROGRAM_PID"
    e2e_wait_until 10 "e2e_test \"\$(e2e_now) > $E2E_MARK + 4\""
    ! e2e_find_viewable "$ALERT_TITLE" >/dev/null || e2e_fail "an alert was mapped while stopped"
    kill -CONT "$E2E_PROGRAM_PID"
    if alert_window=$(e2e_wait_viewable "$ALERT_TITLE" 2); then
        e2e_pass "the missed mark was raised on SIGCONT ($(since_mark "$(e2e_now)") s after it)"
    else
        e2e_fail "no alert within 2 s of SIGCONT, 4 s after the mark"
        return
    fi
    if unmapped_at=$(alert_unmapped_by 17) && e2e_test "$unmapped_at >= 14"; then
        e2e_pass "Auto mode unmapped the missed mark's alert ${unmapped_at} s after the mark"
    else
        e2e_fail "Auto mode did not unmap the missed mark's alert at second 15 (${unmapped_at:-never})"
    fi
    e2e_close_and_expect_exit "$main_window" "stopped across the mark"
}

# The Manual mode settings with the int extremes and a size far beyond any screen for both
# windows' places.
write_extreme_settings() {
    write_manual_settings "$1"
    sed -i -e 's/^\(Left\|Top\|Width\|Height\)=.*/\1=2147483647/' \
        -e 's/^form2\(Left\|Top\)=.*/form2\1=-2147483648/' \
        -e 's/^form2\(Width\|Height\)=.*/form2\1=100000/' "$1/Chimewell.ini"
}

resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PROGRAM_PID/status"; }

# Window $2 ($1 names it) must lie within the screen.
expect_on_screen() {
    local x y width height
    read -r x y width height <<<"$(e2e_outer_geometry "$2")"
    ((x >= 0 && y >= 0 && x + width <= 1280 && y + height <= 1024)) &&
        e2e_pass "$1 shows within the screen" ||
        e2e_fail "$1 shows at $x,$y ${width}x$height, beyond the screen"
}

# Each window fitted to the screen: memory as after an ordinary start (a few MB more for the
# larger windows), the clock ticking, the alert closing on a click, the fitted places saved.
extreme_stored_places() {
    echo "--- Stored places at the ends of int and beyond the screen"
    local dir resident main_geometry left top width height
    dir=$(e2e_fresh_dir extreme) || return
    write_extreme_settings "$dir"
    start_before_mark "$dir" || return
    expect_on_screen "the main window" "$main_window"
    import -silent -window "$main_window" "$E2E_ROOT/before.png"
    sleep 1.2
    import -silent -window "$main_window" "$E2E_ROOT/after.png"
    compare -metric AE "$E2E_ROOT/before.png" "$E2E_ROOT/after.png" null: 2>/dev/null &&
        e2e_fail "the clock stood still for 1.2 s" || e2e_pass "the clock ticks"
    expect_alert_at_mark || return
    expect_on_screen "the alert" "$alert_window"
    sleep 1
    resident="resident memory $(resident_kb) kB, after an ordinary start $normal_resident_kb kB"
    (($(resident_kb) < normal_resident_kb + 30 * 1024)) && e2e_pass "$resident" || e2e_fail "$resident"
    read -r left top width height <<<"$(e2e_outer_geometry "$alert_window")"
    e2e_click_window "$alert_window"
    alert_unmapped_by 4 >/dev/null || e2e_fail "the alert was still mapped 4 s after the mark"
    main_geometry=$(e2e_outer_geometry "$main_window")
    e2e_close_and_expect_exit "$main_window" "extreme places"
    expect_saved "$dir" "$main_geometry" "form2Left=$left" "form2Top=$top" "form2Width=$width" \
        "form2Height=$height"
}

# A window manager too busy to tell the frame in advance (paused while the program starts)
# must still see the main window framed at its stored place, which the close saves unchanged:
# the place once crept by the frame's size at every start.
late_window_manager() {
    echo "--- A window manager that answers late"
    local dir wm
    dir=$(e2e_fresh_dir late-wm) || return
    printf '[Main Form]\nLeft=300\nTop=200\nWidth=377\nHeight=590\n' >"$dir/Chimewell.ini"
    cd "$dir" || return
    wm=$(pgrep -n -x openbox)
    kill -STOP "$wm"
    e2e_start_program "$program"
    e2e_wait_until 20 '[[ -n "$(e2e_find_windows "$MAIN_TITLE")" ]]'
    sleep 0.3 # the program's frame request times out (50 ms) and it maps the window unframed
    kill -CONT "$wm"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") ||
        { e2e_fail "the main window did not appear"; return 1; }
    expect_geometry "$main_window" "300 200 377 590" "the late-framed main window is"
    e2e_close_and_expect_exit "$main_window" "a late window manager"
    grep -qx 'Top=200' "$dir/Chimewell.ini" && e2e_pass "its place was saved unchanged" ||
        e2e_fail "its place was saved as $(grep -E '^(Left|Top)=' "$dir/Chimewell.ini" | tr '\n' ' ')"
}

write_windows_style_settings() {
    printf '\xef\xbb\xbf[Main Form]\r\nLeft=99999999999999999999\r\nTop=40000\r\nWidth=-5\r\n'
    printf 'Height=4294967296\r\nAudio=7\r\nAMPM=-2\r\nCallSign=%s\r\n' \
        "$(head -c 3000 /dev/zero | tr '\0' W)"
    printf 'Start=abc\r\nMode=2\r\nlocalTimeZone=\r\nform2Left=-2147483649\r\nform2Width=0\r\n'
    printf 'form2Color=99999999999\r\n[Select Audio Form]\r\nSelected File=/nonexistent/x.wav\r\n'
}

# The main window must show with its title bar on the screen, at the outer size $3 if given,
# and closing it must end the process with status 0.
expect_survives() {
    local what=$1 dir=$2 size=${3:-} x y width height
    cd "$dir" || return
    e2e_start_program "$program"
    main_window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "$what: the main window did not appear within $START_TIMEOUT s"
        e2e_stop "$E2E_PROGRAM_PID"
        return 1
    }
    [[ -z "$size" ]] ||
        e2e_wait_until 2 '[[ "$(e2e_outer_geometry "$main_window" | cut -d" " -f3-)" == "$size" ]]'
    read -r x y width height <<<"$(e2e_outer_geometry "$main_window")"
    if ((y >= 0 && y < 1024 - 20 && x < 1280 && x + width > 0)); then
        e2e_pass "$what: the main window shows with its title bar on the screen" \
            "($x,$y ${width}x$height)"
    else
        e2e_fail "$what: the main window's title bar is off the screen ($x,$y ${width}x$height)"
    fi
    [[ -z "$size" || "$width $height" == "$size" ]] ||
        e2e_fail "$what: the main window is ${width}x$height, expected ${size/ /x}"
    e2e_close_and_expect_exit "$main_window" "$what"
    grep -aq '\[Main Form\]' "$dir/Chimewell.ini" ||
        e2e_fail "$what: no [Main Form] section in Chimewell.ini after closing"
}

bad_settings_files() {
    echo "--- Bad settings files"
    local dir
    dir=$(e2e_fresh_dir garbage) || return
    head -c 8192 /dev/urandom >"$dir/Chimewell.ini"
    expect_survives "random bytes" "$dir"
    dir=$(e2e_fresh_dir windows-style) || return
    write_windows_style_settings >"$dir/Chimewell.ini"
    expect_survives "BOM, CRLF and out-of-range values" "$dir"
    dir=$(e2e_fresh_dir off-screen) || return
    printf '[Main Form]\nLeft=50\nTop=40000\nWidth=377\nHeight=590\n' >"$dir/Chimewell.ini"
    expect_survives "stored far below the screen" "$dir" "377 590"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo xprop import compare pulseaudio pactl
[[ -x "$program" ]] || { echo "FAIL: $program is not an executable"; exit 2; }
e2e_init
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
e2e_start_sound || exit 1 # the system tone of the first run goes nowhere
normal_resident_kb=0
auto_mode_first_run
manual_mode_stored_geometry
stopped_across_the_mark
extreme_stored_places
late_window_manager
bad_settings_files
e2e_finish
