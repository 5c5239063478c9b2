#include "CGraphFeeder.h"
#include "CHistogramCtrl.h"
#include "CSetSystem.h"
#include "TempDir.h"

#include <QTest>

#include <climits>
#include <thread>

namespace {

CounterSample Large(int index, std::int64_t value)
{
    plat::FmtCounterValue fmt {};
    fmt.largeValue = value;
    return CounterSample::Make(index, plat::PDH_FMT_LARGE, fmt);
}

CounterSample Double(int index, double value)
{
    plat::FmtCounterValue fmt {};
    fmt.doubleValue = value;
    return CounterSample::Make(index, plat::PDH_FMT_DOUBLE, fmt);
}

std::int32_t Newest(const CHistogramCtrl &graph, int index)
{
    const auto &history = graph.Model().GetHistory(index);
    return history.Empty() ? INT_MIN : history.Newest();
}

} // namespace

class tst_CGraphFeeder : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void feedsEnabledCountersOnly();
    void hugeRatesShowAsTheGraphsCeiling();
    void endOfSamplingBringsValuesToZero();
    void aQueuedCycleReachesTheGraphByItself();
    void optionsAppliedRebuildsOrKeepsHistory();

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<CHistogramCtrl> m_graph;
    std::unique_ptr<CGraphFeeder> m_feeder;
};

void tst_CGraphFeeder::init()
{
    m_dir = std::make_unique<TempDir>();
    const std::string ini = m_dir->File("corvala.ini");
    // A long pause keeps the sampling thread, where one runs, out of the way.
    WriteFile(ini, "[TIME]\nCOUNTER_WAIT=60000\n[CNTBASE]\nINS_NAME=\"lo\"\n"
                   "[CNTDATA_1]\nENABLE=1\n[CNTDATA_2]\nENABLE=1\n");
    theSetSystem.Load(ini);
    m_graph = std::make_unique<CHistogramCtrl>();
    m_graph->resize(200, 80);
    m_feeder = std::make_unique<CGraphFeeder>(*m_graph);
    m_feeder->ApplyGraphSettings(false);
    m_graph->SetStepInterval(0); // steps by hand below
}

void tst_CGraphFeeder::cleanup()
{
    m_feeder.reset();
    m_graph.reset();
    m_dir.reset();
}

void tst_CGraphFeeder::feedsEnabledCountersOnly()
{
    CCounterSampler &exchange = m_feeder->Sampler();
    exchange.AppendSample(Large(0, 1000));
    exchange.AppendSample(Large(0, 2072)); // two in one drain: both averaged, the last one's text stands
    exchange.AppendSample(Double(1, 1023.9));
    exchange.AppendSample(Large(2, 777)); // counter 3 is not enabled
    exchange.AppendSample(Large(12, 5));  // no such counter
    CounterSample odd = Large(1, 99);
    odd.m_nFormat = 0x800; // no such format
    exchange.AppendSample(odd);
    QVERIFY(m_feeder->DrainSamples());

    QCOMPARE(m_graph->ValueText(0), QStringLiteral("2.023 KB/s"));
    QCOMPARE(m_graph->ValueText(1), QStringLiteral("1023 B/s"));
    QCOMPARE(m_graph->ValueText(2), QString());
    m_graph->Step();
    QCOMPARE(Newest(*m_graph, 0), (1000 + 2072) / 2);
    QCOMPARE(Newest(*m_graph, 1), 1023);

    // A drain of an empty queue changes nothing.
    QVERIFY(!m_feeder->DrainSamples());
    QCOMPARE(m_graph->ValueText(0), QStringLiteral("2.023 KB/s"));
}

// Rates of 2 GiB/s and more used to reach the graph as their low 32 bits.
void tst_CGraphFeeder::hugeRatesShowAsTheGraphsCeiling()
{
    m_feeder->Sampler().AppendSample(Large(0, 5'000'000'000));
    m_feeder->Sampler().AppendSample(Large(1, 4'294'967'296 + 10)); // low bits alone would read 10
    m_feeder->DrainSamples();
    m_graph->Step();
    QCOMPARE(Newest(*m_graph, 0), INT_MAX);
    QCOMPARE(Newest(*m_graph, 1), INT_MAX);
    QCOMPARE(m_graph->ValueText(0), QStringLiteral("4768.371 MB/s"));
    QVERIFY(m_graph->Model().GetMaximum() > 0);
}

void tst_CGraphFeeder::endOfSamplingBringsValuesToZero()
{
    QCOMPARE(m_feeder->Sampler().Start(), 1);
    m_feeder->Sampler().AppendSample(Large(0, 4096));
    m_feeder->Sampler().AppendSample(Large(1, 4096));
    m_feeder->DrainSamples();
    QCOMPARE(m_graph->ValueText(1), QStringLiteral("4.000 KB/s"));
    m_feeder->Sampler().Stop();
    m_feeder->DrainSamples();
    QCOMPARE(m_graph->ValueText(0), QStringLiteral("0 B/s"));
    QCOMPARE(m_graph->ValueText(1), QStringLiteral("0 B/s"));
}

// No timer looks for samples: the thread that queues a cycle wakes the feeder.
void tst_CGraphFeeder::aQueuedCycleReachesTheGraphByItself()
{
    std::thread([this] { m_feeder->Sampler().AppendSample(Large(0, 1024)); }).join();
    QTRY_COMPARE(m_graph->ValueText(0), QStringLiteral("1.000 KB/s"));
}

void tst_CGraphFeeder::optionsAppliedRebuildsOrKeepsHistory()
{
    auto fillHistory = [this] {
        m_graph->AddValue(0, 5);
        m_graph->Step();
        m_graph->Step();
    };
    fillHistory();
    m_feeder->OnOptionsApplied(3);
    QVERIFY(!m_graph->Model().GetHistory(0).Empty());
    QVERIFY(!m_feeder->Sampler().GetRebuildFlag());

    for (int page : {1, 2}) {
        fillHistory();
        m_feeder->Sampler().SetRebuildFlag(false);
        m_feeder->OnOptionsApplied(page);
        QVERIFY(m_graph->Model().GetHistory(0).Empty());
        QVERIFY(m_feeder->Sampler().GetRebuildFlag());
    }

    // The graph takes what the pages stored.
    theSetSystem.m_CntBase.SetGridSizeH(10);
    theSetSystem.m_CntBase.SetGridSizeV(8);
    theSetSystem.m_CntData[0].SetEnable(0);
    m_feeder->OnOptionsApplied(2);
    QCOMPARE(m_graph->Model().GetXStep(), 10);
    QCOMPARE(m_graph->Model().GetYStep(), 8);
    QVERIFY(!m_graph->Model().IsEnabled(0));
}

QTEST_MAIN(tst_CGraphFeeder)
#include "tst_CGraphFeeder.moc"
