// Windows: the system tells every top-level window PBT_APMSUSPEND in WM_POWERBROADCAST
// before it suspends; the filter sees it on its way to any of the program's windows.

#include "SuspendWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

struct SuspendWatch::Impl : QAbstractNativeEventFilter {
    explicit Impl(SuspendWatch *owner) : m_owner(owner) { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~Impl() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMSUSPEND)
            emit m_owner->suspending();
        return false; // the toolkit and the system still see it
    }

    SuspendWatch *m_owner;
};

SuspendWatch::SuspendWatch(QObject *parent) : QObject(parent), m_pImpl(new Impl(this))
{
}

SuspendWatch::~SuspendWatch()
{
    delete m_pImpl;
}
