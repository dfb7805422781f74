#!/usr/bin/python3
"""A stand-in for a screen reader in scripts/bench: over the accessibility bus it listens to every
event a screen reader follows (objects, windows, focus), so that the programs measured send them
all, as they would to a screen reader. When it is ended (SIGTERM) it writes the number of events
it heard to the file it was given.

    listen_as_screen_reader.py COUNT_FILE
"""

import signal
import sys

import pyatspi
from gi.repository import GLib

heard = 0


def hear(_event):
    global heard
    heard += 1


def end():
    with open(sys.argv[1], "w", encoding="utf-8") as count:
        count.write("%d\n" % heard)
    pyatspi.Registry.stop()
    return GLib.SOURCE_REMOVE


for kind in ["object:", "window:", "focus:"]:
    pyatspi.Registry.registerEventListener(hear, kind)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, end)
pyatspi.Registry.start()
