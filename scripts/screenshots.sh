#!/usr/bin/env bash
# Screenshots of both programs' real windows under Xvfb with simulated live data: docs/*.png
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null

line_dir=$(mktemp -d /tmp/vandor-shots.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$line_dir"
}
trap cleanup EXIT

shoot() {
    local program=$1; shift
    local device="$line_dir/$program-device" port="$line_dir/$program-line"
    socat "pty,raw,echo=0,link=$device" "pty,raw,echo=0,link=$port" &
    pids+=($!)
    for _ in $(seq 100); do [ -e "$device" ] && [ -e "$port" ] && break; sleep 0.05; done
    build/tools/vandor-sim --device "$program" --port "$device" "$@" 2>/dev/null &
    pids+=($!)
    VIEWER_EXTRA_PORTS="$port" xvfb-run -a -s "-screen 0 1280x1024x24" \
        "build/tools/shoot_$program" "docs/$program.png" 12
}

mkdir -p docs
shoot viewer_ext --rate 20 --objects 4 --bad-crc 0.003
shoot viewer --rate 80
