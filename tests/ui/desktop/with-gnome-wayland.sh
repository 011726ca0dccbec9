#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs a command inside a private headless GNOME Shell on Wayland (one 1920x1080 monitor), with
# session and system buses of its own, and ends all of it afterwards. The command reaches the
# shell's XWayland through DISPLAY and XAUTHORITY, the shell itself through WAYLAND_DISPLAY and
# the session bus. Exits 77 (CTest's "skipped") when gnome-shell is not installed.
set -euo pipefail
command -v gnome-shell >/dev/null || { echo "with-gnome-wayland: gnome-shell is not installed" >&2; exit 77; }

# Everything runs in process groups of its own, ended as a whole: the shell's XWayland and
# whatever a bus starts included.
dir="$(mktemp -d)"
groups=()
cleanup() {
    for signal in TERM KILL; do
        for group in "${groups[@]}"; do kill -"$signal" -- "-$group" 2>/dev/null || true; done
        [ "$signal" = TERM ] && sleep 0.5
    done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$dir" # mktemp made it private (0700), as the shell wants
# A home of its own: what the panel keeps (settings, workouts) goes with the test.
export HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share"
mkdir -p "$HOME"
for bus in system session; do
    cat >"$dir/$bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:path=$dir/$bus</listen><policy context="default">
<allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy></busconfig>
CONF
    setsid dbus-daemon --nofork --nopidfile --config-file="$dir/$bus.conf" 2>/dev/null &
    groups+=("$!")
done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/system" DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/session"
export WAYLAND_DISPLAY=wayland-tallyfin XDG_SESSION_TYPE=wayland NO_AT_BRIDGE=1
for _ in $(seq 1 100); do [ -S "$dir/system" ] && [ -S "$dir/session" ] && break; sleep 0.05; done

# The shell, once it has started: about one start in twenty under load it never does. While it
# starts, it forks to run the input-method daemon and runs script code in the child before the
# exec; that child can hang on a lock another thread held at the fork, and the shell, waiting for
# it, with it (and XWayland never answers). Such a start is ended and the shell started again.
started=""
for attempt in 1 2 3; do
    : >"$dir/shell.log"
    setsid gnome-shell --headless --wayland --wayland-display "$WAYLAND_DISPLAY" \
        --virtual-monitor 1920x1080 >>"$dir/shell.log" 2>&1 &
    shell_group=$!
    groups+=("$shell_group")
    for _ in $(seq 1 600); do
        grep -q "GNOME Shell started" "$dir/shell.log" && { started=yes; break; }
        kill -0 "$shell_group" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$started" ] && break
    echo "with-gnome-wayland: the shell did not start (try $attempt of 3)" >&2
    kill -KILL -- "-$shell_group" 2>/dev/null || true
    wait "$shell_group" 2>/dev/null || true
    rm -f "$dir/$WAYLAND_DISPLAY" "$dir/$WAYLAND_DISPLAY.lock" "$dir"/.mutter-Xwaylandauth.*
done
[ -n "$started" ] || { cat "$dir/shell.log" >&2; exit 1; }

# XWayland takes the first free display number; its authority file is the shell's.
display=""
for _ in $(seq 1 600); do
    display="$(pgrep -a -g "$shell_group" -x Xwayland | awk '{ print $3 }' || true)"
    [ -n "$display" ] && [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.05
done
[ -n "$display" ] || { cat "$dir/shell.log" >&2; echo "with-gnome-wayland: no XWayland" >&2; exit 1; }
export DISPLAY="$display" XAUTHORITY="$(echo "$dir"/.mutter-Xwaylandauth.*)" QT_QPA_PLATFORM=xcb

# A command still running after $watchdog seconds shows what it was doing, and what the shell
# said, before it is ended (CTest's own timeout would end it without a word).
watchdog="${TALLYFIN_WATCHDOG:-180}"
"$@" &
command_pid=$!
for _ in $(seq 1 $((watchdog * 10))); do
    kill -0 "$command_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$command_pid" 2>/dev/null; then
    echo "with-gnome-wayland: still running after ${watchdog} s: $*" >&2
    ps -o pid,pgid,stat,wchan:20,etime,args -g "$(IFS=,; echo "${groups[*]}")" >&2 || true
    if command -v gdb >/dev/null; then
        gdb -p "$command_pid" -batch -ex "thread apply all bt 12" 2>&1 | grep -E '^(#|Thread)' >&2 || true
    fi
    tail -n 40 "$dir/shell.log" >&2
    kill -KILL "$command_pid"
fi
wait "$command_pid"
