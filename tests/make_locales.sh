#!/bin/sh
# Makes the locales named after the folder $1 (for example de_DE.UTF-8) from the sources of
# Debian's locales package, into that folder, for use through LOCPATH: no root needed.
set -eu
dir=$1
shift
mkdir -p "$dir"
for locale in "$@"; do
    [ -d "$dir/$locale" ] || localedef -i "${locale%.*}" -f "${locale#*.}" "$dir/$locale"
done
