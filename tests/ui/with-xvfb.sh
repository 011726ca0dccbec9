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

# Another test may take the same free-looking number at the same moment: then Xvfb exits and the
# next number is tried.
display=""
pids=()
cleanup() { [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null || true; }
trap cleanup EXIT
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        pids=("$xvfb")
        break
    fi
    wait "$xvfb" 2>/dev/null || true
done
[ -n "$display" ] || { echo "with-xvfb: could not start Xvfb on any display from :90 to :140" >&2; exit 1; }

export DISPLAY="$display"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

if [ "$compositor" = 1 ]; then
    xcompmgr >/dev/null 2>&1 &
    pids+=("$!")
    sleep 0.3
fi

"$@"
