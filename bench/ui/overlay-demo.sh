#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs the overlay connected to a simulated machine for a while and reports the CPU time and the
# peak memory it used: the cost of showing live tiles over the power chart.
#
#   bench/ui/overlay-demo.sh [PROGRAM] [SECONDS] [MACHINE]
#
# PROGRAM defaults to the release build's tallyfin, SECONDS to 60, MACHINE (part of a simulated
# machine's name) to "Bike". Without DISPLAY it renders offscreen.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
program="${1:-$here/build/release/src/ui/tallyfin}"
seconds="${2:-60}"
machine="${3:-Bike}"

[ -x "$program" ] || { echo "overlay-demo: $program is not built (cmake --build --preset release --target tallyfin)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "overlay-demo: needs GNU time (package time)" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
report="$work/time"
# The screenshot ends the run after the given time, like a user closing the program.
/usr/bin/time -f '%U %S %M %e' -o "$report" \
    "$program" --demo --connect "$machine" --screenshot "$work/last.png" \
    --after "$((seconds * 1000))" >/dev/null 2>&1
read -r user system peak elapsed <"$report"
cpu="$(echo "$user + $system" | bc -l)"
share="$(echo "scale=2; 100 * $cpu / $elapsed" | bc -l)"
echo "platform:        ${QT_QPA_PLATFORM:-xcb}"
echo "wall time:       ${elapsed} s"
echo "CPU time:        ${cpu} s (user ${user} s, system ${system} s)"
echo "CPU share:       ${share} % of one core"
echo "peak memory:     $((peak / 1024)) MiB (maximum resident set)"
