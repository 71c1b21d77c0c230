#!/usr/bin/python3
"""A GTK text entry in a process of its own, for tests that paste into
"another application" built on a toolkit other than ours.

Prints one line each: "window <X id>" once shown, "focused" whenever its
window gets the keyboard focus, and "text <contents>" after every change
(contents percent-encoded, so a line stays one line). Reads commands from
standard input: "focus" takes the keyboard (there may be no window manager
to give it), "clear" empties the entry, "copy <percent-encoded text>" puts
the text on the CLIPBOARD as GTK's own copy does and prints "copied"; end of
input quits.
"""
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
gi.require_version("GdkX11", "3.0")
from gi.repository import Gdk, GdkX11, GLib, Gtk  # noqa: E402,F401  (GdkX11: get_xid)


def say(line):
    print(line, flush=True)


window = Gtk.Window(title="GTK text field")
window.set_wmclass("ormil-gtk-field", "OrmilGtkField")
window.set_default_size(420, 60)
entry = Gtk.Entry()
window.add(entry)
entry.connect(
    "changed", lambda e: say("text " + urllib.parse.quote(e.get_text(), safe="")))
window.connect("focus-in-event", lambda *_: say("focused"))
window.connect("destroy", Gtk.main_quit)


def command(source, _condition):
    line = source.readline()
    if not line:
        Gtk.main_quit()
        return False
    line = line.strip()
    if line == "focus":
        gdk_window = window.get_window()
        gdk_window.focus(GdkX11.x11_get_server_time(gdk_window))
        entry.grab_focus()
    elif line == "clear":
        entry.set_text("")
    elif line.startswith("copy "):
        text = urllib.parse.unquote(line[len("copy "):])
        Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).set_text(text, -1)
        say("copied")
    return True


GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)


def shown(*_):
    say(f"window {window.get_window().get_xid()}")
    return False


window.connect("map-event", shown)
window.show_all()
entry.grab_focus()
Gtk.main()
