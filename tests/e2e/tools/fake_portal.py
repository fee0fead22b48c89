#!/usr/bin/python3
# A desktop portal with only the GlobalShortcuts interface, on the session bus:
# it writes each bound shortcut as "ID TRIGGER DESCRIPTION" to BINDINGS_FILE.
# Its own methods act as the desktop does on the last session:
#   rig.FakePortal.Activate(ID)    a press of the shortcut's key: Activated, then Deactivated;
#   rig.FakePortal.Hold(ID, N)     the key held: Activated N times (repeats), then Deactivated;
#   rig.FakePortal.CloseSession()  the desktop ends the session: Closed.
# With "decline", the user dismisses the dialog: BindShortcuts answers 1.
#   fake_portal.py BINDINGS_FILE [decline]      (python3-dbus, python3-gi)
import sys, time
import dbus, dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
IFACE = "org.freedesktop.portal.GlobalShortcuts"


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results): pass


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self): self.remove_from_connection()

    @dbus.service.signal("org.freedesktop.portal.Session", signature="a{sv}")
    def Closed(self, details): pass


class Portal(dbus.service.Object):
    def __init__(self, bus, bindings):
        super().__init__(bus, PATH)
        self.bus, self.bindings, self.session, self.session_object = bus, bindings, None, None

    def answer(self, sender, options, results, code=0):
        path = f"{PATH}/request/{sender[1:].replace('.', '_')}/{options['handle_token']}"
        request = Request(self.bus, path)
        def respond():  # then the request is done, as in a real portal
            request.Response(dbus.UInt32(code), results)
            request.remove_from_connection()
        GLib.idle_add(lambda: respond() and False)
        return dbus.ObjectPath(path)

    @dbus.service.method(IFACE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender):
        self.session = f"{PATH}/session/{sender[1:].replace('.', '_')}/{options['session_handle_token']}"
        self.session_object = Session(self.bus, self.session)
        return self.answer(sender, options, {"session_handle": dbus.ObjectPath(self.session)})

    @dbus.service.method(IFACE, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender):
        with open(self.bindings, "a") as out:
            for sid, props in shortcuts:
                out.write(f"{sid} {props.get('preferred_trigger', '-')} {props.get('description', '')}\n")
        bound = [(sid, {"description": props["description"], "trigger_description": props["preferred_trigger"]})
                 for sid, props in shortcuts]
        return self.answer(sender, options, {"shortcuts": dbus.Array(bound, signature="(sa{sv})")},
                           1 if sys.argv[2:] == ["decline"] else 0)

    @dbus.service.signal(IFACE, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options): pass

    @dbus.service.signal(IFACE, signature="osta{sv}")
    def Deactivated(self, session, shortcut_id, timestamp, options): pass

    def emit(self, signal, shortcut_id):
        signal(dbus.ObjectPath(self.session), shortcut_id, dbus.UInt64(int(time.time() * 1e6)),
               dbus.Dictionary({}, signature="sv"))

    @dbus.service.method("rig.FakePortal", in_signature="s")
    def Activate(self, shortcut_id):
        self.Hold(shortcut_id, 1)

    @dbus.service.method("rig.FakePortal", in_signature="su")
    def Hold(self, shortcut_id, presses):
        for _ in range(presses):
            self.emit(self.Activated, shortcut_id)
            time.sleep(0.03)
        self.emit(self.Deactivated, shortcut_id)

    @dbus.service.method("rig.FakePortal")
    def CloseSession(self):
        self.session_object.Closed(dbus.Dictionary({}, signature="sv"))
        self.session_object.remove_from_connection()

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if (interface, name) != (IFACE, "version"):
            raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.InvalidArgs")
        return dbus.UInt32(1)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
portal = Portal(bus, sys.argv[1])
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
GLib.MainLoop().run()
