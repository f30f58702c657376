#!/usr/bin/env bash
# The demo: sets up and builds if needed, joins a simulated device to the program through a
# socat pseudo-terminal pair, and starts the program with that line first in its port list.
#   scripts/run.sh viewer_ext [simulator options...]
#   scripts/run.sh viewer     [simulator options...]
# Simulator options (see build/tools/vandor-sim --help), e.g. --rate max --bad-crc 0.05.
# Closing the window stops the simulator and socat.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-viewer_ext}
[ $# -gt 0 ] && shift
case "$program" in
    viewer_ext|viewer) ;;
    *) echo "usage: scripts/run.sh [viewer_ext|viewer] [simulator options...]" >&2; exit 2 ;;
esac

scripts/setup.sh

line_dir=$(mktemp -d /tmp/vandor-demo.XXXXXX)
device_end="$line_dir/device"
program_end="$line_dir/$program-line"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$line_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

socat "pty,raw,echo=0,link=$device_end" "pty,raw,echo=0,link=$program_end" &
pids+=($!)
for _ in $(seq 100); do
    [ -e "$device_end" ] && [ -e "$program_end" ] && break
    sleep 0.05
done
if ! [ -e "$device_end" ] || ! [ -e "$program_end" ]; then
    echo "socat did not make the virtual line" >&2
    exit 1
fi

device_arg=$program
build/tools/vandor-sim --device "$device_arg" --port "$device_end" "$@" &
pids+=($!)

echo "Simulated device on $program_end: press the connect button in the window."
export VIEWER_EXTRA_PORTS="$program_end${VIEWER_EXTRA_PORTS:+:$VIEWER_EXTRA_PORTS}"
binary="build/$program/$program"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    "$binary"
else
    echo "No display: running $program under xvfb-run (nothing to see here; give it a display to use it)."
    xvfb-run -a "$binary"
fi
