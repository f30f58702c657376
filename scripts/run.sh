#!/usr/bin/env bash
# Sets up and builds if needed, then starts one of the programs: scripts/run.sh viewer_ext
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-viewer_ext}
case "$program" in
    viewer_ext|viewer) ;;
    *) echo "usage: scripts/run.sh [viewer_ext|viewer]" >&2; exit 2 ;;
esac

scripts/setup.sh
binary="build/$program/$program"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$binary"
else
    echo "No display: running $program under xvfb-run."
    exec xvfb-run -a "$binary"
fi
