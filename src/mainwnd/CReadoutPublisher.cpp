#include "CReadoutPublisher.h"

#include "CGraphFeeder.h"
#include "CHistogramCtrl.h"
#include "CSetSystem.h"
#include "CTrayPresence.h"
#include "ColorRefQt.h"
#include "GraphReadout.h"

#include <QHelpEvent>
#include <QTimerEvent>
#include <QToolTip>
#include <QWidget>

CReadoutPublisher::CReadoutPublisher(QWidget *window, CGraphFeeder &feeder, CHistogramCtrl &graph,
                                     CTrayPresence &tray)
    : QObject(window), m_window(window), m_feeder(feeder), m_graph(graph), m_tray(tray)
{
    window->installEventFilter(this);
    connect(&feeder, &CGraphFeeder::samplesFed, this, &CReadoutPublisher::OnSamplesFed);
    ApplyOptions();
}

void CReadoutPublisher::ApplyOptions()
{
    const CSetExtra &extra = theSetSystem.m_Extra;
    m_bGraphTip = extra.GetGraphTip() != 0;
    m_bTrayReadout = extra.GetTrayTip() != 0 || extra.GetTrayIcon() != 0;
    m_tray.SetLiveReadout(extra.GetTrayTip() != 0, extra.GetTrayIcon() != 0);
    // A tool window shows tooltips also while another window has the focus.
    m_window->setAttribute(Qt::WA_AlwaysShowToolTips, m_bGraphTip);
    if (extra.GetGraphScale())
        m_graph.SetScaleFormatter([this](std::int32_t top) { return GraphTopText(m_graph, m_feeder, top); });
    else
        m_graph.SetScaleFormatter(nullptr);
    Publish();
}

void CReadoutPublisher::OnSamplesFed()
{
    if (m_pending.isActive())
        return;
    const qint64 since = m_lastPublished.isValid() ? m_lastPublished.elapsed() : kInterval;
    if (since >= kInterval)
        Publish();
    else
        m_pending.start(static_cast<int>(kInterval - since), this);
}

void CReadoutPublisher::Publish()
{
    m_pending.stop();
    m_lastPublished.start();
    const QString description = GraphDescription(m_graph);
    if (m_graph.accessibleDescription() != description)
        m_graph.setAccessibleDescription(description);
    if (m_bTrayReadout)
        PublishTray();
}

// The shown group's received and sent counters: bytes, or packets.
void CReadoutPublisher::PublishTray()
{
    const bool bytes = theSetSystem.m_CntBase.GetType() == 0;
    const int received = bytes ? 0 : 3;
    const int sent = bytes ? 1 : 4;
    const std::int32_t top = m_graph.Model().GetMaximum();
    LevelBars bars;
    bars.received = LevelBars::LevelOf(m_feeder.ToGraphValue(received, m_feeder.LatestValue(received)), top);
    bars.sent = LevelBars::LevelOf(m_feeder.ToGraphValue(sent, m_feeder.LatestValue(sent)), top);
    bars.receivedColor = ToQColor(theSetSystem.m_CntData[static_cast<std::size_t>(received)].GetColor());
    bars.sentColor = ToQColor(theSetSystem.m_CntData[static_cast<std::size_t>(sent)].GetColor());
    m_tray.ShowReadout(m_graph.ValueText(received), m_graph.ValueText(sent), bars);
}

bool CReadoutPublisher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::ToolTip || !m_bGraphTip)
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int x = m_graph.mapFrom(m_window, help->pos()).x();
    const QString tip = GraphTipAt(m_graph, m_feeder, x, theSetSystem.m_CntBase.GetDisplayWait());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, m_window);
    return true;
}

void CReadoutPublisher::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_pending.timerId())
        Publish();
    else
        QObject::timerEvent(event);
}
