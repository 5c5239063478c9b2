#include "CHistogramCtrl.h"
#include "CHistogramPlot.h"
#include "FontSetup.h"
#include "PixelRaster.h"

#include <QtTest>

#include <map>
#include <memory>
#include <vector>

namespace {

constexpr ColorRef kRed = MakeRgb(255, 0, 0);
constexpr ColorRef kGreen = MakeRgb(0, 255, 0);
constexpr ColorRef kGridH = MakeRgb(0, 0, 200);
constexpr ColorRef kGridV = MakeRgb(200, 200, 0);
constexpr ColorRef kBack = MakeRgb(10, 20, 30);
const char *const kFace = "ＭＳ Ｐゴシック";

// A control of the given size with a plain background, no grid and a fixed range [0, 100].
std::unique_ptr<CHistogramCtrl> MakeCtrl(int width, int height)
{
    auto ctrl = std::make_unique<CHistogramCtrl>();
    ctrl->resize(width, height);
    ctrl->SetBackColor(kBack);
    ctrl->SetGridVisible(0, 0);
    ctrl->SetGridColor(kGridH, kGridV);
    ctrl->SetRange(0, 100);
    return ctrl;
}

// Steps a control so that a series' history gains exactly the given values, oldest first.
// The pending set carries the previous value, so feeding 2h - carried averages to h.
class HistoryFeeder {
public:
    explicit HistoryFeeder(CHistogramCtrl &ctrl) : m_ctrl(ctrl) {}

    void Push(int index, const std::vector<int> &values)
    {
        for (const int value : values) {
            const auto carried = m_carried.find(index);
            const int feed = carried == m_carried.end() ? value : 2 * value - carried->second;
            QVERIFY(m_ctrl.AddValue(index, feed)); // inside the fixed range
            m_ctrl.Step();
            QCOMPARE(m_ctrl.Model().GetHistory(index).Newest(), value);
            m_carried[index] = feed;
        }
    }

private:
    CHistogramCtrl &m_ctrl;
    std::map<int, int> m_carried;
};

std::vector<int> Matching(const QImage &image, bool alongRow, int line, QRgb color)
{
    std::vector<int> found;
    const int count = alongRow ? image.width() : image.height();
    for (int i = 0; i < count; ++i) {
        if ((alongRow ? image.pixel(i, line) : image.pixel(line, i)) == color)
            found.push_back(i);
    }
    return found;
}

// Rows and columns holding pixels that differ from `base` and satisfy `pick`, within `area`.
QRect InkBounds(const QImage &image, const QImage &base, const QRect &area, bool (*pick)(QRgb))
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != base.pixel(x, y) && pick(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Clear of the background's faint blend with antialiased glyph edges.
bool Reddish(QRgb c) { return qRed(c) > qGreen(c) + 60; }
bool Greenish(QRgb c) { return qGreen(c) > qRed(c) + 60; }
bool AnyInk(QRgb) { return true; }

QImage Painted(CHistogramCtrl &ctrl) { return ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32); }

class CountingCtrl : public CHistogramCtrl {
public:
    int m_nPaints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++m_nPaints;
        CHistogramCtrl::paintEvent(event);
    }
};

class PressRecorder : public QWidget {
public:
    int m_nPresses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++m_nPresses; }
};

} // namespace

class tst_CHistogramCtrl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void thinLinesLeaveOutTheirEndPoint_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("pixels");
        QTest::newRow("rising steeply") << QPoint(10, 40) << QPoint(12, 5) << 35;
        QTest::newRow("falling steeply") << QPoint(10, 5) << QPoint(12, 40) << 35;
        QTest::newRow("right to left") << QPoint(40, 10) << QPoint(5, 12) << 35;
        QTest::newRow("left to right") << QPoint(5, 12) << QPoint(40, 10) << 35;
        QTest::newRow("straight up") << QPoint(20, 30) << QPoint(20, 2) << 28;
        QTest::newRow("diagonal up left") << QPoint(30, 30) << QPoint(10, 10) << 20;
        QTest::newRow("zero length") << QPoint(7, 7) << QPoint(7, 7) << 0;
        QTest::newRow("far outside") << QPoint(-1000000, 25) << QPoint(1000000, 25) << 50;
    }
    void thinLinesLeaveOutTheirEndPoint()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, pixels);
        PixelRaster raster;
        QVERIFY(raster.Resize(50, 50, 1));
        raster.Fill(qRgb(0, 0, 0));
        const QRgb ink = qRgb(255, 255, 255);
        raster.DrawThinLine(from, to, ink);
        const QImage &image = raster.Image();
        if (image.rect().contains(to))
            QVERIFY(image.pixel(to) != ink);
        if (image.rect().contains(from) && from != to)
            QCOMPARE(image.pixel(from), ink);
        // One pixel per step of the longer axis, each within half a pixel of the true course.
        const QPoint d = to - from;
        int count = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                if (image.pixel(x, y) != ink)
                    continue;
                ++count;
                const double across = std::abs(double(d.y()) * (x - from.x()) - double(d.x()) * (y - from.y()));
                QVERIFY(across / std::max(std::abs(d.x()), std::abs(d.y())) <= 0.5);
            }
        }
        QCOMPARE(count, pixels);
    }

    void rasterWorksInLogicalPixelsAtRatioTwo()
    {
        PixelRaster raster;
        QVERIFY(raster.Resize(10, 10, 2));
        raster.Fill(qRgb(0, 0, 0));
        const QImage &image = raster.Image();
        QCOMPARE(image.size(), QSize(20, 20));
        const QRgb ink = qRgb(255, 255, 255);
        raster.DrawThinLine(QPoint(5, 1), QPoint(5, 5), ink); // 4 logical pixels, 2 x 2 each
        QCOMPARE(Matching(image, false, 10, ink), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(Matching(image, true, 2, ink), (std::vector<int>{10, 11}));
        raster.ScrollLeft(2);
        QCOMPARE(Matching(image, true, 2, ink), (std::vector<int>{6, 7}));
        raster.DrawColumn(9, ink);
        QCOMPARE(Matching(image, true, 0, ink), (std::vector<int>{18, 19}));
    }

    void newestValueSitsAtTheRightEdge_data()
    {
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<int>("lastColumn");
        QTest::newRow("width 1 stops before its end point") << 1 << 97;
        QTest::newRow("width 3 is centred on it") << 3 << 99;
    }
    void newestValueSitsAtTheRightEdge()
    {
        QFETCH(int, penWidth);
        QFETCH(int, lastColumn);
        auto ctrl = MakeCtrl(100, 100);
        ctrl->SetSeries(0, kRed, penWidth, "", kFace, 80, 1);
        HistoryFeeder(*ctrl).Push(0, {30, 30, 30});
        const std::vector<int> columns = Matching(ctrl->BackBuffer(), true, 70, RgbOf(kRed));
        QVERIFY(!columns.empty());
        QCOMPARE(columns.back(), lastColumn);
        if (penWidth == 3)
            QCOMPARE(Matching(ctrl->BackBuffer(), false, 98, RgbOf(kRed)), (std::vector<int>{69, 70, 71}));
    }

    void rebuildDrawsTheVisibleHistory_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("firstColumn");
        QTest::newRow("60 values: 49 segments from x = 0") << 60 << 0;
        QTest::newRow("50 values: 49 segments from x = 0") << 50 << 0;
        QTest::newRow("49 values: 48 segments from x = 2") << 49 << 2;
        QTest::newRow("one value: nothing") << 1 << -1;
    }
    void rebuildDrawsTheVisibleHistory()
    {
        QFETCH(int, length);
        QFETCH(int, firstColumn);
        auto ctrl = MakeCtrl(100, 100);
        ctrl->SetSeries(0, kRed, 1, "", kFace, 80, 1);
        std::vector<int> values; // the k-th newest is 10 + k
        for (int k = length - 1; k >= 0; --k)
            values.push_back(10 + k);
        HistoryFeeder(*ctrl).Push(0, values);
        QVERIFY(ctrl->RebuildBuffer());
        int first = -1;
        for (int x = 99; x >= 0; --x)
            if (!Matching(ctrl->BackBuffer(), false, x, RgbOf(kRed)).empty())
                first = x;
        QCOMPARE(first, firstColumn);
        if (firstColumn >= 0) // the oldest segment starts at the row of value k = (98 - x) / 2
            QCOMPARE(Matching(ctrl->BackBuffer(), false, first, RgbOf(kRed)),
                     std::vector<int>{100 - (10 + (98 - first) / 2)});
    }

    void narrowControlsStillStep_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("penWidth");
        QTest::newRow("3 px, width 1") << 3 << 1;
        QTest::newRow("3 px, width 3") << 3 << 3;
        QTest::newRow("1 px, width 3") << 1 << 3;
    }
    void narrowControlsStillStep()
    {
        QFETCH(int, width);
        QFETCH(int, penWidth);
        auto ctrl = MakeCtrl(width, 20);
        ctrl->SetSeries(0, kRed, penWidth, "", kFace, 80, 1);
        HistoryFeeder(*ctrl).Push(0, {50, 50, 50}); // each step draws into its strip
        QVERIFY(!Matching(ctrl->BackBuffer(), false, 0, RgbOf(kRed)).empty());
        QVERIFY(ctrl->RebuildBuffer()); // too narrow for a whole segment: none drawn
        QVERIFY(Matching(ctrl->BackBuffer(), false, 0, RgbOf(kRed)).empty());
    }

    void automaticRangeIsFittedBeforeTheStep()
    {
        auto ctrl = MakeCtrl(100, 100);
        ctrl->SetRange(0, 0);
        ctrl->SetSeries(0, kRed, 3, "", kFace, 80, 1);
        ctrl->AddValue(0, 1000);
        ctrl->Step(); // drawn far above the plot while the range is still [0, 10]
        QVERIFY(Matching(ctrl->BackBuffer(), false, 98, RgbOf(kRed)).empty());
        ctrl->Step(); // [0, 1100] first, then the segment at row 100 - 1000 * 100 / 1100
        QCOMPARE(ctrl->Model().GetMaximum(), 1100);
        QCOMPARE(Matching(ctrl->BackBuffer(), false, 98, RgbOf(kRed)), (std::vector<int>{9, 10, 11}));
    }

    void verticalGridFollowsThePhase_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<std::vector<int>>("columns");
        QTest::newRow("fresh") << 0 << std::vector<int>{0, 20, 40, 60, 80};
        QTest::newRow("one step") << 1 << std::vector<int>{18, 38, 58, 78, 98};
        QTest::newRow("phase 20 is kept") << 10 << std::vector<int>{0, 20, 40, 60, 80};
        QTest::newRow("then wraps to 2") << 11 << std::vector<int>{18, 38, 58, 78, 98};
    }
    void verticalGridFollowsThePhase()
    {
        QFETCH(int, steps);
        QFETCH(std::vector<int>, columns);
        auto ctrl = MakeCtrl(100, 50);
        ctrl->SetGridVisible(0, 1);
        for (int i = 0; i < steps; ++i)
            ctrl->Step();
        QCOMPARE(Matching(ctrl->BackBuffer(), true, 25, RgbOf(kGridV)), columns);
        ctrl->RebuildBuffer(); // the phase survives a rebuild
        QCOMPARE(Matching(ctrl->BackBuffer(), true, 25, RgbOf(kGridV)), columns);
    }

    void stepDrawsBackgroundAndGridInTheStrip()
    {
        auto ctrl = MakeCtrl(101, 50);
        ctrl->SetGridVisible(1, 1);
        const std::vector<int> gridRows{0, 20, 40}; // one on the top row, none at y = H
        QCOMPARE(Matching(ctrl->BackBuffer(), false, 50, RgbOf(kGridH)), gridRows);
        QCOMPARE(Matching(ctrl->BackBuffer(), false, 100, RgbOf(kGridV)).size(), size_t(50));
        ctrl->Step(); // the vertical line moves from 100 to 98; none falls into the strip
        QCOMPARE(Matching(ctrl->BackBuffer(), false, 98, RgbOf(kGridV)).size(), size_t(50));
        for (const int x : {99, 100}) {
            QCOMPARE(Matching(ctrl->BackBuffer(), false, x, RgbOf(kGridH)), gridRows);
            QCOMPARE(Matching(ctrl->BackBuffer(), false, x, RgbOf(kBack)).size(), size_t(47));
        }
    }

    void laterSeriesCoverEarlierOnesAndTheGrid_data()
    {
        QTest::addColumn<bool>("configureSeries1First");
        QTest::newRow("configured in order") << false;
        QTest::newRow("configured in reverse") << true;
    }
    void laterSeriesCoverEarlierOnesAndTheGrid()
    {
        QFETCH(bool, configureSeries1First);
        auto ctrl = MakeCtrl(100, 100);
        ctrl->SetGridVisible(1, 1);
        for (const int index : configureSeries1First ? std::vector{1, 0} : std::vector{0, 1})
            ctrl->SetSeries(index, index == 0 ? kRed : kGreen, 3, "", kFace, 80, 1);
        for (int i = 0; i < 4; ++i) {
            ctrl->AddValue(0, 80);
            ctrl->AddValue(1, 80);
            ctrl->Step();
        }
        // Row 20 is a grid row; the lines lie on it in both the steps and a rebuild.
        QCOMPARE(ctrl->BackBuffer().pixel(95, 20), RgbOf(kGreen));
        QCOMPARE(ctrl->BackBuffer().pixel(95, 21), RgbOf(kGreen));
        ctrl->SetSeries(1, kGreen, 3, "", kFace, 80, 0);
        QCOMPARE(ctrl->BackBuffer().pixel(95, 20), RgbOf(kRed));
    }

    void stepsDrawWhatARebuildDraws_data()
    {
        QTest::addColumn<std::vector<int>>("values");
        QTest::newRow("sawtooth") << std::vector<int>{0, 90, 10, 80, 20, 70, 30, 60, 40, 50};
        QTest::newRow("steep edges") << std::vector<int>{5, 5, 95, 95, 5, 5, 95, 5, 95, 5};
        QTest::newRow("flat") << std::vector<int>{33, 33, 33, 33, 33, 33};
    }
    void stepsDrawWhatARebuildDraws()
    {
        QFETCH(std::vector<int>, values);
        auto ctrl = MakeCtrl(60, 100);
        ctrl->SetGridVisible(1, 1);
        ctrl->SetGridSize(7, 9);
        ctrl->SetSeries(0, kRed, 1, "", kFace, 80, 1);
        for (int round = 0; round < 4; ++round) {
            for (const int value : values) {
                ctrl->AddValue(0, value);
                ctrl->Step();
            }
        }
        // Column 0 differs by design: a rebuild leaves out the segment that starts left of
        // the plot, while the steps have scrolled its right end into view.
        const QRect compared(1, 0, 59, 100);
        const QImage stepped = ctrl->BackBuffer().copy(compared);
        QVERIFY(ctrl->RebuildBuffer());
        QCOMPARE(ctrl->BackBuffer().copy(compared), stepped);
    }

    void stepsMatchARedrawAtEveryPixelRatio_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("thin"); // device pixels across a width-1 line
        QTest::newRow("100 %") << 1.0 << 1;
        QTest::newRow("125 %") << 1.25 << 1;
        QTest::newRow("150 %") << 1.5 << 2;
        QTest::newRow("175 %") << 1.75 << 2;
        QTest::newRow("200 %") << 2.0 << 2;
    }
    void stepsMatchARedrawAtEveryPixelRatio()
    {
        QFETCH(qreal, ratio);
        QFETCH(int, thin);
        constexpr int kXStep = 7;
        constexpr int kYStep = 9;
        CHistogramModel model;
        model.SetClientSize(61, 50);
        model.SetRange(0, 100);
        model.SetGridSize(kXStep, kYStep);
        CHistogramPlot plot;
        plot.SetBackColor(kBack);
        plot.SetGridColors(kGridH, kGridV);
        // A wide series in the lower half and a thin one in the upper half, clear of each other.
        plot.SetSeriesPen(0, kRed, 3);
        plot.SetSeriesPen(1, kGreen, 1);
        model.SetEnabled(0, 1);
        model.SetEnabled(1, 1);
        QVERIFY(plot.Redraw(model, ratio));
        const std::vector<int> wave{0, 40, 5, 35, 10, 30, 20, 20, 40, 0, 40, 0, 13};
        // Left of this the steps show what they scrolled in and a redraw leaves out.
        const int left = qCeil(4 * ratio) + 1;
        int phase = 0;
        for (int step = 0; step < 40; ++step) {
            model.AddValue(0, wave[step % wave.size()]);
            model.AddValue(1, 60 + wave[(step + 5) % wave.size()]);
            plot.DrawStep(model, model.Step());
            for (phase += 2; phase > kXStep;)
                phase -= kXStep;
            if (step == 0)
                continue; // the first step's dot is no segment a redraw of one value could draw
            const QImage stepped = plot.Image().copy();
            QVERIFY(plot.Redraw(model, ratio));
            const QRect compared(left, 0, stepped.width() - left, stepped.height());
            QVERIFY2(plot.Image().copy(compared) == stepped.copy(compared),
                     qPrintable(QStringLiteral("step %1").arg(step)));
        }
        // The grid alone: lines at x * ratio, give or take the fraction the scrolls carry, and
        // rows at y * ratio, all `thin` device pixels thick.
        model.SetEnabled(0, 0);
        model.SetEnabled(1, 0);
        QVERIFY(plot.Redraw(model, ratio));
        const auto runs = [&](bool alongRow, int line, QRgb color) {
            std::vector<std::pair<int, int>> found; // first pixel, length
            for (const int i : Matching(plot.Image(), alongRow, line, color)) {
                if (!found.empty() && found.back().first + found.back().second == i)
                    ++found.back().second;
                else
                    found.emplace_back(i, 1);
            }
            return found;
        };
        std::vector<int> lines; // the logical columns of the lines clear of the left edge
        for (int x = -phase; x < 61; x += kXStep)
            if (x > 0)
                lines.push_back(x);
        auto columns = runs(true, qFloor(4 * ratio), RgbOf(kGridV));
        if (!columns.empty() && columns.front().first == 0)
            columns.erase(columns.begin());
        QCOMPARE(columns.size(), lines.size());
        for (std::size_t j = 0; j < columns.size(); ++j) {
            QCOMPARE(columns[j].second, thin);
            QVERIFY(qAbs(columns[j].first - lines[j] * ratio) < 1);
        }
        const auto rows = runs(false, columns[0].first + thin, RgbOf(kGridH));
        QCOMPARE(int(rows.size()), (50 - 1) / kYStep + 1);
        for (std::size_t j = 0; j < rows.size(); ++j)
            QCOMPARE(rows[j], std::make_pair(qFloor(int(j) * kYStep * ratio), thin));
    }

    void textLinesStackBelowEachOther()
    {
        auto ctrl = MakeCtrl(200, 100);
        ctrl->SetSeries(0, kRed, 1, "Mg", kFace, 80, 1);
        ctrl->SetSeries(1, kRed, 1, "Mg", kFace, 80, 0); // disabled: no line of its own
        ctrl->SetSeries(2, kGreen, 1, "Mg", kFace, 80, 1);
        ctrl->SetValueText(2, 0, "%d", 77);
        QFont font(QString::fromUtf8(kFace));
        font.setPixelSize(ctrl->logicalDpiY() * 80 / 720);
        const int h = QFontMetrics(font).height();
        const QImage painted = Painted(*ctrl);
        const QImage &plot = ctrl->BackBuffer();
        const QRect first = InkBounds(painted, plot, QRect(0, 0, 100, 100), Reddish);
        const QRect second = InkBounds(painted, plot, QRect(0, 0, 100, 100), Greenish);
        // Same font and text: the second line's ink sits exactly h + 2 below the first's.
        QVERIFY(first.top() >= 2 && first.bottom() < 2 + h);
        QCOMPARE(second.top() - first.top(), h + 2);
        QCOMPARE(second.height(), first.height());
        const QRect value = InkBounds(painted, plot, QRect(100, 0, 100, 100), Greenish);
        QVERIFY(value.left() >= 101 && value.right() < 196 && value.right() > 180);
        QCOMPARE(value.top(), second.top());
    }

    void overlongTextEndsInAnEllipsis_data()
    {
        QTest::addColumn<int>("repeat");
        QTest::addColumn<bool>("asValue");
        QTest::addColumn<bool>("ellipsis");
        QTest::newRow("short label") << 3 << false << false;
        QTest::newRow("long label") << 40 << false << true;
        QTest::newRow("short value") << 3 << true << false;
        QTest::newRow("long value") << 40 << true << true;
    }
    void overlongTextEndsInAnEllipsis()
    {
        QFETCH(int, repeat);
        QFETCH(bool, asValue);
        QFETCH(bool, ellipsis);
        auto ctrl = MakeCtrl(160, 40);
        const QString text(repeat, QLatin1Char('H'));
        ctrl->SetSeries(0, kRed, 1, asValue ? "" : qPrintable(text), kFace, 80, 1);
        if (asValue)
            ctrl->SetValueText(0, 0, text);
        const QRect area = asValue ? QRect(81, 0, 75, 40) : QRect(0, 0, 160, 40);
        const QImage painted = Painted(*ctrl);
        const QRect ink = InkBounds(painted, ctrl->BackBuffer(), area, AnyInk);
        QVERIFY(ink.isValid() && area.contains(ink));
        // H ends in a full-height stem; an ellipsis ends in a dot.
        const QRect tail = InkBounds(painted, ctrl->BackBuffer(), QRect(ink.right(), 0, 1, 40), AnyInk);
        QCOMPARE(tail.height() < ink.height() / 2, ellipsis);
    }

    void paintLeavesTheBackBufferAlone()
    {
        auto ctrl = MakeCtrl(120, 60);
        ctrl->SetSeries(0, kRed, 3, "Bytes Received/sec", kFace, 80, 1);
        ctrl->SetValueText(0, 0, "%d.%03d KB/s", 1, 500);
        HistoryFeeder(*ctrl).Push(0, {10, 50, 90});
        const QImage before = ctrl->BackBuffer().copy();
        const QImage painted = Painted(*ctrl);
        QCOMPARE(ctrl->BackBuffer(), before);
        QVERIFY(InkBounds(painted, before, painted.rect(), AnyInk).isValid());
        // The formatted text reads the same as a ready string.
        ctrl->SetValueText(0, 0, QStringLiteral("1.500 KB/s"));
        QCOMPARE(Painted(*ctrl), painted);
        const QString wide(300, QLatin1Char('x'));
        ctrl->SetValueText(0, 0, "%s", qPrintable(wide));
        const QImage formatted = Painted(*ctrl);
        ctrl->SetValueText(0, 0, wide);
        QCOMPARE(Painted(*ctrl), formatted);
    }

    void seriesWithoutLabelOrFaceIsRefused()
    {
        auto ctrl = MakeCtrl(100, 50);
        QCOMPARE(ctrl->SetSeries(0, kRed, 1, nullptr, kFace, 80, 1), 0);
        QCOMPARE(ctrl->SetSeries(0, kRed, 1, "label", nullptr, 80, 1), 0);
        QCOMPARE(ctrl->SetSeries(10, kRed, 1, "label", kFace, 80, 1), 0);
        QCOMPARE(ctrl->Model().IsEnabled(0), 0);
        QCOMPARE(ctrl->SetValueText(10, 1, "%d", 5), 0);
        QCOMPARE(ctrl->SetSeries(0, kRed, 1, "", kFace, 80, 1), 1); // empty is not missing
    }

    void resizeRedrawsAndKeepsTheHistory()
    {
        auto ctrl = MakeCtrl(100, 100);
        ctrl->SetSeries(0, kRed, 3, "", kFace, 80, 1);
        HistoryFeeder(*ctrl).Push(0, {30, 30, 30});
        ctrl->show();
        QVERIFY(QTest::qWaitForWindowExposed(ctrl.get()));
        ctrl->resize(150, 100);
        QCOMPARE(ctrl->BackBuffer().size(), QSize(150, 100));
        QCOMPARE(ctrl->Model().GetHistory(0).Size(), size_t(3));
        QCOMPARE(ctrl->BackBuffer().pixel(148, 70), RgbOf(kRed));
        ctrl->resize(0, 100); // no plot, but the steps go on
        ctrl->Step();
        QCOMPARE(ctrl->Model().GetHistory(0).Size(), size_t(4));
    }

    void updatesOffDuringConfigurationThenOneRepaint()
    {
        CountingCtrl ctrl;
        ctrl.resize(120, 60);
        ctrl.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ctrl));
        ctrl.setUpdatesEnabled(false);
        ctrl.m_nPaints = 0;
        ctrl.SetBackColor(kBack);
        ctrl.SetSeries(0, kRed, 1, "label", kFace, 80, 1);
        ctrl.RebuildBuffer();
        QTest::qWait(30);
        QCOMPARE(ctrl.m_nPaints, 0);
        QCOMPARE(ctrl.BackBuffer().pixel(5, 50), RgbOf(kBack)); // the plot was redrawn all the same
        ctrl.setUpdatesEnabled(true);
        QTRY_VERIFY(ctrl.m_nPaints > 0);
    }

    void scrollTimerStepsUntilStopped()
    {
        auto ctrl = MakeCtrl(100, 50);
        ctrl->SetSeries(0, kRed, 1, "", kFace, 80, 1);
        QCOMPARE(ctrl->SetStepInterval(5), 1);
        QCOMPARE(ctrl->SetStepInterval(10), 1);
        QTRY_VERIFY(ctrl->Model().GetHistory(0).Size() >= 3);
        QCOMPARE(ctrl->SetStepInterval(0), 1);
        const size_t stopped = ctrl->Model().GetHistory(0).Size();
        QTest::qWait(50);
        QCOMPARE(ctrl->Model().GetHistory(0).Size(), stopped);
    }

    void mouseInputReachesTheParent()
    {
        PressRecorder parent;
        parent.resize(200, 100);
        auto *ctrl = new CHistogramCtrl(&parent);
        ctrl->setGeometry(10, 10, 180, 80);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QCOMPARE(parent.childAt(100, 50), nullptr); // the hit test passes over the graph
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(100, 50));
        QTRY_COMPARE(parent.m_nPresses, 1);
    }
};

QTEST_MAIN(tst_CHistogramCtrl)
#include "tst_CHistogramCtrl.moc"
