// Linux desktops: a StatusNotifier host behind the watcher on the session bus (KDE, GNOME
// with AppIndicator, Xfce, LXQt, ...), or an XEmbed system tray on the X server.

#include "TrayHosts.h"

#include "X11Connection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QString>
#include <QSystemTrayIcon>

#include <string>
#include <vector>

namespace {

constexpr int kReplyTimeout = 1000; // ms: a hung bus must not freeze the window
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// The same test as the toolkit's: a watcher alone, without a host drawing the items, shows
// nothing. The answer is kept until the watcher comes or goes or reports a host, so that
// looking for a notification area every few seconds costs the bus nothing.
class StatusNotifierHosts : public QObject {
    Q_OBJECT

public:
    explicit StatusNotifierHosts(QObject *parent) : QObject(parent)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        auto *watcher = new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusNotifierHosts::Forget);
        for (const char *signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus.connect(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher, QLatin1String(signal), this,
                        SLOT(Forget()));
    }

    bool IsPresent()
    {
        if (!m_bKnown) {
            m_bPresent = Ask();
            m_bKnown = true;
        }
        return m_bPresent;
    }

private slots:
    void Forget() { m_bKnown = false; }

private:
    static bool Ask()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
        const QDBusMessage reply = bus.call(get, QDBus::Block, kReplyTimeout);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            && qvariant_cast<QDBusVariant>(reply.arguments().front()).variant().toBool();
    }

    bool m_bKnown = false;
    bool m_bPresent = false;
};

bool IsStatusNotifierHostPresent()
{
    static StatusNotifierHosts *hosts = new StatusNotifierHosts(qApp); // lives as long as the application
    return hosts->IsPresent();
}

// A tray owns the selection _NET_SYSTEM_TRAY_Sn of its screen n.
bool IsXEmbedTrayPresent()
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    static std::vector<xcb_atom_t> selections; // interned once: each is a round trip
    for (int screen = static_cast<int>(selections.size()); screen < screens; ++screen)
        selections.push_back(InternAtom(connection, ("_NET_SYSTEM_TRAY_S" + std::to_string(screen)).c_str()));
    for (int screen = 0; screen < screens; ++screen) {
        const xcb_atom_t selection = selections[static_cast<std::size_t>(screen)];
        if (selection == XCB_ATOM_NONE)
            continue;
        const XcbReply<xcb_get_selection_owner_reply_t> reply(
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
        if (reply && reply->owner != XCB_WINDOW_NONE)
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

#include "TrayHostsLinux.moc"
