#!/usr/bin/python3
"""The built panel read through the accessibility bus, as a screen reader reads it.

Run by with_screen_reader_bus.sh, which gives it a virtual display, a private D-Bus session and
an enabled accessibility bus. It starts the gateway simulator on a free port of 127.0.0.1 (saunas
1 and 2 fitted only), a copy of the panel in a folder of its own whose settings file points at the
simulator, and reads the panel over AT-SPI: the readings' names and their marks when the gateway
falls silent, the temperature slider's value and its change event, the sauna buttons as radio
buttons and their action, and the focus a page key gives. Every wait is bounded.

    screen_reader_bus.py PANEL SIMULATOR
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

SETTINGS = """<?xml version="1.0" encoding="UTF-8"?>
<Kovalta_Config>
  <Records>5</Records>
  <ServerTCP-IP>127.0.0.1</ServerTCP-IP>
  <ServerTCP-Port>{port}</ServerTCP-Port>
  <ServerTCP-ConstIP>1</ServerTCP-ConstIP>
  <ServerTCP-AutoIP>0</ServerTCP-AutoIP>
  <ServerTCP-ConnectAuto>1</ServerTCP-ConnectAuto>
</Kovalta_Config>
"""

failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what, flush=True)
    if not condition:
        failures.append(what)


def pump(seconds):
    """Lets the bus's events arrive for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_until(condition, seconds):
    """Pumps events until condition() holds, at most seconds; whether it held."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if condition():
                return True
        except Exception:  # an object that went away while it was read: try again
            pass
        pump(0.1)
    return condition()


def fresh(accessible):
    accessible.clearCache()
    return accessible


def name(accessible):
    return fresh(accessible).name


def descendants(root):
    found = []
    stack = [root]
    while stack:
        node = stack.pop()
        found.append(node)
        for index in range(node.childCount):
            child = node.getChildAtIndex(index)
            if child is not None:
                stack.append(child)
    return found


class Panel:
    """The panel's accessible tree, searched afresh on every look."""

    def __init__(self, application):
        self.application = application

    def find(self, role, pattern):
        """The first object of role whose name matches pattern (a regular expression)."""
        for node in descendants(fresh(self.application)):
            if node.getRole() == role and re.fullmatch(pattern, name(node) or ""):
                return node
        return None

    def named(self, text):
        """Whether some object, of any role, has the name text."""
        return any(name(node) == text for node in descendants(fresh(self.application)))


def start_simulator(program, log):
    simulator = subprocess.Popen([program, "--listen", "127.0.0.1:0", "--units", "2"],
                                 stdout=log, stderr=subprocess.STDOUT)
    end = time.monotonic() + 10
    while time.monotonic() < end:
        with open(log.name, encoding="utf-8") as lines:
            match = re.search(r"listening on 127\.0\.0\.1:(\d+)", lines.read())
        if match:
            return simulator, int(match.group(1))
        if simulator.poll() is not None:
            break
        time.sleep(0.1)
    raise RuntimeError("the simulator did not start")


def find_application(seconds):
    def found():
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            if application is not None and application.name == "kovalta":
                return application
        return None
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        application = found()
        if application is not None:
            return application
        pump(0.2)
    return None


def do_action(accessible, action_name):
    action = accessible.queryAction()
    for index in range(action.nActions):
        if action.getName(index) == action_name:
            return action.doAction(index)
    raise RuntimeError("no action " + action_name + " on " + accessible.name)


def read_panel(panel, simulator):
    label = pyatspi.ROLE_LABEL
    button = pyatspi.ROLE_PUSH_BUTTON

    # Live readings of sauna 1: a cold sauna at 21 degrees, set to 80, every output off.
    check(wait_until(lambda: panel.find(label, "Typ sterownika MX-A"), 30),
          "the model is read live: Typ sterownika MX-A")
    for text in ["Temperatura 21 °C", "Temperatura zadana 80°C", "Czas pracy zadany 03:00",
                 "Wersja programu 1.23", "Wybrana Sauna 1"]:
        check(wait_until(lambda: panel.named(text), 5), "live name: " + text)
    for output in ["Grzanie", "Światło 1", "Światło 2", "Wentylacja", "Aromat"]:
        check(panel.find(button, output + ", wyłączone") is not None,
              "live output: " + output + ", wyłączone")

    # The gateway falls silent: every reading and output is marked old, none keeps its live name.
    simulator.send_signal(signal.SIGSTOP)
    try:
        check(wait_until(lambda: panel.find(button, "Grzanie, wyłączone, nieaktualne"), 15),
              "silent gateway: Grzanie, wyłączone, nieaktualne")
        for text in ["Temperatura 21 °C, nieaktualne", "Temperatura zadana 80°C, nieaktualne",
                     "Czas pracy 00:00, nieaktualne", "Typ sterownika MX-A, nieaktualne"]:
            check(panel.named(text), "silent gateway: " + text)
        check(panel.find(button, "Grzanie, wyłączone") is None,
              "silent gateway: no output keeps its live name")
    finally:
        simulator.send_signal(signal.SIGCONT)
    check(wait_until(lambda: panel.find(button, "Grzanie, wyłączone"), 20),
          "the gateway answers again: Grzanie, wyłączone")

    # The temperature page, opened by its bottom-bar button's action: a slider in degrees.
    do_action(panel.find(button, r"Ustawianie temperatury \(F2\)"), "Press")
    slider = panel.find(pyatspi.ROLE_SLIDER, "Suwak temperatury")
    check(slider is not None, "the temperature bar is a slider")
    check(wait_until(lambda: fresh(slider).getState().contains(pyatspi.STATE_SENSITIVE) and
                     fresh(slider).queryValue().currentValue == 80, 20),
          "the slider acts once loaded, its value the setpoint in degrees: 80")
    value = fresh(slider).queryValue()
    check((value.minimumValue, value.maximumValue) == (40, 110),
          "the slider's limits in degrees: 40 to 110")
    announced = []

    def on_value(event):
        if event.source == slider:
            announced.append(event)
    pyatspi.Registry.registerEventListener(on_value, "object:property-change:accessible-value")
    try:
        value.currentValue = 85
        check(wait_until(lambda: announced, 5), "a change of the slider's value is announced")
        check(wait_until(lambda: panel.find(label, "Nastawa temperatury 85, zmiana niezapisana"),
                         5), "the page's value follows: Nastawa temperatury 85, zmiana niezapisana")
    finally:
        pyatspi.Registry.deregisterEventListener(on_value,
                                                 "object:property-change:accessible-value")

    # The sauna buttons: one radio group; the action chooses sauna 3, which is not fitted.
    radio = pyatspi.ROLE_RADIO_BUTTON
    saunas = [panel.find(radio, "Sauna %d" % number) for number in range(1, 5)]
    check(all(saunas), "the four sauna buttons are radio buttons")

    def checked():
        return [number for number, sauna in enumerate(saunas, 1)
                if fresh(sauna).getState().contains(pyatspi.STATE_CHECKED)]
    check(checked() == [1], "sauna 1 alone is checked")
    do_action(saunas[2], "Toggle")
    check(wait_until(lambda: checked() == [3], 5), "the action checks sauna 3 alone")
    check(wait_until(lambda: panel.find(label, "Wybrana Sauna 3"), 5),
          "the panel talks to sauna 3: Wybrana Sauna 3")
    for text in ["Temperatura, brak danych", "Temperatura zadana, brak danych",
                 "Czas pracy, brak danych", "Typ sterownika, brak danych"]:
        check(wait_until(lambda: panel.named(text), 5), "sauna 3 unknown: " + text)
    check(panel.find(button, "Grzanie, brak danych") is not None,
          "sauna 3 unknown: Grzanie, brak danych")
    do_action(saunas[0], "Toggle")
    check(wait_until(lambda: checked() == [1], 5), "the action checks sauna 1 alone again")
    check(wait_until(lambda: panel.find(button, "Grzanie, wyłączone"), 20),
          "sauna 1 answers again: Grzanie, wyłączone")

    # A page key moves the focus to the page and announces it.
    focused = []

    def on_focus(event):
        if event.detail1 == 1:
            focused.append(event.source)
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    try:
        subprocess.run(["xdotool", "search", "--sync", "--name", "^Kovalta", "windowfocus",
                        "--sync", "key", "F4"], check=True, timeout=10)
        check(wait_until(lambda: any(name(source) == "Sauna 1" for source in focused), 5),
              "F4 gives the focus to the sauna page and announces it: Sauna 1")
        subprocess.run(["xdotool", "key", "F5"], check=True, timeout=10)
        check(wait_until(lambda: any(
            name(source) == "IP  Stałe" for source in focused), 5),
            "F5 passes the locked address fields and announces: IP  Stałe")
    finally:
        pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")


def main():
    panel_program, simulator_program = sys.argv[1:3]
    work = tempfile.mkdtemp()
    processes = []
    try:
        log = open(os.path.join(work, "simulator.log"), "w", encoding="utf-8")
        simulator, port = start_simulator(simulator_program, log)
        processes.append(simulator)
        folder = os.path.join(work, "panel")
        os.mkdir(folder)
        shutil.copy(panel_program, os.path.join(folder, "kovalta"))
        with open(os.path.join(folder, "Kovalta_Config.xml"), "w", encoding="utf-8") as settings:
            settings.write(SETTINGS.format(port=port))
        panel_log = open(os.path.join(work, "panel.log"), "w", encoding="utf-8")
        panel = subprocess.Popen([os.path.join(folder, "kovalta")], cwd=folder, stdout=panel_log,
                                 stderr=subprocess.STDOUT)
        processes.append(panel)
        application = find_application(30)
        check(application is not None, "the panel is on the accessibility bus")
        if application is not None:
            read_panel(Panel(application), simulator)
        if failures:
            with open(panel_log.name, encoding="utf-8") as lines:
                sys.stderr.write(lines.read()[-4000:])
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.send_signal(signal.SIGCONT)
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(work, ignore_errors=True)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
