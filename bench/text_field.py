#!/usr/bin/env python3
"""A Tk entry in a process of its own: the bench's paste target.

Prints "window <id>" once shown, then "text <monotonic seconds> <contents>"
after every change (contents percent-encoded, so a line stays one line).
The time is CLOCK_MONOTONIC, comparable with the bench driver's.
"""
import sys
import time
import tkinter
import urllib.parse

root = tkinter.Tk(className="OrmilBenchField")
root.title("bench text field")
value = tkinter.StringVar(root)


def changed(*_):
    now = time.monotonic()
    text = urllib.parse.quote(value.get(), safe="")
    print(f"text {now:.6f} {text}", flush=True)


value.trace_add("write", changed)
entry = tkinter.Entry(root, textvariable=value, width=60)
entry.pack(padx=8, pady=8)
entry.focus_set()


def command(*_):
    line = sys.stdin.readline()
    if not line:
        root.destroy()
    elif line.strip() == "clear":
        value.set("")


root.tk.createfilehandler(sys.stdin, tkinter.READABLE, command)
root.update()
# Without a window manager nobody gives the window the keyboard: take it.
entry.focus_force()
root.update()
print(f"window {int(root.wm_frame(), 16)}", flush=True)
root.mainloop()
