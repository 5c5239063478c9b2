#pragma once
// Publishes what the graph shows beyond its pixels: the description a screen reader reads
// and the tray's live readout, both at most once a second, and the graph's tooltip and
// scale when the options ask for them. User-interface thread only.

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class CGraphFeeder;
class CHistogramCtrl;
class CTrayPresence;
class QWidget;

class CReadoutPublisher : public QObject {
    Q_OBJECT

public:
    static constexpr int kInterval = 1000; // ms between two publications at the most

    // `window` takes the graph's mouse input, and so its tooltip events.
    CReadoutPublisher(QWidget *window, CGraphFeeder &feeder, CHistogramCtrl &graph, CTrayPresence &tray);

    // Reads the notification-area and graph options again; after the options were applied.
    void ApplyOptions();
    // Samples reached the graph: published now, or once the interval is over.
    void OnSamplesFed();
    void Publish();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void PublishTray();

    QWidget *m_window;
    CGraphFeeder &m_feeder;
    CHistogramCtrl &m_graph;
    CTrayPresence &m_tray;
    bool m_bGraphTip = false;
    bool m_bTrayReadout = false;
    QElapsedTimer m_lastPublished;
    QBasicTimer m_pending;
};
