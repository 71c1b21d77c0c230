#!/usr/bin/env python3
"""The stop command to the whole text in a Wayland field, against wtype.

Ormil: `ormil --start-dictation`, espeak-ng speech into the virtual
microphone, `ormil --stop-dictation` (what a compositor's key binding runs on
the key's press and release); the stand-in answers with a prepared text at
once. The time runs from the stop command's launch to the moment the
Wayland-native Qt field of another process holds the whole text. wtype: the
same text typed through the virtual keyboard protocol, from its launch to
the last change of the field; the letters it lost are those missing from
the field then. Median of 5 per text length.

Run by bench/sway_paste.sh inside scripts/with-wayland-env sway, which starts
the stand-in and Ormil and signs in. Arguments: stand-in base URL, debug log,
build folder.
"""
import difflib
import os
import statistics
import subprocess
import sys
import threading
import time
import urllib.parse

import benchlib
from mixed_text import mixed_text

base, log_path, build = sys.argv[1], sys.argv[2], sys.argv[3]
ormil = os.path.join(build, "src", "ormil")
keys = os.path.join(build, "tests", "peers", "ormil-virtual-keys")
RUNS = 5


def control(path, body):
    benchlib.control(base, path, body)


def wait_log(text, since, timeout=30):
    return benchlib.wait_log(log_path, text, since, timeout)


env = dict(os.environ, QT_QPA_PLATFORM="wayland", ORMIL_PEER_APP_ID="org.ormil.bench")
field = subprocess.Popen([os.path.join(build, "tests", "peers", "ormil-textfield-peer")],
                         stdout=subprocess.PIPE, text=True, encoding="utf-8", env=env)
changes = []  # (time, contents)
focused = threading.Event()
lock = threading.Lock()


def read_field():
    for line in field.stdout:
        at = time.monotonic()
        line = line.rstrip("\n")
        if line == "focused":
            focused.set()
        elif line.startswith("text"):
            with lock:
                changes.append((at, urllib.parse.unquote(line[5:])))


threading.Thread(target=read_field, daemon=True).start()
if not focused.wait(30):
    sys.exit("the field never got the focus")

speech = subprocess.run(
    "espeak-ng -s 160 --stdout 'testing one two three' | "
    "sox -t wav - -t raw -r 16000 -c 1 -b 16 -e signed-integer -L -",
    shell=True, check=True, capture_output=True).stdout
fifo = os.environ["ORMIL_TEST_MIC_FIFO"]


def current():
    with lock:
        return changes[-1][1] if changes else ""


def clear_field():
    """Control+A, BackSpace from the user's keyboard, until the field is empty."""
    while current() != "":
        subprocess.run([keys, "+29", "30", "-29", "14"], check=True)
        end = time.monotonic() + 5
        while current() != "" and time.monotonic() < end:
            time.sleep(0.01)
    with lock:
        changes.clear()


def ormil_run(text):
    control("/__control/queue", {"path": "/transcribe", "json": {
        "success": True, "text": text, "word_count": 5,
        "weekly_words_used": 5, "weekly_words_limit": 100000}})
    clear_field()
    since = os.path.getsize(log_path)
    subprocess.run([ormil, "--start-dictation"], check=True)
    if not wait_log("[Audio] record() returned: true", since):
        sys.exit("the recording did not start")
    benchlib.speak(fifo, speech)
    time.sleep(0.3)
    up = time.monotonic()
    subprocess.run([ormil, "--stop-dictation"], check=True)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        with lock:
            done = next((at for at, c in changes if c.strip() == text.strip()), None)
        if done is not None:
            wait_log("show(idle)", since, timeout=10)
            return (done - up) * 1000
        time.sleep(0.005)
    with open(log_path, encoding="utf-8", errors="replace") as f:
        f.seek(since)
        sys.stderr.write(f.read()[-6000:])
    sys.exit(f"the text never arrived whole ({len(current())} of {len(text)} characters)")


def wtype_run(text):
    clear_field()
    start = time.monotonic()
    subprocess.run(["wtype", text], check=True)
    # Settled: no change for a second after wtype ended.
    while True:
        with lock:
            last = changes[-1][0] if changes else start
        if time.monotonic() - last > 1.0:
            break
        time.sleep(0.05)
    got = current()
    matched = sum(b.size for b in difflib.SequenceMatcher(None, text, got, autojunk=False)
                  .get_matching_blocks())
    return (last - start) * 1000, len(text) - matched, len(got) - matched


for length in (300, 1500):
    text = mixed_text(length)
    times = [ormil_run(text) for _ in range(RUNS)]
    print(f"sway, stop command to the whole text in a Wayland field, {length} characters: "
          f"median {statistics.median(times):.0f} ms over {RUNS} runs "
          f"(min {min(times):.0f}, max {max(times):.0f}); every letter there", flush=True)
    typed = [wtype_run(text) for _ in range(RUNS)]
    wt = [t for t, _, _ in typed]
    lost = [n for _, n, _ in typed]
    extra = [n for _, _, n in typed]
    print(f"sway, wtype typing the same {length} characters: median {statistics.median(wt):.0f} ms "
          f"(min {min(wt):.0f}, max {max(wt):.0f}); letters lost per run {lost}, "
          f"letters wrong or extra per run {extra}", flush=True)

field.kill()
