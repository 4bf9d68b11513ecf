#!/usr/bin/env bash
# End to end: marks with the transmitter watched through Hamlib's rigctld (its dummy radio,
# PTT switched with rigctl). With no transmission before a mark the alert stays away; with the
# transmitter on for a moment the alert comes at the mark, and the main window's ON AIR badge
# shows while it is on. rigctld killed before a mark: the alert comes at the mark, and once
# rigctld is back the link comes back by itself. A server that accepts and never answers, or
# answers garbage: the clock changes every second and the mark reminds.
# Usage: rig.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016 # conditions are eval'ed later
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

readonly LEAD=8         # seconds on the program's clock from start-up to the mark
readonly BADGE=299,6    # client coordinates of the ON AIR badge (70 x 22), and its red
readonly BADGE_RED="#E00000"
readonly CLOCK=53,136   # the clock's place (270 x 49)
port="" rigctld_pid=""

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

start_rigctld() {
    rigctld -m 1 -P RIG -t "$port" >>"$E2E_ROOT/rigctld.log" 2>&1 &
    rigctld_pid=$!
    e2e_track "$rigctld_pid"
    e2e_wait_until 10 'ptt 0' || { e2e_fail "rigctld did not start on port $port"; return 1; }
}

ptt() { rigctl -m 2 -r "localhost:$port" T "$1" >/dev/null 2>&1; }

# A local server on $port that accepts and then says nothing (silent) or garbage to each line.
start_server() {
    python3 -c 'import socket, sys, threading
def serve(client):
    for line in client.makefile("rb"):
        if sys.argv[2] == "garbage": client.sendall(b"RPRT x\n")
server = socket.create_server(("127.0.0.1", int(sys.argv[1])))
while True: threading.Thread(target=serve, args=(server.accept()[0],), daemon=True).start()
' "$port" "$1" >>"$E2E_ROOT/server.log" 2>&1 &
    e2e_track $!
}

# Starts the program LEAD seconds before a mark, watching the rig at $port, in directory $1.
start_watching() {
    local dir
    dir=$(e2e_fresh_dir "$1")
    printf '[Station]\nRig=1\nRigHost=localhost\nRigPort=%s\n' "$port" >"$dir/Chimewell.ini"
    e2e_place_before_mark "$LEAD"
    e2e_start_main "$dir" "$E2E_OFFSET"
}

until_mark() { e2e_calc "$E2E_MARK + $1 - $EPOCHREALTIME"; }
sleep_until_mark() { e2e_test "$(until_mark "$1") > 0" && sleep "$(until_mark "$1")"; }

# No alert is mapped until $1 seconds after the mark.
no_alert_until() { ! e2e_wait_until "$(until_mark "$1")" 'e2e_find_viewable "$E2E_TITLE" >/dev/null'; }

expect_alert_at_mark() {
    local alert
    no_alert_until -0.3 || { e2e_fail "$1: an alert came before the mark"; return 1; }
    e2e_expect_window alert "$E2E_TITLE" "$(until_mark 2)" || return
    e2e_pass "$1: the alert came at the mark"
}

# How many pixels of the badge's place show its red.
badge_red_pixels() {
    import -silent -window "$main_window" -crop "70x22+${BADGE%,*}+${BADGE#*,}" -depth 8 txt:- \
        2>/dev/null | grep -c "$BADGE_RED"
}

expect_badge() {
    local timeout=$1 what=$2
    e2e_check "the ON AIR badge shows $what" \
        e2e_wait_until "$timeout" '(($(badge_red_pixels) > 200))'
}

no_transmission_no_alert() {
    start_rigctld || return
    start_watching quiet || return
    e2e_check "without a transmission the mark passes silently" no_alert_until 3
    e2e_check "no badge while receiving" [ "$(badge_red_pixels)" = 0 ]
}

transmission_reminds() {
    start_rigctld || return
    start_watching transmitted || return
    sleep_until_mark -5
    ptt 1
    expect_badge 2 "while the transmitter is on"
    ptt 0
    e2e_check "the badge goes with the transmission" \
        e2e_wait_until 2 '(($(badge_red_pixels) == 0))'
    expect_alert_at_mark "a transmission before the mark"
}

rigctld_gone_and_back() {
    start_rigctld || return
    start_watching gone || return
    sleep_until_mark -3
    e2e_stop "$rigctld_pid"
    expect_alert_at_mark "rigctld killed before the mark"
    start_rigctld || return
    ptt 1
    expect_badge 35 "again once rigctld is back"
}

# Samples the clock's place each second: every sample must differ from the one before.
expect_clock_running() {
    local before="" now stuck=0 i
    for ((i = 0; i < 4; i++)); do
        now=$(import -silent -window "$main_window" -crop "270x49+${CLOCK%,*}+${CLOCK#*,}" \
            -depth 8 rgb:- 2>/dev/null | md5sum)
        [[ "$now" == "$before" ]] && stuck=$((stuck + 1))
        before=$now
        sleep 1
    done
    e2e_check "$1: the clock changed every second" [ "$stuck" = 0 ]
}

bad_server() {
    start_server "$1"
    start_watching "$1" || return
    expect_clock_running "a $1 server"
    expect_alert_at_mark "a $1 server"
}

e2e_require_tools Xvfb openbox xdotool wmctrl xwininfo import pulseaudio pactl rigctld rigctl \
    python3
e2e_init
e2e_start_display || exit 1
e2e_start_sound || exit 1
for scene in no_transmission_no_alert transmission_reminds rigctld_gone_and_back; do
    port=$(free_port)
    e2e_scene "$scene"
done
for kind in silent garbage; do
    port=$(free_port)
    e2e_scene bad_server "$kind"
done
e2e_finish
