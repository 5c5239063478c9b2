#include "CTrayPresence.h"

#include "AppIcons.h"
#include "IniPath.h"

#include <QTimerEvent>

#include <string>

namespace {

constexpr int kWatchInterval = 2000; // ms
constexpr qsizetype kTooltipBytes = 127;

// The name in the system's code page (UTF-8 on Linux), cut to whole characters.
QString TooltipText(const std::string &appName)
{
    QString tip = QString::fromLocal8Bit(appName);
    while (tip.toLocal8Bit().size() > kTooltipBytes)
        tip.chop(tip.size() > 1 && tip.back().isLowSurrogate() ? 2 : 1);
    return tip;
}

} // namespace

CTrayPresence::CTrayPresence(QMenu *menu, QObject *parent, bool (*isAreaPresent)())
    : QObject(parent), m_menu(menu), m_isAreaPresent(isAreaPresent)
{
    CreateIcon();
}

// Made once a notification area is up (until then it is looked for on the watch);
// afterwards the toolkit follows areas that go and come back by itself.
void CTrayPresence::CreateIcon()
{
    if (!m_isAreaPresent()) {
        m_watchTimer.start(kWatchInterval, this);
        return;
    }
    m_watchTimer.stop();
    m_tray = new QSystemTrayIcon(m_drawnBars ? LevelBarsIcon(*m_drawnBars) : TrayIcon(), this);
    m_tray->setToolTip(ComposeTooltip());
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, &CTrayPresence::OnActivated);
    m_tray->show();
    emit iconShown();
}



void CTrayPresence::ShowMessage(const QString &text)
{
    if (m_tray)
        m_tray->showMessage(QString::fromLocal8Bit(GetAppName()), text, QSystemTrayIcon::Warning);
}

bool CTrayPresence::CanHide() const
{
    return m_tray && QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayPresence::SetHidden(bool hidden)
{
    m_bHidden = hidden;
    if (hidden)
        m_watchTimer.start(kWatchInterval, this);
    else if (m_tray)
        m_watchTimer.stop();
}

void CTrayPresence::Remove()
{
    m_watchTimer.stop();
    if (m_tray)
        m_tray->hide();
}

void CTrayPresence::Watch()
{
    if (!m_tray)
        CreateIcon();
    else if (m_bHidden && !CanHide())
        emit restoreRequested(); // the area went away: the window must stay reachable
}

void CTrayPresence::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_watchTimer.timerId())
        Watch();
    else
        QObject::timerEvent(event);
}

// The double click restores; where the host draws the icon and sends only an activation for
// a primary click, that activation restores.
void CTrayPresence::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick
        || (reason == QSystemTrayIcon::Trigger && IsTrayIconDrawnByHost(*m_tray)))
        emit restoreRequested();
}

void CTrayPresence::SetLiveReadout(bool tip, bool icon)
{
    m_bLiveTip = tip;
    m_bLiveIcon = icon;
    if (!icon && m_drawnBars) {
        m_drawnBars.reset();
        if (m_tray)
            m_tray->setIcon(TrayIcon());
    }
    RefreshTooltip();
}

void CTrayPresence::ShowReadout(const QString &received, const QString &sent, const LevelBars &bars)
{
    m_strReceived = received;
    m_strSent = sent;
    if (m_bLiveTip)
        RefreshTooltip();
    if (m_bLiveIcon && (!m_drawnBars || bars.DiffersVisiblyFrom(*m_drawnBars))) {
        m_drawnBars = bars;
        if (m_tray)
            m_tray->setIcon(LevelBarsIcon(bars));
    }
}

void CTrayPresence::SetTooltipLine(const QString &line)
{
    m_strTooltipLine = line;
    RefreshTooltip();
}

void CTrayPresence::RefreshTooltip()
{
    // The toolkit passes a new text on to the host (XEmbed, the StatusNotifier ToolTip
    // property with its change signal, the Windows tip); an unchanged one is not sent again.
    if (!m_tray)
        return;
    const QString tip = ComposeTooltip();
    if (m_tray->toolTip() != tip)
        m_tray->setToolTip(tip);
}

QString CTrayPresence::ComposeTooltip() const
{
    QString tip = TooltipText(GetAppName());
    // A counter switched off has no text: its line is left out rather than shown empty.
    if (m_bLiveTip && !m_strReceived.isEmpty())
        tip += QStringLiteral("\n受信 ") + m_strReceived;
    if (m_bLiveTip && !m_strSent.isEmpty())
        tip += QStringLiteral("\n送信 ") + m_strSent;
    if (!m_strTooltipLine.isEmpty())
        tip += QLatin1Char('\n') + m_strTooltipLine;
    return tip;
}

QString CTrayPresence::ToolTip() const
{
    return m_tray ? m_tray->toolTip() : QString();
}
