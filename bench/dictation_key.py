"""The dictation key (right Alt) pressed and released through XTest, for the
benches that drive the real application."""
import ctypes
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
dpy = x11.XOpenDisplay(None)
right_alt = x11.XKeysymToKeycode(dpy, x11.XStringToKeysym(b"Alt_R"))


def key(down, clock=time.monotonic):
    """Presses or releases the key; the time (of `clock`) once the X server
    has the event."""
    xtst.XTestFakeKeyEvent(dpy, right_alt, 1 if down else 0, 0)
    x11.XSync(dpy, 0)
    return clock()
