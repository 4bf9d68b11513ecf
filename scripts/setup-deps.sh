#!/usr/bin/env bash
# Installs the Debian packages Chimewell needs to build, run and test, and only those
# not installed yet, so a second run costs a dpkg query and nothing more.
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libcanberra-dev libxcb1-dev
  libsndfile1-dev libpulse-dev libespeak-ng-dev)
run=(qt6-qpa-plugins libqt6multimedia6 libcanberra0 libcanberra-pulse sound-theme-freedesktop
  libsndfile1 libpulse0 fonts-dejavu-core libespeak-ng1 espeak-ng-data)
test=(xvfb openbox xdotool wmctrl x11-utils libfaketime imagemagick pulseaudio libhamlib-utils
  pulseaudio-utils sox lame procps
  flrig fldigi wsjtx socat # the transmitter sources the rig test watches, as real programs
  x11-xserver-utils # xmodmap: a key for the sound test's non-ASCII file name
  python3 # the rig test's silent and garbage-talking servers
  dbus-daemon at-spi2-core python3-pyatspi # the screen reader's view, from the registry
  locales # the sources from which the clock's test makes desktop locales
  clang-format # the check that every source file is laid out as clang-format lays it out
  clang-14 libclang-rt-14-dev # the settings fuzzer: clang with its libFuzzer runtime
  gcovr) # make coverage

# The benchmark counts instructions per tick under callgrind.
bench=(valgrind)

wanted=("${build[@]}" "${run[@]}")
case "${1:-run}" in
test) wanted+=("${test[@]}") ;;
bench) wanted+=("${test[@]}" "${bench[@]}") ;;
esac
# Building the Debian package and checking it (the package test runs with the others).
package=(dpkg-dev file lintian desktop-file-utils appstream)
case "${1:-run}" in
test | package) wanted+=("${package[@]}") ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
