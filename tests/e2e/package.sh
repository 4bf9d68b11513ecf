#!/usr/bin/env bash
# End to end: the Debian package, as a user installs and starts it. It is built from the build
# tree, passes lintian without errors, and installs with dpkg into an empty directory tree
# whose package database is this system's (so its dependencies must be satisfiable here);
# the installed menu entry and AppStream data validate. The installed launcher, started as
# the menu does, on a Wayland session that also has an X server, runs the program through
# X11 in the configuration folder it makes, where the program writes Chimewell.ini; a
# platform chosen by the user is respected.
# Usage: package.sh <build directory>
# shellcheck source-path=SCRIPTDIR disable=SC2016,SC2119 # conditions are eval'ed later
set -uo pipefail

build_dir=$(realpath "${1:?usage: $0 <build directory>}")
source "$(dirname "$0")/lib.sh"

readonly MAIN_TITLE=" Timer Chimewell! "
readonly START_TIMEOUT=20 # a loaded machine may start Qt slowly

build_package() {
    cpack --config "$build_dir/CPackConfig.cmake" -B "$E2E_ROOT/cpack" >"$E2E_ROOT/cpack.log" 2>&1 ||
        { e2e_fail "cpack failed (see $E2E_ROOT/cpack.log)"; return 1; }
    package=$(echo "$E2E_ROOT"/cpack/chimewell_*.deb)
    [[ -f "$package" ]] || { e2e_fail "cpack made no .deb"; return 1; }
    e2e_pass "cpack built $(basename "$package")"
}

# Its dependencies come from the program's libraries, and the ones loaded by name are added.
expect_dependencies() {
    local depends missing=() name
    depends=$(dpkg-deb -f "$package" Depends)
    for name in libqt6widgets6 libqt6multimedia6 libcanberra0 gstreamer1.0-pulseaudio \
        sound-theme-freedesktop; do
        [[ ", $depends," == *", $name "* || ", $depends," == *", $name,"* ]] || missing+=("$name")
    done
    if ((${#missing[@]})); then
        e2e_fail "the package does not depend on ${missing[*]}: $depends"
    else
        e2e_pass "the package depends on the libraries it links and the back-ends it loads"
    fi
}

expect_lintian_clean() {
    if lintian --fail-on error "$package" >"$E2E_ROOT/lintian.log" 2>&1; then
        e2e_pass "lintian reports no errors"
    else
        e2e_fail "lintian reports errors:"$'\n'"$(grep '^E:' "$E2E_ROOT/lintian.log")"
    fi
}

# dpkg installs into an empty tree, also without root, but checks the dependencies against
# this system's packages: no dependency is forced.
install_into_clean_tree() {
    root=$(e2e_fresh_dir root) || return 1
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    cp /var/lib/dpkg/status "$root/var/lib/dpkg/status"
    if dpkg --root="$root" --log=/dev/null --force-not-root -i "$package" >"$E2E_ROOT/dpkg.log" 2>&1; then
        e2e_pass "dpkg installed the package into an empty tree"
    else
        e2e_fail "dpkg could not install the package:"$'\n'"$(cat "$E2E_ROOT/dpkg.log")"
        return 1
    fi
}

expect_valid_metadata() {
    local entry exec
    entry=$(echo "$root"/usr/share/applications/*.desktop)
    if desktop-file-validate "$entry" >"$E2E_ROOT/desktop.log" 2>&1 &&
        ! grep -qE ': (error|warning):' "$E2E_ROOT/desktop.log"; then
        e2e_pass "desktop-file-validate accepts $(basename "$entry")"
    else
        e2e_fail "desktop-file-validate: $(cat "$E2E_ROOT/desktop.log")"
    fi
    exec=$(sed -n 's/^Exec=//p' "$entry")
    [[ -x "$root$exec" ]] || e2e_fail "the menu entry starts '$exec', which is not installed"
    if appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$E2E_ROOT/as.log" 2>&1; then
        e2e_pass "appstreamcli validates the AppStream metadata"
    else
        e2e_fail "appstreamcli: $(cat "$E2E_ROOT/as.log")"
    fi
    [[ -f "$root/usr/share/icons/hicolor/scalable/apps/$(basename "$entry" .desktop).svg" ]] ||
        e2e_fail "no scalable icon named after the menu entry"
}

# Starts the installed launcher as a Wayland session's menu would, from directory $1 with
# the extra environment that follows; sets E2E_PROGRAM_PID and launcher_log. No compositor
# listens on the Wayland socket named: Qt, left to itself, would try it first.
start_launcher() {
    local from=$1
    shift
    cd "$from" || exit 1
    launcher_log="$E2E_ROOT/launcher-$(date +%s%N).log"
    env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$home" TZ=UTC XDG_SESSION_TYPE=wayland \
        WAYLAND_DISPLAY=wayland-0 "$@" "$root/usr/libexec/chimewell/chimewell-launcher" \
        >"$launcher_log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# The Qt platform plugin that process $1 has loaded, by its file name.
loaded_plugin() { grep -o 'libq[a-z]*\.so' "/proc/$1/maps" 2>/dev/null | grep -m1 -E "$2"; }

# The launcher must make folder $1, the program must run there as an X11 client, and
# closing it must leave Chimewell.ini in that folder. $2 names the case.
expect_settings_in() {
    local folder=$1 what=$2 window
    window=$(e2e_wait_viewable "$MAIN_TITLE" "$START_TIMEOUT") || {
        e2e_fail "$what: no main window on the X display within $START_TIMEOUT s"
        e2e_stop "$E2E_PROGRAM_PID"
        return 1
    }
    if ! loaded_plugin "$E2E_PROGRAM_PID" 'libqxcb' >/dev/null; then
        e2e_fail "$what: the program has not loaded the X11 platform plugin"
    elif grep -qi wayland "$launcher_log"; then
        e2e_fail "$what: the program tried Wayland first:"$'\n'"$(grep -i wayland "$launcher_log")"
    else
        e2e_pass "$what: the program runs through X11, without trying Wayland"
    fi
    [[ -d "$folder" ]] || e2e_fail "$what: the launcher did not make $folder"
    e2e_close_and_expect_exit "$window" "$what"
    if [[ -f "$folder/Chimewell.ini" ]]; then
        e2e_pass "$what: Chimewell.ini was written in $folder"
    else
        e2e_fail "$what: no Chimewell.ini in $folder"
    fi
}

launcher_default_folder() {
    echo "--- The menu entry's launcher, XDG_CONFIG_HOME unset"
    home=$(e2e_fresh_dir home) || return
    start_launcher "$(e2e_fresh_dir elsewhere)"
    expect_settings_in "$home/.config/chimewell" "default folder"
    [[ -e "$E2E_ROOT/elsewhere/Chimewell.ini" ]] &&
        e2e_fail "default folder: Chimewell.ini was written in the launcher's starting folder"
}

launcher_xdg_folder() {
    echo "--- The launcher with XDG_CONFIG_HOME set"
    start_launcher "$E2E_ROOT" XDG_CONFIG_HOME="$E2E_ROOT/xdg config"
    expect_settings_in "$E2E_ROOT/xdg config/chimewell" "XDG_CONFIG_HOME"
}

# A configuration folder that cannot be made must not keep the operator from the clock.
launcher_unusable_folder() {
    echo "--- The launcher when the configuration folder cannot be made"
    local dir
    dir=$(e2e_fresh_dir unusable) || return
    : >"$dir/not-a-folder"
    start_launcher "$dir" XDG_CONFIG_HOME="$dir/not-a-folder"
    expect_settings_in "$dir" "unusable folder"
}

# A platform chosen by the user is kept: offscreen, the program never talks to X.
chosen_platform() {
    echo "--- QT_QPA_PLATFORM=offscreen on the same session"
    start_launcher "$E2E_ROOT" QT_QPA_PLATFORM=offscreen
    if e2e_wait_until "$START_TIMEOUT" 'loaded_plugin "$E2E_PROGRAM_PID" "libqoffscreen" >/dev/null'
    then
        e2e_pass "the program runs on the offscreen platform it was given"
    else
        e2e_fail "the program did not load the offscreen platform"
    fi
    if loaded_plugin "$E2E_PROGRAM_PID" 'libqxcb' >/dev/null; then
        e2e_fail "the program loaded the X11 platform plugin although offscreen was chosen"
    fi
    e2e_stop "$E2E_PROGRAM_PID"
}

e2e_require_tools Xvfb openbox wmctrl xwininfo xprop xdotool cpack dpkg-deb lintian \
    desktop-file-validate appstreamcli
[[ -f "$build_dir/CPackConfig.cmake" ]] || { echo "FAIL: no CPackConfig.cmake in $build_dir"; exit 2; }
e2e_init
build_package || e2e_finish
expect_dependencies
expect_lintian_clean
install_into_clean_tree || e2e_finish
expect_valid_metadata
fc-list >/dev/null 2>&1 # a cold fontconfig cache would stall the first start for seconds
e2e_start_display || exit 1
launcher_default_folder
launcher_xdg_folder
launcher_unusable_folder
chosen_platform
e2e_finish
