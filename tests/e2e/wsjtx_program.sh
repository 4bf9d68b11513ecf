# shellcheck shell=bash disable=SC2016 # conditions are eval'ed later
# The real WSJT-X, driven as an operator drives it: its Tune button keys the transmitter (no
# rig, PTT by VOX as by default, the tone played into e2e_start_sound's null sink), and it
# tells so in its UDP broadcasts. Source after lib.sh.

WSJTX_PID="" WSJTX_DECODER_PID="" WSJTX_WINDOW=""

# Starts WSJT-X broadcasting to port $1 of 127.0.0.1, or of multicast group $2 on the loopback
# interface, with settings, data and temporary files of its own (the temporary directory keys
# its shared memory, so a user's WSJT-X is left alone); sets WSJTX_WINDOW once its main window
# shows, or fails.
start_wsjtx() {
    local dir
    dir=$(e2e_fresh_dir wsjtx)
    mkdir -p "$dir/config"
    # Without a sound device it refuses to tune; without the splash flag a splash covers it.
    printf '%s\n' '[Configuration]' Rig=None "UDPServer=${2:-127.0.0.1}" "UDPServerPort=$1" \
        UDPInterface=lo SoundInName=e2e_sink.monitor SoundOutName=e2e_sink '[MultiSettings]' \
        CurrentName=Default Splash_v1.7=false >"$dir/config/WSJT-X.ini"
    # Killed, WSJT-X leaves its 48 MB of shared memory behind: this sweeper, tracked before it
    # and so stopped after it, removes the segments it made.
    bash -c 'trap "ipcs -mp | awk -v pid=\$(cat $1) '\''\$3 == pid { print \$1 }'\'' |
        xargs -r -n 1 ipcrm -m; exit" TERM; while sleep 1; do :; done' _ "$dir/pid" &
    e2e_track $!
    XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data" TMPDIR="$dir" HOME="$dir" \
        QT_QPA_PLATFORM=xcb wsjtx >"$dir/wsjtx.log" 2>&1 &
    WSJTX_PID=$!
    echo "$WSJTX_PID" >"$dir/pid"
    e2e_track "$WSJTX_PID"
    e2e_wait_until 60 'WSJTX_WINDOW=$(xdotool search --onlyvisible --name \
        "^WSJT-X .*K1JT" 2>/dev/null)' ||
        { import -silent -window root "$dir/screen.png"
          e2e_fail "WSJT-X showed no main window within 60 s (see $dir)"; return 1; }
    # Its decoder outlives a killed WSJT-X; tracked after it, it is stopped first.
    WSJTX_DECODER_PID=$(pgrep -P "$WSJTX_PID" -x jt9)
    e2e_track "$WSJTX_DECODER_PID"
}

# Alt+T is the Tune button, which toggles; Alt+H, Halt Tx, only ever stops.
wsjtx_key() { xdotool windowactivate --sync "$WSJTX_WINDOW" key --clearmodifiers "$1"; }
wsjtx_tune_on() { wsjtx_key alt+t; }
wsjtx_tune_off() { wsjtx_key alt+h; }

# Closes the main window as its close box does, so that WSJT-X says Close before it ends.
quit_wsjtx() {
    e2e_close_window "$WSJTX_WINDOW"
    e2e_wait_until 20 "! e2e_alive $WSJTX_PID" || e2e_fail "WSJT-X still runs 20 s after its close"
    e2e_stop "$WSJTX_PID"
    e2e_stop "$WSJTX_DECODER_PID"
}
