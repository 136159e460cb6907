#!/usr/bin/python3
"""Presses keys on a headless mutter's seat, as a user at its keyboard would.

Reads one key combination a line from standard input ("ctrl+a", "alt+v",
"return") and presses it through mutter's remote desktop interface on the
session bus, then prints "pressed COMBO". Native Wayland programs take keys
only from the compositor, so X tools such as xdotool cannot reach them.

The virtual keyboard lasts as long as this program: mutter makes it with the
first key pressed and removes it when the session ends, so one session serves
every combination. (Debian's own python3, which has the GObject bindings.)
"""
import sys

from gi.repository import Gio, GLib

SERVICE = "org.gnome.Mutter.RemoteDesktop"
SESSION = SERVICE + ".Session"
NAMED_KEYS = {"ctrl": 0xFFE3, "alt": 0xFFE9, "shift": 0xFFE1, "return": 0xFF0D, "escape": 0xFF1B}

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(path, interface, method, args=None):
    return bus.call_sync(SERVICE, path, interface, method, args, None,
                         Gio.DBusCallFlags.NONE, 10000, None)


def keysym(name):
    if name in NAMED_KEYS:
        return NAMED_KEYS[name]
    if len(name) == 1 and name.isprintable():
        return ord(name)
    raise SystemExit(f"mutter-keys: no key named '{name}'")


def press(session, combination):
    keys = [keysym(name) for name in combination.split("+")]
    for key in keys:
        call(session, SESSION, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (key, True)))
    for key in reversed(keys):
        call(session, SESSION, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (key, False)))


def main():
    session = call("/org/gnome/Mutter/RemoteDesktop", SERVICE, "CreateSession").unpack()[0]
    call(session, SESSION, "Start")
    for line in sys.stdin:
        combination = line.strip()
        if combination:
            press(session, combination)
            print("pressed", combination, flush=True)
    call(session, SESSION, "Stop")


main()
