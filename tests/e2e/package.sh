#!/usr/bin/env bash
# End to end: the Debian package, as a user installs and starts it. Built from the build tree,
# it depends on the libraries it links and the back-ends it loads, passes lintian without
# errors, and installs with dpkg into an empty tree whose package database is this system's
# (so its dependencies must be satisfiable here); its menu entry and AppStream data validate.
# The installed launcher, started as the menu does on a Wayland session that also has an X
# server, runs the program through X11 in the configuration folder it makes (or, where none
# can be made, where it was started), where the program writes Chimewell.ini; a platform the
# user chose is respected.
# Usage: package.sh <build directory>
set -uo pipefail

build_dir=$(realpath "${1:?usage: $0 <build directory>}")
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# Runs a command with its output into $E2E_ROOT/$1.log; passes "$2" when it succeeds.
expect_success() {
    local log="$E2E_ROOT/$1.log"
    "${@:3}" >"$log" 2>&1 && e2e_pass "$2" && return
    e2e_fail "$2:"$'\n'"$(cat "$log")"
    return 1
}

check_and_install() {
    local depends name missing=()
    expect_success cpack "cpack builds the package" \
        cpack --config "$build_dir/CPackConfig.cmake" -B "$E2E_ROOT/cpack" || return
    package=$(echo "$E2E_ROOT"/cpack/chimewell_*.deb)
    depends=", $(dpkg-deb -f "$package" Depends),"
    for name in libqt6widgets6 libqt6multimedia6 libcanberra0 libsndfile1 \
        sound-theme-freedesktop; do
        grep -qE ", $name[ ,]" <<<"$depends" || missing+=("$name")
    done
    e2e_check "the package depends on what it links and loads${missing:+, not ${missing[*]}}" \
        [ ${#missing[@]} = 0 ]
    expect_success lintian "lintian reports no errors" lintian --fail-on error "$package"
    root=$(e2e_fresh_dir root)
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    cp /var/lib/dpkg/status "$root/var/lib/dpkg/status"
    expect_success dpkg "dpkg installs it into an empty tree" \
        dpkg --root="$root" --log=/dev/null --force-not-root -i "$package" || return
    entry=$(echo "$root"/usr/share/applications/*.desktop)
    expect_success desktop "desktop-file-validate accepts the menu entry" \
        eval '! desktop-file-validate "$entry" | grep -E ": (error|warning):"'
    expect_success appstream "appstreamcli validates the AppStream data" \
        appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml
    e2e_check "the menu entry starts the installed launcher, and its icon is there" \
        [ -x "$root$(sed -n 's/^Exec=//p' "$entry")" -a \
        -f "$root/usr/share/icons/hicolor/scalable/apps/$(basename "$entry" .desktop).svg" ]
}

# Starts the installed launcher in folder $1 as a Wayland session's menu would, with the
# environment after it. No compositor listens on the Wayland socket named: Qt, left to
# itself, would try it first.
start_launcher() {
    cd "$1" || exit 1
    env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$E2E_ROOT/home" TZ=UTC XDG_SESSION_TYPE=wayland \
        WAYLAND_DISPLAY=wayland-0 "${@:2}" "$root/usr/libexec/chimewell/chimewell-launcher" \
        >"$E2E_ROOT/launcher.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    e2e_track "$E2E_PROGRAM_PID"
}

# Whether process $1 has loaded the Qt platform plugin named $2 (xcb, offscreen).
loaded() { grep -q "libq$2\.so" "/proc/$1/maps" 2>/dev/null; }

# Started from folder $2 with the environment after it, the program must run through X11 and
# write Chimewell.ini into folder $3 at its close. $1 names the case.
launcher_writes_settings_in() {
    local from=$2 folder=$3 window
    start_launcher "$from" "${@:4}"
    e2e_expect_window window "$E2E_MAIN_TITLE" 20 || return
    e2e_check "$1: through X11, without trying Wayland" eval \
        'loaded "$E2E_PROGRAM_PID" xcb && ! grep -qi wayland "$E2E_ROOT/launcher.log"'
    e2e_close_and_expect_exit "$window" "$1"
    e2e_check "$1: Chimewell.ini written in $folder alone" eval \
        '[[ -f "$folder/Chimewell.ini" && ($from == "$folder" || ! -e "$from/Chimewell.ini") ]]'
}

chosen_platform() {
    start_launcher "$E2E_ROOT" QT_QPA_PLATFORM=offscreen
    e2e_check "the program runs on the offscreen platform it was given" \
        e2e_wait_until 20 'loaded "$E2E_PROGRAM_PID" offscreen'
    ! loaded "$E2E_PROGRAM_PID" xcb || e2e_fail "it loaded the X11 platform plugin too"
}

e2e_require_tools Xvfb openbox wmctrl xwininfo xprop xdotool cpack dpkg-deb lintian \
    desktop-file-validate appstreamcli
[[ -f "$build_dir/CPackConfig.cmake" ]] || { echo "FAIL: no CPackConfig.cmake in $build_dir"; exit 2; }
e2e_init
e2e_scene check_and_install
[[ -n "${root:-}" && -x "$root/usr/libexec/chimewell/chimewell-launcher" ]] || e2e_finish
e2e_start_display || exit 1
mkdir -p "$E2E_ROOT/home" "$E2E_ROOT/elsewhere" && : >"$E2E_ROOT/not-a-folder"
e2e_scene launcher_writes_settings_in "XDG_CONFIG_HOME unset" "$E2E_ROOT/elsewhere" \
    "$E2E_ROOT/home/.config/chimewell"
e2e_scene launcher_writes_settings_in "XDG_CONFIG_HOME set" "$E2E_ROOT" "$E2E_ROOT/xdg config/chimewell" \
    XDG_CONFIG_HOME="$E2E_ROOT/xdg config"
e2e_scene launcher_writes_settings_in "no folder can be made" "$E2E_ROOT/elsewhere" \
    "$E2E_ROOT/elsewhere" XDG_CONFIG_HOME="$E2E_ROOT/not-a-folder"
e2e_scene chosen_platform
e2e_finish
