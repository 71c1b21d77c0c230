#!/usr/bin/python3
"""Key events into headless mutter through its own remote-desktop D-Bus API
(org.gnome.Mutter.RemoteDesktop: no portal, no dialog), standing in for the
user's keyboard in tests.

  mutter_keys.py hold            keeps one virtual keyboard for as long as it
                                 runs (prints "holding" once it is there)
  mutter_keys.py answer-dialog   allows the desktop's remote-interaction
                                 dialog: Enter (its "Allow remote interaction"
                                 switch has the focus), then Alt+S (Share)
  mutter_keys.py SPEC...         SPEC = +CODE (press) | -CODE (release) |
                                 CODE (press and release) | sMS (pause, ms)

CODE is a Linux evdev key code (KEY_LEFTCTRL 29, KEY_V 47, KEY_ENTER 28)."""
import signal
import sys
import time

from gi.repository import Gio, GLib

NAME = 'org.gnome.Mutter.RemoteDesktop'
SESSION = NAME + '.Session'
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
path = bus.call_sync(NAME, '/org/gnome/Mutter/RemoteDesktop', NAME, 'CreateSession', None,
                     GLib.VariantType('(o)'), 0, 10000, None).unpack()[0]
bus.call_sync(NAME, path, SESSION, 'Start', None, None, 0, 10000, None)


def key(code, down):
    bus.call_sync(NAME, path, SESSION, 'NotifyKeyboardKeycode', GLib.Variant('(ub)', (code, down)),
                  None, 0, 10000, None)


def play(specs):
    for spec in specs:
        if spec[0] == 's':
            time.sleep(int(spec[1:]) / 1000)
        elif spec[0] == '+':
            key(int(spec[1:]), True)
        elif spec[0] == '-':
            key(int(spec[1:]), False)
        else:
            key(int(spec), True)
            key(int(spec), False)


# A fresh virtual device's first event only makes the keyboard exist: a lone
# Shift, so that no key of the sequence is lost.
key(42, True)
key(42, False)
args = sys.argv[1:]
if args == ['hold']:
    print('holding', flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    signal.pause()
elif args == ['answer-dialog']:
    # Keys at a person's pace: the dialog reacts to the switch before Share.
    play(['28', 's300', '+56', 's50', '31', 's50', '-56'])
else:
    play(args)
# Events reach clients asynchronously; stopping at once could drop the last.
time.sleep(0.2)
bus.call_sync(NAME, path, SESSION, 'Stop', None, None, 0, 10000, None)
