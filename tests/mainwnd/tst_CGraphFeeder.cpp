#include "CGraphFeeder.h"
#include "CHistogramCtrl.h"
#include "CSetSystem.h"
#include "TempDir.h"

#include <QTest>

#include <thread>

class tst_CGraphFeeder : public QObject {
    Q_OBJECT

private slots:
    void aQueuedCycleReachesTheGraphByItself();
};

// No timer looks for samples: the thread that queues a cycle wakes the feeder.
void tst_CGraphFeeder::aQueuedCycleReachesTheGraphByItself()
{
    TempDir dir;
    WriteFile(dir.File("corvala.ini"), "[CNTDATA_1]\nENABLE=1\n");
    theSetSystem.Load(dir.File("corvala.ini"));
    CHistogramCtrl graph;
    CGraphFeeder feeder(graph);
    feeder.ApplyGraphSettings(false);
    plat::FmtCounterValue value {};
    value.largeValue = 1024;
    std::thread([&] { feeder.Sampler().AppendSample(CounterSample::Make(0, plat::PDH_FMT_LARGE, value)); }).join();
    QTRY_COMPARE(graph.ValueText(0), QStringLiteral("1.000 KB/s"));
}

QTEST_MAIN(tst_CGraphFeeder)
#include "tst_CGraphFeeder.moc"
