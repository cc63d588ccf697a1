#!/usr/bin/env bash
# Installs what is missing, builds Quillon and runs the main job on the bundled sample record.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quillon_install_deps

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

record=samples/demo.scp
[ -f "$record" ] || record=../shared/samples/Example.scp
build/tools/scptool/scptool info "$record"
