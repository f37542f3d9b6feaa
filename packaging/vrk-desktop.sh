#!/bin/sh
# Starts vrk from the desktop menu (vrk.desktop) in the user's own folder,
# ~/.local/share/vrk ($XDG_DATA_HOME/vrk when that is set), created on the
# first start. vrk keeps vrk.ini and its language files (pol.lng, ang.lng,
# rus.lng) in its working folder, so they always land there and survive.
#
# The optional file "ports" in that folder names the devices of the ports,
# one "COMn=DEVICE" line each (COM1=/dev/ttyUSB0), as VRK_COMn does in a
# shell; a VRK_COMn already in the environment wins.
set -e
case "${XDG_DATA_HOME:-}" in
/*) data=$XDG_DATA_HOME ;;
*) data=${HOME:?HOME is not set}/.local/share ;;
esac
dir=$data/vrk
mkdir -p "$dir"
cd "$dir"
if [ -r ports ]; then
    while IFS= read -r line || [ -n "$line" ]; do
        line=$(printf '%s' "$line" | tr -d '\r')
        case "$line" in
        COM[1-9]=/*)
            name=VRK_${line%%=*}
            if [ -z "$(printenv "$name" || true)" ]; then
                export "$name=${line#*=}"
            fi
            ;;
        esac
    done <ports
fi
# The program itself is in ../../bin as seen from this launcher (/usr/libexec/vrk).
exec "$(dirname "$0")/../../bin/vrk"
