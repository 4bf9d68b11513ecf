# shellcheck shell=bash disable=SC2016 # conditions are eval'ed later
# The real flrig and fldigi on XML-RPC ports of a test's choosing, each with settings of its own
# under $E2E_ROOT, on the test's display (e2e_start_display); no sound server is needed. Source
# after lib.sh. flrig switches PTT only through a radio, and without one it serves nothing until
# a dialog is answered: it gets Hamlib's dummy radio (rigctld), presented as a Kenwood TS-2000
# by rigctlcom on one end of a pseudo-terminal pair (socat), flrig on the other end.

FLRIG_PID="" FLDIGI_PID="" FLRIG_RADIO_PID=""

# Prints a TCP port that is free now.
xmlrpc_free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

# Calls method $2 with the integers after it at port $1; prints the value it returns.
xmlrpc_call() {
    python3 -c 'import sys, xmlrpc.client
server = xmlrpc.client.ServerProxy("http://127.0.0.1:%s/RPC2" % sys.argv[1])
print(getattr(server, sys.argv[2])(*map(int, sys.argv[3:])))' "$@" 2>/dev/null
}

# Starts $2... in the background with its output in log $1, and tracks it; sets started_pid.
xmlrpc_spawn() {
    "${@:2}" >>"$1" 2>&1 &
    started_pid=$!
    e2e_track "$started_pid"
}

# The radio answers a Kenwood identification query at pseudo-terminal $1.
radio_answers() {
    [[ $(printf 'ID;' | timeout 2 socat -t 0.5 - "FILE:$1,raw,echo=0" 2>/dev/null) == ID019\;* ]]
}

# rigctld's dummy radio, then rigctlcom on end "radio" of a pty pair in $E2E_ROOT/radio; flrig
# is to open end "flrig". rigctlcom crashes on the dummy radio's default FM passband.
start_flrig_radio() {
    local dir log port started_pid
    dir=$(e2e_fresh_dir radio) && log=$dir/radio.log && port=$(xmlrpc_free_port)
    xmlrpc_spawn "$log" rigctld -m 1 -P RIG -t "$port"
    e2e_wait_until 10 'rigctl -m 2 -r "localhost:$port" M USB 5 >/dev/null 2>&1' ||
        { e2e_fail "rigctld did not start (see $log)"; return 1; }
    xmlrpc_spawn "$log" socat pty,raw,echo=0,link="$dir/radio" pty,raw,echo=0,link="$dir/flrig"
    e2e_wait_until 10 '[[ -e "$dir/radio" && -e "$dir/flrig" ]]' ||
        { e2e_fail "socat made no pty pair (see $log)"; return 1; }
    xmlrpc_spawn "$log" rigctlcom -m 2 -r "localhost:$port" -R "$dir/radio" -S 38400
    FLRIG_RADIO_PID=$started_pid
    e2e_wait_until 10 'radio_answers "$dir/flrig"' ||
        { e2e_fail "rigctlcom does not answer as a TS-2000 (see $log)"; return 1; }
}

# Writes an Fl_Preferences file $1 holding the lines after it; the reader skips three lines.
write_prefs() {
    printf '; FLTK preferences file format 1.0\n; vendor: w1hkj.com\n; application: flrig\n' >"$1"
    printf '%s\n' "${@:2}" >>"$1"
}

# Starts flrig (and the radio behind it, unless that still runs) serving XML-RPC at port $1;
# returns once it answers. comm_baudrate 7 is 38400 baud; flrig ignores a radio's file
# without its version.
start_flrig() {
    local port=$1 dir started_pid
    e2e_alive "${FLRIG_RADIO_PID:-0}" || start_flrig_radio || return
    dir=$(e2e_fresh_dir "flrig-$port")
    write_prefs "$dir/flrig.prefs" xcvr_name:TS-2000
    write_prefs "$dir/TS-2000.prefs" version:1.4.7 "xcvr_serial_port:$E2E_ROOT/radio/flrig" \
        comm_baudrate:7 ptt_via_cat:1 "xmlport:$port"
    HOME=$dir xmlrpc_spawn "$dir/flrig.log" flrig --config-dir "$dir"
    FLRIG_PID=$started_pid
    e2e_wait_until 30 'xmlrpc_call "$port" rig.get_ptt >/dev/null' ||
        { e2e_fail "flrig does not answer at port $port (see $dir)"; return 1; }
}

flrig_ptt() { xmlrpc_call "$1" rig.set_ptt "$2" >/dev/null; }

# Ends flrig alone: the radio stays for the next start_flrig.
stop_flrig() { e2e_stop "$FLRIG_PID"; }

# Starts fldigi serving XML-RPC at port $1, with no sound (its default); returns once it
# answers. With any fldigi_def.xml, even an empty one, it skips its configuration wizard.
start_fldigi() {
    local port=$1 home started_pid
    home=$(e2e_fresh_dir "fldigi-$port")
    mkdir "$home/.fldigi" && : >"$home/.fldigi/fldigi_def.xml"
    HOME=$home xmlrpc_spawn "$home/fldigi.log" fldigi --xmlrpc-server-port "$port"
    FLDIGI_PID=$started_pid
    e2e_wait_until 30 'xmlrpc_call "$port" main.get_trx_state >/dev/null' ||
        { e2e_fail "fldigi does not answer at port $port (see $home)"; return 1; }
}

# fldigi reads TX at once after main.tx and while tuning, RX only a second or two after main.rx.
fldigi_tx() { xmlrpc_call "$1" main.tx >/dev/null; }
fldigi_rx() { xmlrpc_call "$1" main.rx >/dev/null; }

stop_fldigi() { e2e_stop "$FLDIGI_PID"; }
