// Linux desktops: a StatusNotifier host behind the watcher on the session bus (KDE, GNOME
// with AppIndicator, Xfce, LXQt, ...), or an XEmbed system tray on the X server.

#include "TrayHosts.h"

#include "X11Connection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>
#include <QSystemTrayIcon>

#include <string>

namespace {

constexpr int kReplyTimeout = 1000; // ms: a hung bus must not freeze the window

// The same test as the toolkit's: a watcher alone, without a host drawing the items, shows nothing.
bool IsStatusNotifierHostPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage get = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kReplyTimeout);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && qvariant_cast<QDBusVariant>(reply.arguments().front()).variant().toBool();
}

// A tray owns the selection _NET_SYSTEM_TRAY_Sn of its screen n.
bool IsXEmbedTrayPresent()
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
        const xcb_atom_t selection = InternAtom(connection, name.c_str());
        if (selection == XCB_ATOM_NONE)
            continue;
        xcb_get_selection_owner_reply_t *reply =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
        const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        if (owned)
            return true;
    }
    return false;
}

} // namespace

bool IsNotificationAreaPresent()
{
    return IsStatusNotifierHostPresent() || IsXEmbedTrayPresent();
}

// Only an icon the program draws itself has a geometry.
bool IsTrayIconDrawnByHost(const QSystemTrayIcon &icon)
{
    return icon.geometry().isEmpty();
}
