#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# One overlay per user and display, with real processes: a second start brings the first one's
# panel forward and ends with 0; a socket left by a killed overlay is taken over.
set -u
program=$1
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen
trap 'kill -KILL $pids 2>/dev/null; rm -rf "$runtime"' EXIT
fail() { echo "single-instance: $*" >&2; tail -n 5 "$runtime"/*.err >&2; exit 1; }

# Starts an overlay in the background and gives it time to listen.
start_overlay() {
    "$program" --demo 2>"$runtime/$1.err" &
    last=$! pids="${pids:-} $!"
    for _ in $(seq 100); do ls "$runtime"/tallyfin-*.socket >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 2
    kill -0 "$last" 2>/dev/null || fail "the overlay $1 did not start"
}
second_start() {
    timeout 20 "$program" --demo 2>"$runtime/$1.err" || fail "the start $1 did not end with 0"
    grep -q "already running" "$runtime/$1.err" || fail "the start $1 found no overlay"
}

start_overlay first
second_start second
grep -q "command from a second start: activate" "$runtime/first.err" || fail "no activate taken"
kill -KILL "$last"
start_overlay third
grep -q "removing the stale single-instance socket" "$runtime/third.err" || fail "stale socket kept"
second_start fourth
echo "single-instance: ok"
