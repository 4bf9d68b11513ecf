#!/usr/bin/env bash
# Fails on an #include "..." of the program that goes up the layers or across to another folder
# of its own layer, and on a circle of includes between the files below the windows (a file and
# its header counting as one), which are to read bottom-up; windows of one folder may reach one
# another (the audio menu opens the picker, which hands its choice back). The layers, from the
# bottom: settings/ and sound/ (the sound engine); toolkit/; window_set/; the parts the windows
# use (the Morse, the speech, the rig link); the windows the main window opens; main_window/; the
# entry (app/). Tests, fuzz targets and the benchmark may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

layer() {
    case "$1" in
    settings/* | sound/*) echo 1 ;;
    toolkit/*) echo 2 ;;
    window_set/*) echo 3 ;;
    morse/* | rig/* | speech/*) echo 4 ;;
    alert_window/* | callsign_editor/* | audio/* | station/*) echo 5 ;;
    main_window/*) echo 6 ;;
    app/*) echo 7 ;;
    *) echo 8 ;;
    esac
}

status=0
edges=""
while IFS=: read -r file line; do
    included=${line#*\"} included=${included%\"}
    [[ $included == */* ]] || included=$(dirname "$file")/$included
    (($(layer "$file") > 4)) || edges+="${file%.*} ${included%.*}"$'\n'
    if [[ $(dirname "$file") != $(dirname "$included") ]] &&
        (($(layer "$included") >= $(layer "$file"))); then
        echo "FAIL: $file includes $included, which is not in a layer below it"
        status=1
    fi
done < <(git -c safe.directory="$PWD" grep '^#include "' -- '*.cpp' '*.h' \
    ':!tests' ':!fuzz' ':!bench')
if ! circle=$(tsort <<<"$edges" 2>&1 >/dev/null); then
    echo "FAIL: includes close a circle: $circle"
    status=1
fi
exit $status
