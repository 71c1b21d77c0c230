#!/usr/bin/env python3
"""Key press to the start of the recording, beside parec's own start-up.

Ormil: from the key press (XTest; the time is taken when XSync returns, so
the X server has the event) to the recorder's "[Audio] record() returned:
true" log line, read from the line's own time stamp. The first captured
sample itself is not observable from outside the process: record() returns
at once and the capture thread opens the stream, so bench_capture_start
measures the rest, record() to the first pushed sample; key down to the
first sample is the sum of the two. Each press is released after 0.2 s, which
cancels the recording as too short (nothing is uploaded).

parec: from starting the process to the first byte of audio on its standard
output (--latency-msec=20, the fragment the recorder asks for too).

Median of 20 each, on an idle machine and with every core kept busy by
spinning processes this script starts itself. Goals for Ormil: under 30 ms
idle, under 100 ms loaded.

Run by bench/record_start.sh inside scripts/with-test-env. Argument: the
application's debug log.
"""
import datetime
import multiprocessing
import os
import re
import statistics
import subprocess
import sys
import time

from dictation_key import key

log_path = sys.argv[1]
RUNS = 20

def seconds_of_day(t):
    d = datetime.datetime.fromtimestamp(t)
    return d.hour * 3600 + d.minute * 60 + d.second + d.microsecond / 1e6


def log_size():
    return os.path.getsize(log_path)


def wait_log(text, since, timeout=30):
    """The time of day of the first line after `since` holding `text`."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        with open(log_path, encoding="utf-8", errors="replace") as f:
            f.seek(since)
            for line in f:
                if text in line:
                    m = re.match(r"\[(\d\d):(\d\d):(\d\d)\.(\d\d\d)\]", line)
                    h, mi, s, ms = (int(g) for g in m.groups())
                    return h * 3600 + mi * 60 + s + ms / 1000
        time.sleep(0.005)
    with open(log_path, encoding="utf-8", errors="replace") as f:
        f.seek(since)
        sys.stderr.write(f.read()[-4000:])
    sys.exit(f"no '{text}' in the log")


def ormil_start():
    since = log_size()
    pressed = seconds_of_day(key(True, time.time))
    started = wait_log("[Audio] record() returned: true", since)
    time.sleep(0.2)
    key(False)
    wait_log("[Audio] cancelRecording() called", since)
    time.sleep(0.3)
    return ((started - pressed) % 86400) * 1000


def parec_start():
    t0 = time.monotonic()
    p = subprocess.Popen(["parec", "--device=ormil_mic", "--raw", "--rate=16000",
                          "--channels=1", "--format=s16le", "--latency-msec=20"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    p.stdout.read(1)
    t1 = time.monotonic()
    p.kill()
    p.wait()
    time.sleep(0.1)
    return (t1 - t0) * 1000


def spin():
    while True:
        pass


def measure(label):
    ormil = [ormil_start() for _ in range(RUNS)]
    parec = [parec_start() for _ in range(RUNS)]
    goal = 30 if label == "idle" else 100
    print(f"{label:>6}: key press to record(): median {statistics.median(ormil):6.1f} ms "
          f"(min {min(ormil):.0f}, max {max(ormil):.0f}; goal {goal} ms)   "
          f"parec start to first byte: median {statistics.median(parec):6.1f} ms "
          f"(min {min(parec):.0f}, max {max(parec):.0f})", flush=True)


measure("idle")
spinners = [multiprocessing.Process(target=spin, daemon=True)
            for _ in range(os.cpu_count() or 1)]
for s in spinners:
    s.start()
time.sleep(1)
try:
    measure("loaded")
finally:
    for s in spinners:
        s.kill()
