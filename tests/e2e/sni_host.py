"""A private session bus with a StatusNotifier watcher and host of our own, as KDE Plasma or
GNOME's AppIndicator extension provide: it records the items that register, reads their
properties and exported menus, and sends them the calls a host sends; it also takes the
notification service's name and records the notifications sent to it. Every wait is bounded."""

import os
import subprocess
import threading

from gi.repository import Gio, GLib

from xsession import wait_for

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>"""


class SessionBus:
    """A dbus-daemon of the test's own, gone with close()."""

    def __init__(self, directory):
        self.path = os.path.join(directory, "bus")
        self.process = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=unix:path=" + self.path,
             "--print-address"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.process.stdout.readline().strip()
        if not self.address:
            raise RuntimeError("dbus-daemon did not start")

    def close(self):
        self.process.stdout.close()
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(5)


class StatusNotifierHost:
    """Watcher and host on one connection, served by a GLib main loop on a thread of its own."""

    def __init__(self, address):
        self.items = []  # (bus name, object path) in order of registration
        self.notifications = []  # (summary, body) in order of arrival
        self.connection = None
        ready = threading.Event()
        self.thread = threading.Thread(target=self._serve, args=(address, ready), daemon=True)
        self.thread.start()
        if not ready.wait(10) or self.connection is None:
            raise RuntimeError("the StatusNotifier watcher did not start")

    def _serve(self, address, ready):
        context = GLib.MainContext()
        context.push_thread_default()
        self.loop = GLib.MainLoop(context)
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        connection = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        connection.register_object("/StatusNotifierWatcher", info, self._on_call, self._on_property, None)
        for name in (WATCHER, "org.freedesktop.Notifications"):
            connection.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                 "RequestName", GLib.Variant("(su)", (name, 4)), None, 0, 5000, None)
        connection.add_filter(self._on_message, None)
        self.connection = connection
        ready.set()
        self.loop.run()
        connection.close_sync(None)

    def _on_call(self, connection, sender, path, interface, method, parameters, invocation):
        if method == "RegisterStatusNotifierItem":
            service = parameters.unpack()[0]
            # A path alone names an object of the caller; a bus name has the item at the usual path.
            item = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
            self.items.append(item)
            connection.emit_signal(None, path, WATCHER, "StatusNotifierItemRegistered",
                                   GLib.Variant("(s)", (item[0] + item[1],)))
        invocation.return_value(None)

    def _on_message(self, connection, message, incoming, data):
        if incoming and message.get_member() == "Notify":  # the sender awaits no reply
            self.notifications.append(tuple(message.get_body().unpack()[3:5]))
        return message

    def _on_property(self, connection, sender, path, interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", [name + path for name, path in self.items])
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        return GLib.Variant("i", 0)

    def close(self):
        """The host and its watcher go away, as when the panel ends."""
        self.loop.get_context().invoke_full(GLib.PRIORITY_DEFAULT, self.loop.quit)
        self.thread.join(10)

    def wait_item(self, count=1, timeout=15):
        return wait_for(lambda: len(self.items) >= count, timeout) and self.items[count - 1]

    def _call(self, item, path, interface, method, signature=None, args=None, reply=None):
        parameters = GLib.Variant(signature, args) if signature else None
        result = self.connection.call_sync(item[0], path, interface, method, parameters,
                                           GLib.VariantType(reply) if reply else None, 0, 5000, None)
        return result.unpack() if result is not None else None

    def properties(self, item):
        return self._call(item, item[1], "org.freedesktop.DBus.Properties", "GetAll", "(s)", (ITEM,))[0]

    def activate(self, item):
        self._call(item, item[1], ITEM, "Activate", "(ii)", (0, 0))

    def menu(self, item):
        """The exported menu's items in order: (id, properties) each."""
        path = self.properties(item)["Menu"]
        _, layout = self._call(item, path, MENU, "GetLayout", "(iias)", (0, -1, []), "(u(ia{sv}av))")
        return [(child[0], child[1]) for child in layout[2]]

    def click(self, item, entry):
        """A click on a menu entry, as the host sends it when the user picks it."""
        path = self.properties(item)["Menu"]
        # No reply is awaited: the command may open a modal dialog before the call returns.
        self.connection.call(item[0], path, MENU, "Event",
                             GLib.Variant("(isvu)", (entry, "clicked", GLib.Variant("i", 0), 0)),
                             None, 0, 5000, None, None, None)


def visible_entries(menu):
    """The entries a host shows: their labels, "-" for separators, with the check state."""
    entries = []
    for _, props in menu:
        if not props.get("visible", True):
            continue
        if props.get("type") == "separator":
            entries.append("-")
        else:
            mark = {1: "[x] ", 0: "[ ] "}.get(props.get("toggle-state"), "") if props.get("toggle-type") else ""
            entries.append(mark + props.get("label", "") + ("" if props.get("enabled", True) else " (disabled)"))
    return entries


def entry_id(menu, label):
    return next(entry for entry, props in menu if props.get("label") == label)
