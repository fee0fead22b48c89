#!/usr/bin/python3
# A desktop panel's side of the session bus, for the status icon and the
# notifications (python3-dbus, python3-gi):
#   fake_panel.py serve ITEMS [NOTICES]  a StatusNotifierWatcher that writes each registered
#       item's bus name to ITEMS; with NOTICES also a notification service that writes
#       each notification's summary there, one a line
#   fake_panel.py notices NOTICES [hang] only the notification service; with "hang" it
#       answers each notification 3 s late
#   fake_panel.py item ITEMS             the last item's line: its Status, a hash of its icon,
#       the colour (RRGGBB) of the 64-pixel icon at (46, 18) and its tooltip
#   fake_panel.py after ITEMS STATUS TEXT ACTION...  does ACTION (a command, or "click LABEL" on
#       the menu), then waits up to 5 s for the Status STATUS and a tooltip holding TEXT: prints
#       the item's line, when the action began and the seconds since, or exits 1
#   fake_panel.py click ITEMS LABEL      clicks the item's menu entry LABEL (com.canonical.dbusmenu)
#   fake_panel.py activate ITEMS         clicks the item itself
import hashlib, subprocess, sys, time
import dbus, dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"


class Watcher(dbus.service.Object):
    def __init__(self, bus, items):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = items

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender):
        # Qt registers its item under a bus name of its own; some items pass a path.
        with open(self.items, "a") as out:
            out.write((service if not service.startswith("/") else sender) + "\n")

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service): pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    # Qt reads the host's property through an interface it knows by introspection.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return (f'<node><interface name="{WATCHER}">'
                '<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>'
                '<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>'
                '<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                '<property name="ProtocolVersion" type="i" access="read"/>'
                '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>'
                '</interface></node>')

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array([], signature="s")}


class Notifications(dbus.service.Object):
    def __init__(self, bus, notices, hang):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.notices, self.last, self.hang = notices, 0, hang

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        with open(self.notices, "a") as out:
            out.write(f"{summary}\n")
        self.last += 1
        if self.hang:
            time.sleep(3)
        return dbus.UInt32(self.last)

    @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
    def GetCapabilities(self): return ["body"]


def serve(items, notices, hang=False):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    kept = []
    if items:
        kept += [Watcher(bus, items), dbus.service.BusName(WATCHER, bus)]
    if notices:
        kept += [Notifications(bus, notices, hang), dbus.service.BusName("org.freedesktop.Notifications", bus)]
    GLib.MainLoop().run()


def item(items):
    bus = dbus.SessionBus()
    name = open(items).read().split()[-1]
    return bus, name, dbus.Interface(bus.get_object(name, "/StatusNotifierItem"), dbus.PROPERTIES_IFACE)


def describe(props):
    p = props.GetAll(ITEM)
    pixels = b"".join(bytes(picture[2]) for picture in p.get("IconPixmap", []))
    icon = hashlib.sha1(str(p.get("IconName", "")).encode() + pixels).hexdigest()[:8]
    # Pixels are ARGB, each in network byte order.
    colour = "none"
    for width, height, argb in p.get("IconPixmap", []):
        if width == height == 64:
            colour = bytes(argb[(18 * 64 + 46) * 4 + 1:(18 * 64 + 46) * 4 + 4]).hex()
    tip = str(p["ToolTip"][2]) + "|" + str(p["ToolTip"][3])
    return f"{p['Status']} {icon} {colour} {tip}".replace("\n", "/")


def after(items, status, text, action):
    _, _, props = item(items)
    since = time.time()
    if action[0] == "click":
        click(items, action[1])
    else:
        subprocess.run(action, check=True)
    while True:
        line = describe(props)
        if line.startswith(status + " ") and text in line:
            return print(f"{line} {since:.3f} {time.time() - since:.2f}")
        if time.time() - since > 5:
            sys.exit(f"not {status} '{text}' after 5 s: {line}")
        time.sleep(0.02)


def click(items, label):
    bus, name, props = item(items)
    menu = dbus.Interface(bus.get_object(name, props.Get(ITEM, "Menu")), "com.canonical.dbusmenu")
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    ids = [int(child[0]) for child in layout[2] if str(child[1].get("label", "")) == label]
    if not ids:
        sys.exit(f"no menu entry {label}: {layout}")
    menu.Event(ids[0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(int(time.time())))


if sys.argv[1] == "serve":
    serve(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None)
elif sys.argv[1] == "notices":
    serve(None, sys.argv[2], sys.argv[3:] == ["hang"])
elif sys.argv[1] == "item":
    print(describe(item(sys.argv[2])[2]))
elif sys.argv[1] == "after":
    after(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
elif sys.argv[1] == "activate":
    bus, name, _ = item(sys.argv[2])
    dbus.Interface(bus.get_object(name, "/StatusNotifierItem"), ITEM).Activate(dbus.Int32(0), dbus.Int32(0))
elif sys.argv[1] == "click":
    click(sys.argv[2], sys.argv[3])
