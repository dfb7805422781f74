#!/usr/bin/env bash
# Builds the package tree of the source folder given as $1 as scripts/package does (a hardened
# Release build; a tree that is up to date is only checked) and packs it. The package must hold
# the program, its desktop entry, icon, manual page, AppStream metadata, copyright file and
# changelog where a desktop and Debian's tools find them, depend on the libraries the program
# links (C library included) and on the fonts it sets its texts in, and pass lintian, pedantic
# and with its informational tags, without an error, a warning or a missing hardening feature.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source_dir"
source scripts/build.sh
if ! kov_build_package kovalta >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  exit 1
fi
if ! cpack -G DEB --config "$KOV_PACKAGE_DIR/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(ls "$work"/kovalta_*.deb)
control=$(dpkg-deb -f "$deb")
files=$(dpkg-deb -c "$deb")
failed=0
expect() { # expect WHAT TEXT PATTERN
  if ! grep -qE -- "$3" <<<"$2"; then
    echo "missing in the $1: $3"
    failed=1
  fi
}
expect "control file" "$control" '^Package: kovalta$'
for runtime in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6xml6 libqt6svg6 \
  fonts-dejavu-core fonts-liberation; do
  expect "control file" "$control" "^Depends:.*\\b$runtime\\b"
done
for installed in bin/kovalta share/applications/kovalta.desktop \
  share/icons/hicolor/scalable/apps/kovalta.svg share/man/man1/kovalta.1.gz \
  share/metainfo/example.kovalta.kovalta.metainfo.xml share/doc/kovalta/copyright \
  share/doc/kovalta/changelog.gz; do
  expect "file list" "$files" " \\./usr/${installed//./\\.}\$"
done

# Errors and warnings fail lintian itself; the hardening tags are informational.
lintian_status=0
lintian -I --pedantic --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
if [ "$lintian_status" -ne 0 ] || grep -q 'hardening-no-' "$work/lintian.log"; then
  echo "lintian objects to the package (exit status $lintian_status):"
  cat "$work/lintian.log"
  failed=1
fi
[ "$failed" -eq 0 ] && echo "package holds the program and its files, names its runtime, passes lintian:" &&
  cat "$work/lintian.log"
exit "$failed"
