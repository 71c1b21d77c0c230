"""What the benches that drive the whole app share: the stand-in service's
control calls, waiting for a line of the app's debug log, and speech fed to
the virtual microphone at a real microphone's pace."""
import json
import time
import urllib.request


def control(base, path, body):
    """POSTs a control request (a queued answer, a token) to the stand-in."""
    req = urllib.request.Request(base + path, data=json.dumps(body).encode(), method="POST",
                                 headers={"Content-Type": "application/json"})
    urllib.request.urlopen(req).read()


def wait_log(log_path, text, since, timeout=30):
    """Whether `text` appears in the log after byte `since` within `timeout` s."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        with open(log_path, encoding="utf-8", errors="replace") as f:
            f.seek(since)
            if text in f.read():
                return True
        time.sleep(0.01)
    return False


def speak(fifo, speech):
    """Writes 16 kHz mono s16le speech into the microphone's pipe 20 ms at a
    time, as fast as a real microphone delivers it."""
    with open(fifo, "wb") as mic:
        start = time.monotonic()
        for i in range(0, len(speech), 640):
            mic.write(speech[i:i + 640])
            mic.flush()
            pause = start + (i + 640) / 32000 - time.monotonic()
            if pause > 0:
                time.sleep(pause)
