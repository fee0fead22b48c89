#!/usr/bin/python3
# Another program holding a key: grabs it on the root window with any
# modifiers, says "held" and keeps the grab until killed.
#   hold_key.py KEYSYM_HEX   (0xFFC5 is F8)
import ctypes, sys, time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                         ctypes.c_int]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no display")
ANY_MODIFIER, GRAB_MODE_ASYNC = 1 << 15, 1
x11.XGrabKey(display, x11.XKeysymToKeycode(display, int(sys.argv[1], 16)), ANY_MODIFIER,
             x11.XDefaultRootWindow(display), 1, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC)
x11.XSync(display, 0)
print("held", flush=True)
while True:
    time.sleep(60)
