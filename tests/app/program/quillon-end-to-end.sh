#!/usr/bin/env bash
# Starts quillon on a copy of a record under Xvfb, waits for its main window, leaves through the
# File menu from the keyboard (Alt+F, then E for "&Exit") and checks the exit status and that the
# record is byte for byte as it was. Prints the time from start to the first visible window.
# Usage: quillon-end-to-end.sh QUILLON RECORD
set -euo pipefail
quillon=$1
record=$2
for tool in xvfb-run xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed" >&2
    exit 77
  fi
done

if [ -z "${QUILLON_E2E_IN_XVFB:-}" ]; then
  export QUILLON_E2E_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$record" "$work/record.scp"
export XDG_CONFIG_HOME="$work/config"  # a profile of its own, not the user's
unset QT_QPA_PLATFORM

start=$(date +%s%N)
"$quillon" "$work/record.scp" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quillon' | head -n 1)
shown=$(date +%s%N)
echo "first visible window after $(((shown - start) / 1000000)) ms"

xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key alt+f
sleep 0.5
xdotool key e

status=0
timeout 30 tail --pid="$pid" -f /dev/null || { echo "quillon did not end" >&2; kill "$pid"; exit 1; }
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "quillon ended with status $status" >&2
  exit 1
fi
cmp "$record" "$work/record.scp"
echo "ended with status 0, record unchanged"
