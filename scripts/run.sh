#!/usr/bin/env bash
# Installs what is missing, builds Quillon and opens the bundled sample record in the viewer.
# Without a display it says so and renders the record's two printed pages to PDF instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quillon_install_deps

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

record=samples/demo.scp
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/quillon "$record"
fi

echo "No display to open the viewer on (neither DISPLAY nor WAYLAND_DISPLAY is set)."
echo "Rendering the two printed pages of $record instead:"
for page in rhythm average; do
  out=build/demo-$page.pdf
  build/tools/scptool/scptool render "$record" --page "$page" --out "$out"
  echo "  $out"
done
