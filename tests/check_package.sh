#!/usr/bin/env bash
# Packs the build tree given as $1 as scripts/package does and checks the package: its control
# file names the Qt runtime the panel needs, and it holds the program, the desktop entry and the
# icon where a desktop finds them.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
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
for runtime in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6xml6 libqt6svg6 \
  qt6-qpa-plugins fonts-dejavu-core; do
  expect "control file" "$control" "^Depends:.*\\b$runtime\\b"
done
expect "file list" "$files" ' \./usr/bin/kovalta$'
expect "file list" "$files" ' \./usr/share/applications/kovalta\.desktop$'
expect "file list" "$files" ' \./usr/share/icons/hicolor/scalable/apps/kovalta\.svg$'
[ "$failed" -eq 0 ] && echo "package holds the program, its entry, its icon and its runtime"
exit "$failed"
