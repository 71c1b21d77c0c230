#!/usr/bin/env python3
"""The main thread's longest stall during a whole dictation, and with the
sound server stopped at the key press.

The main thread is observed from outside: the main window is sent a
_NET_WM_PING every 2 ms and the reply (which only the main thread's event
loop sends) is timed; the longest round trip over a span is the longest
stall of that span, to within the 2 ms step.

1. A whole dictation: key down, the speech at the pace of a real microphone,
   key up, the upload to the stand-in (which answers at once) and the paste
   into a Tk entry of another process; median and worst over 5 runs.
2. The sound server stopped (SIGSTOP) just before the key press, held 1 s,
   released, then 5 s more for the recorder to give up; the server is let go
   (SIGCONT) after that. Median and worst over 3 runs.

Goal for both: at most 16 ms. Run by bench/main_stall.sh inside
scripts/with-test-env. Arguments: stand-in base URL, debug log, the app's pid.
"""
import ctypes
import os
import signal
import statistics
import subprocess
import sys
import threading
import time

import benchlib
from dictation_key import key

base, log_path, app_pid = sys.argv[1], sys.argv[2], int(sys.argv[3])
here = os.path.dirname(os.path.abspath(__file__))

x11 = ctypes.CDLL("libX11.so.6")
x11.XInitThreads()
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY = (1 << 19) | (1 << 17)


class Pinger:
    """Pings `window` every 2 ms on its own display connection; keeps
    (sent time, round trip) of every answered ping."""

    def __init__(self, window):
        self.dpy = x11.XOpenDisplay(None)
        self.window = window
        self.root = x11.XDefaultRootWindow(self.dpy)
        self.protocols = x11.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        self.ping = x11.XInternAtom(self.dpy, b"_NET_WM_PING", 0)
        x11.XSelectInput(self.dpy, self.root, SUBSTRUCTURE_NOTIFY)
        self.lock = threading.Lock()
        self.sent = {}
        self.samples = []
        self.running = True
        threading.Thread(target=self.run, daemon=True).start()

    def send(self, serial):
        ev = XEvent()
        ev.xclient.type = CLIENT_MESSAGE
        ev.xclient.window = self.window
        ev.xclient.message_type = self.protocols
        ev.xclient.format = 32
        ev.xclient.data[0] = self.ping
        ev.xclient.data[1] = serial
        ev.xclient.data[2] = self.window
        x11.XSendEvent(self.dpy, self.window, 0, 0, ctypes.byref(ev))
        x11.XFlush(self.dpy)

    def run(self):
        serial, next_send = 1, time.monotonic()
        ev = XEvent()
        while self.running:
            now = time.monotonic()
            if now >= next_send:
                self.sent[serial] = now
                self.send(serial)
                serial += 1
                next_send = now + 0.002
            while x11.XPending(self.dpy):
                x11.XNextEvent(self.dpy, ctypes.byref(ev))
                if (ev.type == CLIENT_MESSAGE and ev.xclient.data[0] == self.ping
                        and ev.xclient.data[1] in self.sent):
                    t0 = self.sent.pop(ev.xclient.data[1])
                    with self.lock:
                        self.samples.append((t0, time.monotonic() - t0))
            time.sleep(0.0005)

    def longest(self, start, end):
        """The longest round trip of the pings sent in [start, end], and any
        ping of that span still unanswered counted up to now."""
        now = time.monotonic()
        with self.lock:
            rt = [r for t, r in self.samples if start <= t <= end]
        pending = [now - t for t in list(self.sent.values()) if start <= t <= end]
        return max(rt + pending + [0.0]) * 1000


def control(path, body):
    benchlib.control(base, path, body)


def log_size():
    return os.path.getsize(log_path)


def wait_log(text, since, timeout=30):
    return benchlib.wait_log(log_path, text, since, timeout)


def sound_server_pid():
    """This test environment's own PulseAudio (its socket is in our
    XDG_RUNTIME_DIR), never another one running on the machine."""
    socket = os.environ["XDG_RUNTIME_DIR"] + "/pulse/native"
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().split(b"\0")
        except OSError:
            continue
        if cmd and cmd[0].endswith(b"pulseaudio") and any(socket.encode() in a for a in cmd):
            return int(pid)
    sys.exit("no sound server of this environment")


window = int(subprocess.run(["xdotool", "search", "--pid", str(app_pid), "--onlyvisible",
                             "--name", "^Ormil$"], check=True, capture_output=True,
                            text=True).stdout.split()[0])
pinger = Pinger(window)
time.sleep(0.5)
with pinger.lock:
    if not pinger.samples:
        sys.exit("the main window does not answer _NET_WM_PING")

field = subprocess.Popen([sys.executable, os.path.join(here, "text_field.py")],
                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                         encoding="utf-8")
field.stdout.readline()
threading.Thread(target=lambda: [None for _ in field.stdout], daemon=True).start()
speech = subprocess.run(
    "espeak-ng -s 160 --stdout 'testing one two three' | "
    "sox -t wav - -t raw -r 16000 -c 1 -b 16 -e signed-integer -L -",
    shell=True, check=True, capture_output=True).stdout
fifo = os.environ["ORMIL_TEST_MIC_FIFO"]
text = "Testing one two three, " * 20

stalls = []
for run in range(5):
    control("/__control/queue", {"path": "/transcribe", "json": {
        "success": True, "text": text, "word_count": 5,
        "weekly_words_used": 5, "weekly_words_limit": 100000}})
    since = log_size()
    start = time.monotonic()
    key(True)
    if not wait_log("[Audio] record() returned: true", since):
        sys.exit("the recording did not start")
    benchlib.speak(fifo, speech)
    time.sleep(0.3)
    key(False)
    if not wait_log("show(idle)", since, timeout=30):
        sys.exit("the dictation never ended")
    time.sleep(0.3)
    stalls.append(pinger.longest(start, time.monotonic()))
    time.sleep(0.5)
print(f"whole dictation: main thread's longest stall median {statistics.median(stalls):.0f} ms, "
      f"worst {max(stalls):.0f} ms over {len(stalls)} runs (goal 16 ms)", flush=True)

pulse = sound_server_pid()
stalls = []
for run in range(3):
    since = log_size()
    start = time.monotonic()
    os.kill(pulse, signal.SIGSTOP)
    try:
        key(True)
        time.sleep(1.0)
        key(False)
        time.sleep(5.0)
        stalls.append(pinger.longest(start, time.monotonic()))
    finally:
        os.kill(pulse, signal.SIGCONT)
    wait_log("show(idle)", since, timeout=15)
    time.sleep(2.0)
print(f"sound server stopped at the press: main thread's longest stall median "
      f"{statistics.median(stalls):.0f} ms, worst {max(stalls):.0f} ms over {len(stalls)} runs "
      f"(goal 16 ms)", flush=True)
pinger.running = False
field.kill()
