#!/usr/bin/env bash
# Runs a command against a private Xvfb server (1920x1080) and stops the server afterwards.
# With --compositor, xcompmgr runs too, so translucent windows are really translucent.
set -euo pipefail

compositor=0
if [ "${1:-}" = "--compositor" ]; then
    compositor=1
    shift
fi
command -v Xvfb >/dev/null || { echo "with-xvfb: Xvfb is not installed (package xvfb)" >&2; exit 1; }

display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || { echo "with-xvfb: no free display number" >&2; exit 1; }

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids=("$xvfb")
cleanup() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT

for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.05
done
export DISPLAY="$display"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

if [ "$compositor" = 1 ]; then
    xcompmgr >/dev/null 2>&1 &
    pids+=("$!")
    sleep 0.3
fi

"$@"
