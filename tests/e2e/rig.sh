#!/usr/bin/env bash
# End to end: marks with the transmitter watched through Hamlib's rigctld (its dummy radio,
# PTT switched with rigctl). With no transmission before a mark the alert stays away; with the
# transmitter on for a moment the alert comes at the mark, and the main window's ON AIR badge
# shows while it is on. rigctld killed before a mark: the alert comes at the mark, and once
# rigctld is back the link comes back by itself. A server that accepts and never answers (a
# stopped rigctld), or answers garbage: the clock changes every second and the mark reminds.
# Usage: rig.sh <path to chimewell>
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2034,SC2119,SC2154,SC2317
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell>}")
source "$(dirname "$0")/lib.sh"

port="" rigctld_pid=""

start_rigctld() {
    rigctld -m 1 -P RIG -t "$port" >>"$E2E_ROOT/rigctld.log" 2>&1 &
    rigctld_pid=$!
    e2e_track "$rigctld_pid"
    e2e_wait_until 10 'ptt 0' || { e2e_fail "rigctld did not start on port $port"; return 1; }
}

ptt() { rigctl -m 2 -r "localhost:$port" T "$1" >/dev/null 2>&1; }

# Starts the program 8 s before a mark, watching the rig at $port, in a directory named $1.
start_watching() {
    local dir
    dir=$(e2e_fresh_dir "$1")
    printf '[Station]\nRig=1\nRigHost=localhost\nRigPort=%s\n' "$port" >"$dir/Chimewell.ini"
    e2e_place_before_mark 8
    e2e_start_main "$dir" "$E2E_OFFSET"
}

until_mark() { e2e_calc "$E2E_MARK + $1 - $EPOCHREALTIME"; }
no_alert_until() { ! e2e_wait_until "$(until_mark "$1")" 'e2e_find_viewable "$E2E_TITLE" >/dev/null'; }

expect_alert_at_mark() {
    local alert
    no_alert_until -0.3 || { e2e_fail "$1: an alert came before the mark"; return 1; }
    e2e_expect_window alert "$E2E_TITLE" "$(until_mark 2)" && e2e_pass "$1: the alert came"
}

# The badge's red in its place (70 x 22 at 299,6), shown while PTT is on.
badge_shown() {
    (($(import -silent -window "$main_window" -crop 70x22+299+6 -depth 8 txt:- 2>/dev/null |
        grep -c '#E00000') > 200))
}

no_transmission_no_alert() {
    start_rigctld && start_watching quiet || return
    e2e_check "without a transmission the mark passes silently" no_alert_until 3
}

transmission_reminds() {
    start_rigctld && start_watching transmitted || return
    sleep "$(until_mark -5)"
    ptt 1
    e2e_check "the ON AIR badge shows while transmitting" e2e_wait_until 2 badge_shown
    ptt 0
    expect_alert_at_mark "a transmission before the mark"
}

rigctld_gone_and_back() {
    start_rigctld && start_watching gone || return
    sleep "$(until_mark -3)"
    e2e_stop "$rigctld_pid"
    expect_alert_at_mark "rigctld killed before the mark"
    start_rigctld && ptt 1
    e2e_check "the link comes back with rigctld (the badge)" e2e_wait_until 35 badge_shown
}

# rigctld stopped: it still accepts a connection, and never answers.
silent_server() { start_rigctld && kill -STOP "$rigctld_pid"; }

garbage_server() {
    python3 -c 'import socket, sys
server = socket.create_server(("127.0.0.1", int(sys.argv[1])))
while True:
    client = server.accept()[0]; client.recv(64); client.sendall(b"RPRT x\n")' "$port" &
    e2e_track $!
}

# With a server ($1) that answers badly, the clock's place, sampled each second, must change
# every time, and the mark reminds.
bad_server() {
    local before="" now stuck=0 i
    "$1_server" && start_watching "$1" || return
    for i in 1 2 3 4; do
        now=$(import -silent -window "$main_window" -crop 270x49+53+136 rgb:- | md5sum)
        [[ "$now" != "$before" ]] || stuck=$((stuck + 1))
        before=$now
        sleep 1
    done
    e2e_check "a $1 server: the clock changed every second" [ "$stuck" = 0 ]
    expect_alert_at_mark "a $1 server"
}

e2e_require_tools Xvfb openbox xdotool xwininfo import pulseaudio pactl rigctld rigctl python3
e2e_init
e2e_start_display || exit 1
e2e_start_sound || exit 1
for scene in no_transmission_no_alert transmission_reminds rigctld_gone_and_back \
    "bad_server silent" "bad_server garbage"; do
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
    # shellcheck disable=SC2086 # a scene and its argument
    e2e_scene $scene
done
e2e_finish
