#!/bin/sh
# Times scptool convert on a batch of copies of the demo record, one worker against several, and
# prints the records per second of each and their ratio, and the seconds one record alone takes:
# the start-up every run pays once, which more workers cannot shorten.
# Usage: bench/convert-batch.sh BUILD_DIR [COPIES] [FORMAT] [JOBS]
set -eu
build=${1:?usage: convert-batch.sh BUILD_DIR [COPIES] [FORMAT] [JOBS]}
copies=${2:-100}
format=${3:-dicom}
jobs=${4:-2}
here=$(cd "$(dirname "$0")/.." && pwd)
scptool="$build/tools/scptool/scptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
i=1
while [ "$i" -le "$copies" ]; do
  cp "$here/samples/demo.scp" "$work/in/demo$i.scp"
  i=$((i + 1))
done

# Prints the records per second of one run with the given worker count.
rate() {
  rm -rf "$work/out"
  start=$(date +%s.%N)
  "$scptool" convert "$work"/in/*.scp --to "$format" -o "$work/out" -j "$1"
  end=$(date +%s.%N)
  echo "$copies $start $end" | awk '{ printf "%.1f", $1 / ($3 - $2) }'
}

# Seconds of one run converting only the first copy.
alone() {
  rm -rf "$work/out"
  start=$(date +%s.%N)
  "$scptool" convert "$work/in/demo1.scp" --to "$format" -o "$work/out" -j 1
  end=$(date +%s.%N)
  echo "$start $end" | awk '{ printf "%.3f", $2 - $1 }'
}

one=$(rate 1)
many=$(rate "$jobs")
echo "$copies records to $format: -j 1 $one records/s, -j $jobs $many records/s," \
  "ratio $(echo "$many $one" | awk '{ printf "%.2f", $1 / $2 }'); one record alone $(alone) s"
