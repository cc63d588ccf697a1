#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each for FUZZ_SECONDS (default 600) on a seed corpus made from the sample records and records
# written by scpgen. Every input that crashes or times out is kept under fuzz/regressions/TARGET/,
# where the test suite replays it.
#
#   bash scripts/fuzz.sh [TARGET...]      targets: scp_record_fuzz scp_items_fuzz (default both)
#   FUZZ_SECONDS=1800 FUZZ_NICE=19 bash scripts/fuzz.sh scp_record_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quillon_packages+=(clang libclang-rt-14-dev)
quillon_install_deps

seconds=${FUZZ_SECONDS:-600}
niceness=${FUZZ_NICE:-10}
build=build-fuzz
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(scp_record_fuzz scp_items_fuzz)
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLON_LIBFUZZER=ON -DQUILLON_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
nice -n "$niceness" cmake --build "$build" -j 2 --target "${targets[@]}" scpgen

# Seeds: the bundled and shared sample records and a record for every coding choice scpgen has.
seeds="$build/seeds"
mkdir -p "$seeds"
cp samples/*.scp "$seeds/"
if [ -d ../shared/samples ]; then
  cp ../shared/samples/*.scp "$seeds/" 2>/dev/null || true
fi
variants=(
  "default|" "raw|--raw" "first_differences|--differences 1" "no_differences|--differences 0"
  "factor4|--decimation 4" "derived_zones|--no-protected-areas" "other_types|--other-type-every 3"
  "lossless|--no-reference-beats --decimation 1" "two_leads|--leads I,II --raw"
)
for variant in "${variants[@]}"; do
  name=${variant%%|*}
  read -r -a options <<<"${variant#*|}"
  "$build/tools/scpgen/scpgen" "$seeds/gen_$name.scp" "${options[@]}"
done

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  regressions="fuzz/regressions/$target"
  mkdir -p "$corpus" "$regressions"
  echo "== $target: $seconds s, corpus $corpus, findings in $regressions/"
  # Item sections are searched once per tag; inputs of a few kilobytes reach every item path
  # without making each run walk tens of thousands of items.
  limits=()
  if [ "$target" = scp_items_fuzz ]; then
    limits=(-max_len=4096)
  fi
  # Fork mode keeps fuzzing after a finding; each finding is written to the regressions folder.
  nice -n "$niceness" "$build/fuzz/$target" "${limits[@]}" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
    -ignore_ooms=1 -artifact_prefix="$regressions/" -print_final_stats=1 \
    "$corpus" "$seeds" 2>&1 | tee "$build/$target.log" | grep -E '^(#|==|INFO: fuzz|stat::)' || true
  echo "== $target: done; last status line:"
  grep -E '^#[0-9]+' "$build/$target.log" | tail -n 1 || true
done
