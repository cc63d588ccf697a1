#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs from it: both
# programs, a valid .desktop entry, the SCP-ECG MIME type (by extension and by the "SCPECG" mark),
# the icons and the man pages.
#   InstallTest.sh BUILD_DIR HAS_VIEWER   (HAS_VIEWER 1 when the build makes the quillon program)
set -euo pipefail
build_dir=$1
has_viewer=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

for file in bin/scptool share/applications/quillon.desktop share/mime/packages/quillon.xml \
            share/man/man1/quillon.1 share/man/man1/scptool.1; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
if [ "$has_viewer" = 1 ]; then
  [ -x "$prefix/bin/quillon" ] || fail "bin/quillon was not installed"
fi
for size in 16 32 48 256; do
  for icon in apps/quillon.png mimetypes/application-x-scp-ecg.png; do
    [ -f "$prefix/share/icons/hicolor/${size}x${size}/$icon" ] || fail "no ${size}px $icon"
  done
done

grep -q '^Exec=quillon %f$' "$prefix/share/applications/quillon.desktop" || fail "Exec line"
desktop-file-validate "$prefix/share/applications/quillon.desktop" || fail "desktop-file-validate"

# The MIME database built from the package knows the type, its globs and its magic.
update-mime-database "$prefix/share/mime" || fail "update-mime-database"
grep -q 'application/x-scp-ecg:\*\.scp' "$prefix/share/mime/globs" || fail "no *.scp glob"
grep -q 'application/x-scp-ecg:\*\.SCP' "$prefix/share/mime/globs" || fail "no *.SCP glob"
grep -a -q 'SCPECG' "$prefix/share/mime/magic" || fail "no SCPECG magic"

for page in quillon scptool; do
  out=$(MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man $page: $out"
done
