#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs the overlay against the fake bluetoothd of the tests (a private system bus, the real
# QtBluetooth backend) and reports the CPU time and peak memory of the overlay's own process.
#
#   bench/ui/overlay-bluez.sh crowd|fast [PROGRAM] [SECONDS]
#
# crowd: the chooser scanning among 1,000 fitness machines and 1,000 other devices whose signal
#        strengths change every 2 s (20 s by default).
# fast:  connected to one machine that notifies 100 times a second (30 s by default).
# PROGRAM defaults to the release build's tallyfin. Without DISPLAY it renders offscreen.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
mode="${1:-}"
program="${2:-$here/build/release/src/ui/tallyfin}"
case "$mode" in
crowd) seconds="${3:-20}" fake=(--crowd 1000,1000) connect=() ;;
fast) seconds="${3:-30}" fake=(--crowd 1,0 --notify-ms 10) connect=(--connect "Crowd Bike 0001") ;;
*) echo "usage: overlay-bluez.sh crowd|fast [PROGRAM] [SECONDS]" >&2; exit 2 ;;
esac

[ -x "$program" ] || { echo "overlay-bluez: $program is not built (cmake --build --preset release --target tallyfin)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "overlay-bluez: needs GNU time (package time)" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The screenshot ends the run after the given time, like a user quitting.
/usr/bin/python3 "$here/tests/bluetooth/qt/with_fake_bluez.py" "${fake[@]}" -- \
    /usr/bin/time -f '%U %S %M %e' -o "$work/time" \
    "$program" "${connect[@]}" --screenshot "$work/last.png" --after "$((seconds * 1000))" \
    >"$work/log" 2>&1 || { tail -20 "$work/log" >&2; exit 1; }
read -r user system peak elapsed <"$work/time"
cpu="$(echo "$user + $system" | bc -l)"
echo "mode:            $mode (${QT_QPA_PLATFORM:-xcb})"
echo "wall time:       ${elapsed} s"
echo "CPU time:        ${cpu} s (user ${user} s, system ${system} s)"
echo "CPU share:       $(echo "scale=2; 100 * $cpu / $elapsed" | bc -l) % of one core"
echo "peak memory:     $((peak / 1024)) MiB (maximum resident set)"
