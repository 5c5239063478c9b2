// Linux: logind announces a suspend with PrepareForSleep(true) and waits, up to its
// InhibitDelayMaxSec, for those that hold a "delay" lock on sleep to let it go. The lock is
// taken without waiting for the bus, released once the suspending handlers have run, and
// taken again when the system is back (PrepareForSleep(false)).

#include "SuspendWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

class LogindSleep : public QObject {
    Q_OBJECT

public:
    explicit LogindSleep(SuspendWatch *owner) : m_owner(owner)
    {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected())
            return;
        bus.connect(kLogin, kPath, kManager, QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
        TakeDelayLock();
    }

public slots:
    void OnPrepareForSleep(bool start)
    {
        if (!start) {
            TakeDelayLock();
            return;
        }
        emit m_owner->suspending();
        m_lock = QDBusUnixFileDescriptor(); // closing the descriptor lets the suspend go on
    }

private:
    void TakeDelayLock()
    {
        QDBusMessage inhibit = QDBusMessage::createMethodCall(kLogin, kPath, kManager, QStringLiteral("Inhibit"));
        inhibit << QStringLiteral("sleep") << QStringLiteral("Corvala") << QString::fromUtf8("通信量の保存")
                << QStringLiteral("delay");
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(inhibit), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
            if (reply.isValid())
                m_lock = reply.value();
            call->deleteLater();
        });
    }

    SuspendWatch *m_owner;
    QDBusUnixFileDescriptor m_lock; // held while valid
};

} // namespace

struct SuspendWatch::Impl {
    explicit Impl(SuspendWatch *owner) : sleep(owner) {}
    LogindSleep sleep;
};

SuspendWatch::SuspendWatch(QObject *parent) : QObject(parent), m_pImpl(new Impl(this))
{
}

SuspendWatch::~SuspendWatch()
{
    delete m_pImpl;
}

#include "SuspendWatchLinux.moc"
