#!/usr/bin/python3
# What a screen reader sees of the program's main window, over AT-SPI (python3-pyatspi):
#   atspi_window.py buttons   one line "ROLE|NAME" per push button of the window "Tarnovox"
#   atspi_window.py focused   the name of the window's object that has the focus
import sys
import pyatspi


def main_window():
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == "Tarnovox" and window.childCount > 0:
                    return window
        import time; time.sleep(0.1)
    sys.exit("no accessible window Tarnovox")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


window = main_window()
if sys.argv[1] == "buttons":
    for node in walk(window):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            print(f"{node.getRoleName()}|{node.name}")
elif sys.argv[1] == "focused":
    print(next((n.name for n in walk(window) if n.getState().contains(pyatspi.STATE_FOCUSED)), ""))
