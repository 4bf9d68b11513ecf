#!/usr/bin/env bash
# End to end: marks with the transmitter watched through each kind of source, the real program
# each time: Hamlib's rigctld (its dummy radio, PTT switched with rigctl), flrig and fldigi
# (PTT switched through their own XML-RPC), and WSJT-X (its Tune button). With no transmission
# before a mark the alert stays away; with the transmitter on for a moment the alert comes at
# the mark, and the main window's ON AIR badge shows while it is on. The program gone before a
# mark (WSJT-X closed: its Close, then silence): the alert comes at the mark, and once the
# program is back the link comes back by itself. Bad peers, stand-ins where no real program
# misbehaves so: a server that accepts and never answers (a stopped rigctld), one that answers
# garbage or an HTTP error page, a flood of datagrams with and without WSJT-X's magic number:
# the clock changes every second, the mark reminds, and memory stays flat.
# Reminders counted from the first transmission (rolling), with rigctld and the program's clock
# run fast: at the warning before the period's end, not at the clock mark; at the key-up, if
# polite, but no later than the period's end; at the clock mark once the link is lost.
# Usage: rig.sh <path to chimewell> [rigctld|flrig|fldigi|wsjtx|bad|rolling]...
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2034,SC2119,SC2154,SC2317
set -uo pipefail

program=$(realpath "${1:?usage: $0 <path to chimewell> [kind]...}")
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/xmlrpc_programs.sh"
source "$(dirname "$0")/wsjtx_program.sh"

port="" rigctld_pid=""
readonly LEAD=12 # seconds from the program's start to the mark

# Each kind: _up starts the real program at $port, _transmit switches its PTT (1 on, 0 off),
# _down ends it, _ini is the settings that watch it.
rigctld_up() {
    rigctld -m 1 -P RIG -t "$port" >>"$E2E_ROOT/rigctld.log" 2>&1 &
    rigctld_pid=$!
    e2e_track "$rigctld_pid"
    e2e_wait_until 10 'rigctld_transmit 0' || { e2e_fail "rigctld did not start on port $port"; return 1; }
}
rigctld_transmit() { rigctl -m 2 -r "localhost:$port" T "$1" >/dev/null 2>&1; }
rigctld_down() { e2e_stop "$rigctld_pid"; }
rigctld_ini() { printf 'RigHost=localhost\nRigPort=%s\n' "$port"; }

flrig_up() { start_flrig "$port"; }
flrig_transmit() { flrig_ptt "$port" "$1"; }
flrig_down() { stop_flrig; }
flrig_ini() { printf 'RigKind=flrig\nFlrigPort=%s\n' "$port"; }

fldigi_up() { start_fldigi "$port"; }
fldigi_transmit() { if (($1)); then fldigi_tx "$port"; else fldigi_rx "$port"; fi; }
fldigi_down() { stop_fldigi; }
fldigi_ini() { printf 'RigKind=fldigi\nFldigiPort=%s\n' "$port"; }

wsjtx_up() { start_wsjtx "$port"; }
wsjtx_transmit() { if (($1)); then wsjtx_tune_on; else wsjtx_tune_off; fi; }
wsjtx_down() { quit_wsjtx; }
wsjtx_ini() { printf 'RigKind=wsjtx\nWsjtxPort=%s\n' "$port"; }
# WSJT-X sending to a multicast group on the loopback interface.
wsjtx_group_up() { start_wsjtx "$port" 239.255.0.1; }
wsjtx_group_transmit() { wsjtx_transmit "$@"; }
wsjtx_group_ini() { wsjtx_ini && echo WsjtxGroup=239.255.0.1; }

# Writes the settings in directory $1: the rig on, through kind $2, with the [Station] lines
# after them.
write_station() { printf '%s\n' '[Station]' Rig=1 "$("$2_ini")" "${@:3}" >"$1/Chimewell.ini"; }

# Starts the program LEAD s before a mark, watching kind $1, in a directory named $2. A server
# is up before, as an operator's usually is; WSJT-X is heard only from its start on, so it
# starts after.
start_watching() {
    local dir
    [[ "$1" == wsjtx* ]] || "$1_up" || return
    dir=$(e2e_fresh_dir "$2") && write_station "$dir" "$1"
    e2e_place_before_mark "$LEAD"
    e2e_start_main "$dir" "$E2E_OFFSET" || return
    [[ "$1" != wsjtx* ]] || "$1_up"
}

until_mark() { e2e_calc "$E2E_MARK + $1 - $EPOCHREALTIME"; }
no_alert_until() { ! e2e_wait_until "$(until_mark "$1")" 'e2e_find_viewable "$E2E_TITLE" >/dev/null'; }

expect_alert_at_mark() {
    local alert
    no_alert_until -0.3 || { e2e_fail "$1: an alert came before the mark"; return 1; }
    e2e_expect_window alert "$E2E_TITLE" "$(until_mark 2)" && e2e_pass "$1: the alert came"
}

# The badge's red in its place (70 x 22 at 299,6), shown while PTT is on; the main window is
# raised first, over the window of a program started or keyed after it.
badge_shown() {
    xdotool windowraise "$main_window"
    (($(import -silent -window "$main_window" -crop 70x22+299+6 -depth 8 txt:- 2>/dev/null |
        grep -c '#E00000') > 200))
}

quiet() {
    start_watching "$1" "$1-quiet" || return
    e2e_check "$1: without a transmission the mark passes silently" no_alert_until 3
}

transmitted() {
    start_watching "$1" "$1-transmitted" || return
    sleep "$(until_mark -5)"
    "$1_transmit" 1
    e2e_check "$1: the ON AIR badge shows while transmitting" e2e_wait_until 2 badge_shown
    "$1_transmit" 0
    expect_alert_at_mark "$1: a transmission before the mark"
}

gone_and_back() {
    start_watching "$1" "$1-gone" || return
    sleep "$(until_mark -3)"
    "$1_down"
    expect_alert_at_mark "$1: the program gone before the mark"
    "$1_up" && "$1_transmit" 1
    e2e_check "$1: the link comes back with the program (the badge)" e2e_wait_until 35 badge_shown
}

# Rolling timing, with rigctld, on a clock that starts at 12:33:20 (tomorrow) and runs RATE
# times as fast as the real one.
readonly RATE=10
fake_start="" real_start=""

# Starts the program so in a directory named $1, with the [Station] lines after it.
start_rolling() {
    local dir
    rigctld_up || return
    dir=$(e2e_fresh_dir "$1") && write_station "$dir" rigctld Timing=rolling "${@:2}"
    fake_start=$(date -u -d 'tomorrow 12:33:20' +%s) real_start=$EPOCHREALTIME
    e2e_start_main "$dir" "$(e2e_calc "$fake_start - $real_start") x$RATE"
}

# Real seconds from now until the program's clock reads $1 (hh:mm:ss).
real_until() {
    e2e_calc "$real_start + ($(date -u -d "tomorrow $1" +%s) - $fake_start) / $RATE - $EPOCHREALTIME"
}
at_clock() { sleep "$(real_until "$1")"; }
transmit_between() { at_clock "$1" && rigctld_transmit 1 && at_clock "$2" && rigctld_transmit 0; }

# The alert comes at the program's clock time $2: not 3 s before, and no more than 4 s after (a
# poll, a quarter of a real second, takes 2.5 s of that clock); $1 names the case.
expect_alert_at_clock() {
    local alert early late
    early=$(date -u -d "tomorrow $2 3 seconds ago" +%T) late=$(date -u -d "tomorrow $2 4 seconds" +%T)
    ! e2e_wait_until "$(real_until "$early")" 'e2e_find_viewable "$E2E_TITLE" >/dev/null' ||
        { e2e_fail "$1: an alert came before $early"; return 1; }
    e2e_expect_window alert "$E2E_TITLE" "$(real_until "$late")" && e2e_pass "$1: the alert came at $2"
}

# A scene in directory $1 with Polite=$2: PTT on from 12:33:30 to 12:33:50, then an action in
# the background ($3: "transmit_between FROM TO", or "at_clock TIME && rigctld_down"); the
# alert expected at $4, as case $5 (in $3 and $5, ~ stands for a blank). The ID is due ten
# minutes after that first key-down, and its reminder a minute before.
rolling() {
    start_rolling "$1" Interval=10 WarnSeconds=60 "Polite=$2" || return
    transmit_between 12:33:30 12:33:50
    eval "${3//\~/ }" &
    expect_alert_at_clock "${5//\~/ }" "$4"
}

# rigctld stopped: it still accepts a connection, and never answers.
silent_server() { rigctld_up && kill -STOP "$rigctld_pid"; }

# Stand-in servers: $1 is the reply to every request.
answering_server() {
    python3 -c 'import socket, sys
server = socket.create_server(("127.0.0.1", int(sys.argv[1])))
while True:
    client = server.accept()[0]; client.recv(4096); client.sendall(sys.argv[2].encode())' \
        "$port" "$1" &
    e2e_track $!
}
garbage_server() { answering_server $'RPRT x\n'; }
error_page_server() {
    answering_server $'HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/html\r\n'$'Content-Length: 44\r\n\r\n<html><body>Internal Server Error</body></html>'
}

# About 5,000 datagrams a second at the port, every other one with WSJT-X's magic number and
# schema but unreadable after it.
flood_server() {
    python3 -c 'import socket, sys, time
sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
datagrams = [bytes.fromhex("adbccbda00000002000000010000ffff") + bytes(40), bytes(range(200))]
while True:
    for _ in range(25):
        for datagram in datagrams: sender.sendto(datagram, ("127.0.0.1", int(sys.argv[1])))
    time.sleep(0.01)' "$port" &
    e2e_track $!
}

rss_kib() { awk '/^VmRSS/ { print $2 }' "/proc/$E2E_PROGRAM_PID/status"; }

# With a peer $2 that behaves badly for kind $1, the clock's place, sampled each second, must
# change every time, the memory (from the first second to the last) grow by less than 4 MiB
# (the sanitizer build's allocator alone takes memory in steps of 1 MiB; a leak of a datagram a
# flood brings would take over 7), and the mark remind.
bad_peer() {
    local before="" now stuck=0 i rss="" grown
    "$2_server" || return
    e2e_place_before_mark "$LEAD"
    write_station "$(e2e_fresh_dir "$2")" "$1"
    e2e_start_main "$E2E_ROOT/$2" "$E2E_OFFSET" || return
    for i in 1 2 3 4 5 6 7; do
        now=$(import -silent -window "$main_window" -crop 270x49+53+136 rgb:- | md5sum)
        [[ "$now" != "$before" ]] || stuck=$((stuck + 1))
        before=$now
        sleep 1
        rss=${rss:-$(rss_kib)}
    done
    grown=$(($(rss_kib) - rss))
    e2e_check "$2 peer: the clock changed every second" [ "$stuck" = 0 ]
    e2e_check "$2 peer: memory stayed flat (+$grown KiB in 6 s)" [ "$grown" -lt 4096 ]
    expect_alert_at_mark "$2 peer"
}

e2e_require_tools Xvfb openbox xdotool xwininfo import pulseaudio pactl rigctld rigctl python3 \
    rigctlcom socat flrig fldigi wsjtx
e2e_init
e2e_start_display || exit 1
e2e_start_sound || exit 1
scenes=()
for kind in "${@:2}"; do
    case "$kind" in
    bad) scenes+=("bad_peer rigctld silent" "bad_peer rigctld garbage"
        "bad_peer flrig error_page" "bad_peer wsjtx flood") ;;
    rolling) scenes+=("rolling counted 0 : 12:42:30 counted~from~12:33:30,~not~at~12:40"
        "rolling polite 1 transmit_between~12:42:20~12:42:45 12:42:45 polite:~at~the~key-up"
        "rolling deadline 1 transmit_between~12:42:00~12:43:40 12:43:30 at~the~deadline,~still~on"
        "rolling lost 1 at_clock~12:35:00~&&~rigctld_down 12:40:00 rigctld~gone:~the~clock~mark") ;;
    wsjtx) scenes+=("quiet wsjtx" "transmitted wsjtx" "gone_and_back wsjtx" "transmitted wsjtx_group") ;;
    *) scenes+=("quiet $kind" "transmitted $kind" "gone_and_back $kind") ;;
    esac
done
((${#scenes[@]})) || { echo "usage: $0 <chimewell> [rigctld|flrig|fldigi|wsjtx|bad|rolling]..."; exit 2; }
for scene in "${scenes[@]}"; do
    port=$(xmlrpc_free_port)
    # shellcheck disable=SC2086 # a scene and its arguments
    e2e_scene $scene
done
e2e_finish
