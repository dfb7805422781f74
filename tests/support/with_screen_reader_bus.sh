#!/usr/bin/env bash
# Runs a command as a screen reader meets the panel: on a virtual display of its own (Xvfb), with
# a private D-Bus session whose accessibility bus is enabled the way a screen reader enables it,
# and Qt on its X11 platform, whose bridge then serves that bus. Everything started here is ended
# when the command ends; every wait is bounded.
#
#   tests/support/with_screen_reader_bus.sh COMMAND [ARG...]
set -euo pipefail
source "$(dirname "$0")/../../scripts/runs.sh"

work=$(mktemp -d)
cleanup() {
  kov_stop_all
  rm -rf "$work"
}
trap cleanup EXIT

# No desktop settings of the user's: the run is the same everywhere.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME"
kov_start_display "$work"
kov_start_accessibility_bus "$work"
"$@"
