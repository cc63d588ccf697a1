#!/usr/bin/env bash
# Plants each one-line fault kept under tests/mutants/ in turn, rebuilds the tests it names in the
# plain build, runs them and puts the source back, then prints which faults the tests caught
# (killed) and which they missed (survived). Not part of the test command: a measure of the tests.
#
# A fault file (*.mutant) holds lines of "key: value":
#   file:    the source file, from the repository's top
#   targets: the build targets to rebuild (the tests that can see the fault)
#   tests:   a ctest -R pattern choosing the tests to run
#   from:    the line as it stands (matched with its indentation ignored)
#   to:      the line that replaces it (given the original's indentation)
# A fault whose line is not found exactly once is stale: the code moved on and the fault must be
# written again. Lines starting with '#' describe the fault.
#
# Usage: scripts/mutants.sh [FAULT.mutant ...]   (all of tests/mutants/ without arguments)
# BUILD_DIR chooses the build directory (default: build); it must be configured already.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export CCACHE_DIR=${CCACHE_DIR:-/work/.ccache} CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work}
export QT_QPA_PLATFORM=offscreen

if [ $# -eq 0 ]; then
  set -- "$root"/tests/mutants/*.mutant
fi

saved=$(mktemp -d)
planted=""  # the source file holding a fault right now, restored from $saved/original
restore() {
  if [ -n "$planted" ]; then
    # A plain copy gives the file a new time, so the next build compiles it again.
    cp "$saved/original" "$root/$planted"
    planted=""
  fi
}
trap 'restore; rm -rf "$saved"' EXIT
trap 'echo "interrupted: source restored" >&2; exit 130' INT TERM

# The value of `key` in a fault file, as written after "key: ".
field() {
  sed -n "s/^$2: //p" "$1" | head -n 1
}

# Replaces the one line of $1 whose content is $2 with $3 (keeping its indentation). Exits 3 when
# the line is absent or there more than once.
plant() {
  python3 - "$@" <<'EOF'
import sys
path, original, replacement = sys.argv[1], sys.argv[2].strip(), sys.argv[3].strip()
with open(path, encoding="utf-8") as source:
    lines = source.read().split("\n")
places = [i for i, line in enumerate(lines) if line.strip() == original]
if len(places) != 1:
    sys.exit(3)
line = lines[places[0]]
lines[places[0]] = line[: len(line) - len(line.lstrip())] + replacement
with open(path, "w", encoding="utf-8") as source:
    source.write("\n".join(lines))
EOF
}

killed=0
total=0
built=""  # every target built with a fault in it
survivors=()
others=()
for fault in "$@"; do
  name=$(basename "$fault" .mutant)
  file=$(field "$fault" file)
  targets=$(field "$fault" targets)
  tests=$(field "$fault" tests)
  from=$(field "$fault" from)
  to=$(field "$fault" to)
  total=$((total + 1))
  cp "$root/$file" "$saved/original"
  planted=$file
  plant "$root/$file" "$from" "$to"
  case $? in
    0) ;;
    3)
      restore
      echo "stale     $name: its line is not in $file exactly once"
      others+=("$name (stale)")
      continue
      ;;
    *)
      restore
      echo "error     $name: could not be planted"
      others+=("$name (error)")
      continue
      ;;
  esac
  built="$built $targets"
  # shellcheck disable=SC2086  # targets are a list
  if ! cmake --build "$build" -j 2 --target $targets >"$saved/build.log" 2>&1; then
    restore
    echo "unbuilt   $name: the fault does not compile (see its 'to' line)"
    others+=("$name (does not compile)")
    continue
  fi
  if ctest --test-dir "$build" -R "$tests" -j 2 --timeout 300 >"$saved/test.log" 2>&1; then
    echo "survived  $name"
    survivors+=("$name")
  else
    failed=$(grep -c "\*\*\*Failed\|\*\*\*Exception\|\*\*\*Timeout\|Not Run" "$saved/test.log")
    echo "killed    $name ($failed failing)"
    killed=$((killed + 1))
  fi
  restore
done

# Rebuild what was built with a fault, so a test run without a build meets none of them.
if [ -n "$built" ]; then
  echo "rebuilding the targets built with a fault..."
  # shellcheck disable=SC2086
  cmake --build "$build" -j 2 --target $(tr ' ' '\n' <<<"$built" | sort -u) >/dev/null 2>&1 ||
    echo "the rebuild failed; build again before testing" >&2
fi

echo "killed $killed of $total"
for name in "${survivors[@]}"; do
  echo "  survived: $name"
done
for name in "${others[@]}"; do
  echo "  not run: $name"
done
