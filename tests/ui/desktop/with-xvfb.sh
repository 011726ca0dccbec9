#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs a command against a private Xvfb server (1920x1080, or --size WxH) and stops the server
# afterwards. With --compositor, xcompmgr runs too, so translucent windows are really translucent.
# --two-monitors runs Xorg's dummy driver instead (Xvfb lists no monitor xrandr adds): a 3200x1080
# output split by xrandr into "left" (1920x1080, primary) and "right" (1280x1024), two Qt screens.
set -euo pipefail

compositor=0
size=1920x1080
monitors=1
while [ $# -gt 0 ]; do
    case "$1" in
        --compositor) compositor=1; shift ;;
        --size) size="$2"; shift 2 ;;
        --two-monitors) monitors=2; shift ;;
        *) break ;;
    esac
done
command -v Xvfb >/dev/null || { echo "with-xvfb: Xvfb is not installed (package xvfb)" >&2; exit 1; }

# Xvfb picks a free display number itself (-displayfd), under its lock files, so tests started
# at the same moment never share a server; it writes the number once it accepts connections.
dir="$(mktemp -d)"
pids=()
cleanup() {
    [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
# A home of its own: what the panel keeps (settings, workouts) goes with the test.
export HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share"
mkdir -p "$HOME"
if [ "$monitors" = 2 ]; then
    # Its configuration only (xorg-two-monitors/), never the machine's; no VT switch.
    Xorg -config /dev/null -configdir "$(cd "$(dirname "$0")" && pwd)/xorg-two-monitors" \
        -logfile "$dir/Xorg.log" -nolisten tcp -noreset -sharevts -novtswitch -displayfd 3 \
        3>"$dir/display" >/dev/null 2>&1 &
else
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
fi
pids=("$!")
for _ in $(seq 1 600); do
    [ -s "$dir/display" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.05
done
[ -s "$dir/display" ] || { echo "with-xvfb: the X server did not start" >&2; exit 1; }

export DISPLAY=":$(head -n 1 "$dir/display")"
if [ "$monitors" = 2 ]; then
    xrandr --setmonitor '*left' 1920/508x1080/286+0+0 DUMMY0 >/dev/null
    xrandr --setmonitor right 1280/338x1024/270+1920+0 none >/dev/null
fi
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# No accessibility bus: the GTK window managers and Qt would otherwise have one started on their
# session bus, which outlives the test.
export NO_AT_BRIDGE=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=0

if [ "$compositor" = 1 ]; then
    xcompmgr >/dev/null 2>&1 &
    pids+=("$!")
    sleep 0.3
fi

"$@"
