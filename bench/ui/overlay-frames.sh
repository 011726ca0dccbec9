#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Measures what the overlay costs a machine, beside a bare Qt Quick window, in one run on a
# private Xvfb server (1920x1080) with a compositor (xcompmgr):
#
#   bare     the bare window (bench_bare_window), the yardstick
#   chooser  the chooser scanning and finding nothing (the 30 Hz wave), over the fake bluetoothd
#   on       connected to the demo elliptical (4 values a second), size large, value animation on
#   off      the same with value animation off
#   fast     connected to a machine over the fake bluetoothd that notifies 100 times a second
#
# each with Qt Quick's OpenGL renderer (Mesa's llvmpipe here) and with its software renderer.
# The programs measure themselves (TALLYFIN_FRAME_STATS): CPU time of the whole process (all its
# threads, not wall time) over SECONDS after a warm-up, frames shown per second, peak resident
# memory and the delay from a value reaching the central to the first frame drawn after the
# views took it (median and 99th percentile).
#
#   bench/ui/overlay-frames.sh [--repeat N] [--seconds S] [--renderers "opengl software"] [CASE...]
#
# Cases default to "bare chooser on off"; N to 1; S to 30. Needs a release build of tallyfin and
# bench_bare_window.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${TALLYFIN_BUILD:-$here/build/release}"

if [ -z "${TALLYFIN_FRAMES_INNER:-}" ]; then
    export TALLYFIN_FRAMES_INNER=1
    exec "$here/tests/ui/desktop/with-xvfb.sh" --compositor "$0" "$@"
fi

repeat=1
seconds=30
renderers="opengl software"
while [ $# -gt 0 ]; do
    case "$1" in
    --repeat) repeat="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --renderers) renderers="$2"; shift 2 ;;
    -*) echo "overlay-frames: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(bare chooser on off)

program="$build/src/ui/tallyfin"
bare="$build/bench/ui/bench_bare_window"
fake="$here/tests/bluetooth/qt/with_fake_bluez.py"
for binary in "$program" "$bare"; do
    [ -x "$binary" ] || { echo "overlay-frames: $binary is not built (cmake --build --preset release --target tallyfin bench_bare_window)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
warmup_ms=5000
export TALLYFIN_FRAME_STATS_WINDOW="$warmup_ms,$seconds"
# The screenshot ends the overlay's runs a moment after the figures are written.
end_ms=$((warmup_ms + seconds * 1000 + 1000))

# The preferences of each run: its own configuration folder.
settings() {
    mkdir -p "$work/config-$1/Tallyfin"
    printf '[General]\nanimateMetrics=%s\n' "$2" >"$work/config-$1/Tallyfin/Tallyfin.conf"
    echo "$work/config-$1"
}

run_case() {
    local name="$1" renderer="$2" stats="$3"
    local -a env=(env "TALLYFIN_FRAME_STATS=$stats")
    case "$renderer" in
    opengl) env+=(QSG_RHI_BACKEND=opengl) ;;
    software) env+=(QT_QUICK_BACKEND=software) ;;
    esac
    local shot=(--screenshot "$work/$name-$renderer.png" --after "$end_ms")
    case "$name" in
    bare) "${env[@]}" "$bare" ;;
    chooser) "${env[@]}" XDG_CONFIG_HOME="$(settings on true)" \
        /usr/bin/python3 "$fake" --bluez fake-empty -- "$program" "${shot[@]}" ;;
    on) "${env[@]}" XDG_CONFIG_HOME="$(settings on true)" \
        "$program" --demo --connect Elliptical --size large "${shot[@]}" ;;
    off) "${env[@]}" XDG_CONFIG_HOME="$(settings off false)" \
        "$program" --demo --connect Elliptical --size large "${shot[@]}" ;;
    fast) "${env[@]}" XDG_CONFIG_HOME="$(settings on true)" \
        /usr/bin/python3 "$fake" --crowd 1,0 --notify-ms 10 -- \
        "$program" --connect "Crowd Bike 0001" --size large "${shot[@]}" ;;
    *) echo "overlay-frames: unknown case $name" >&2; return 2 ;;
    esac
}

figure() { awk -v key="$1" '$1 == key { print $2 }' "$2"; }

echo "Xvfb 1920x1080 with xcompmgr; $seconds s measured after ${warmup_ms} ms; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %-9s %4s %8s %8s %9s %7s %7s %9s %9s\n' case renderer run "cpu %" "frames/s" "peak MiB" values drawn "median ms" "p99 ms"
for name in "${cases[@]}"; do
    for renderer in $renderers; do
        for ((i = 1; i <= repeat; i++)); do
            stats="$work/$name-$renderer-$i.stats"
            if ! run_case "$name" "$renderer" "$stats" >"$work/log" 2>&1 || [ ! -s "$stats" ]; then
                echo "overlay-frames: the $name case ($renderer) failed:" >&2
                tail -20 "$work/log" >&2
                exit 1
            fi
            printf '%-8s %-9s %4s %8.2f %8.1f %9.1f %7s %7s %9.1f %9.1f\n' "$name" "$renderer" "$i" \
                "$(figure cpu_percent "$stats")" "$(figure frames_per_second "$stats")" \
                "$(figure peak_rss_mib "$stats")" "$(figure values "$stats")" \
                "$(figure values_drawn "$stats")" "$(figure value_to_frame_median_ms "$stats")" \
                "$(figure value_to_frame_p99_ms "$stats")"
        done
    done
done
# Keep the last pictures for a look, when asked.
if [ -n "${TALLYFIN_FRAMES_PICTURES:-}" ]; then
    mkdir -p "$TALLYFIN_FRAMES_PICTURES"
    cp "$work"/*.png "$TALLYFIN_FRAMES_PICTURES"/ 2>/dev/null || true
fi
