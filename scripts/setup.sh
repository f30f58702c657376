#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds into build/.
# Packages already present are skipped; sudo is used only when not running as root.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake make pkg-config
    qtbase5-dev libqt5serialport5-dev libqcustomplot-dev
    socat xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_EXTRA_ARGS:-}
cmake --build build -j"$(nproc)"
