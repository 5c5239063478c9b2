#include "CGraphFeeder.h"
#include "CHistogramCtrl.h"
#include "COptionPage.h"
#include "CSetSystem.h"
#include "TempDir.h"

#include <QTest>

#include <thread>

class tst_CGraphFeeder : public QObject {
    Q_OBJECT

private slots:
    void aQueuedCycleReachesTheGraphByItself();
    void appliedReadoutOptionsSetTextsAndGraphUnits_data();
    void appliedReadoutOptionsSetTextsAndGraphUnits();
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

void tst_CGraphFeeder::appliedReadoutOptionsSetTextsAndGraphUnits_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("graphed");
    QTest::newRow("defaults") << "" << "1.500 KB/s" << 1536;
    QTest::newRow("bits") << "RATE_UNIT=1\n" << "12.000 Kbit/s" << 12;
    QTest::newRow("bits, steps of 1000") << "RATE_UNIT=1\nRATE_BASE=1000\n" << "12.288 kbit/s" << 12;
    QTest::newRow("steps of 1000") << "RATE_BASE=1000\n" << "1.536 kB/s" << 1;
    QTest::newRow("one decimal") << "RATE_DECIMALS=1\n" << "1.5 KB/s" << 1536;
}

// The options are read again when the fourth page was applied; the graph then plots in the
// step's units and its history starts anew.
void tst_CGraphFeeder::appliedReadoutOptionsSetTextsAndGraphUnits()
{
    QFETCH(QString, extra);
    TempDir dir;
    const std::string ini = dir.File("corvala.ini");
    WriteFile(ini, "[CNTDATA_1]\nENABLE=1\n");
    theSetSystem.Load(ini);
    CHistogramCtrl graph;
    graph.resize(200, 80);
    CGraphFeeder feeder(graph);
    feeder.ApplyGraphSettings(false);
    WriteFile(ini, "[CNTDATA_1]\nENABLE=1\n[CORVALA_EXTRA]\n" + extra.toStdString());
    theSetSystem.m_Extra.Load(ini);
    feeder.OnOptionsApplied(kPageExtension);
    plat::FmtCounterValue value {};
    value.largeValue = 1536;
    feeder.Sampler().AppendSample(CounterSample::Make(0, plat::PDH_FMT_LARGE, value));
    QVERIFY(feeder.DrainSamples());
    graph.Step();
    QTEST(graph.ValueText(0), "text");
    QCOMPARE(graph.Model().GetHistory(0).Size(), std::size_t {1});
    QTEST(int(graph.Model().GetHistory(0).Newest()), "graphed");
}

QTEST_MAIN(tst_CGraphFeeder)
#include "tst_CGraphFeeder.moc"
