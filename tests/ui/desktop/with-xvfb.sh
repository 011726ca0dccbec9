#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs a command against a private Xvfb server (1920x1080, or --size WxH) and stops the server
# afterwards. With --compositor, xcompmgr runs too, so translucent windows are really translucent.
# With --two-monitors the server is Xorg with the dummy driver instead (Xvfb lists no monitor
# added by xrandr): one 3200x1080 output split by `xrandr --setmonitor` into "left", the
# 1920x1080 primary, and "right", 1280x1024 beside it, which Qt reports as two screens. (One
# wide output, not the frame buffer alone: the pointer cannot leave what outputs show.)
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
if [ "$monitors" = 2 ]; then
    [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || {
        echo "with-xvfb: Xorg's dummy driver is missing (package xserver-xorg-video-dummy)" >&2
        exit 1
    }
else
    command -v Xvfb >/dev/null || { echo "with-xvfb: Xvfb is not installed (package xvfb)" >&2; exit 1; }
fi

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
if [ "$monitors" = 2 ]; then
    # No input devices (xdotool's XTEST ones are always there), no VT switch, and none of the
    # machine's own configuration.
    mkdir "$dir/xorg.conf.d"
    echo "# none: everything is in ../xorg.conf" >"$dir/xorg.conf.d/00-empty.conf"
    cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "3200x1080" 108.90 3200 3232 3264 3300 1080 1083 1086 1100
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "3200x1080"
        Virtual 3200 1080
    EndSubSection
EndSection
CONF
    Xorg -config "$dir/xorg.conf" -configdir "$dir/xorg.conf.d" -logfile "$dir/Xorg.log" \
        -nolisten tcp -noreset -sharevts -novtswitch -displayfd 3 3>"$dir/display" >/dev/null 2>&1 &
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
