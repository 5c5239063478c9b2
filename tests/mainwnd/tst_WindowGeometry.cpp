#include "FramelessMover.h"
#include "PlacementGeometry.h"

#include <QTest>
#include <QWidget>

class tst_WindowGeometry : public QObject {
    Q_OBJECT

private slots:
    void placementRoundTrips();
    void keepOnScreens_data();
    void keepOnScreens();
    void dragged_data();
    void dragged();
    void edgesOfTheSizingBorder();
};

void tst_WindowGeometry::placementRoundTrips()
{
    const QRect geometry(-30, 40, 240, 80);
    const WndPlacement placement = PlacementOf(geometry);
    QCOMPARE(placement.length, 44u);
    QCOMPARE(placement.showCmd, 1);
    QCOMPARE(placement.left, -30);
    QCOMPARE(placement.right, 210); // right and bottom are exclusive in the stored rectangle
    QCOMPARE(placement.bottom, 120);
    QCOMPARE(NormalRectOf(placement), geometry);
}

void tst_WindowGeometry::keepOnScreens_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("on the primary") << QRect(100, 100, 240, 80) << QRect(100, 100, 240, 80);
    QTest::newRow("on the second") << QRect(2000, 500, 240, 80) << QRect(2000, 500, 240, 80);
    QTest::newRow("mostly off, still grabbable") << QRect(1880, 1040, 240, 80) << QRect(1880, 1040, 240, 80);
    QTest::newRow("a monitor unplugged since") << QRect(5000, 300, 240, 80) << QRect(840, 500, 240, 80);
    QTest::newRow("a sliver left") << QRect(-230, 100, 240, 80) << QRect(840, 500, 240, 80);
    QTest::newRow("larger than the primary") << QRect(-9000, 0, 3000, 2000) << QRect(0, 0, 1920, 1080);
}

void tst_WindowGeometry::keepOnScreens()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, expected);
    const QRect primary(0, 0, 1920, 1080);
    const QList<QRect> screens {primary, QRect(1920, 0, 1280, 1024)};
    QCOMPARE(KeepOnScreens(rect, screens, primary), expected);
}

void tst_WindowGeometry::dragged_data()
{
    QTest::addColumn<int>("edges");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("move") << 0 << QPoint(30, -20) << QRect(130, 80, 300, 100);
    QTest::newRow("grow right and down") << int(Qt::RightEdge | Qt::BottomEdge) << QPoint(50, 40)
                                         << QRect(100, 100, 350, 140);
    QTest::newRow("shrink past the minimum from the right")
        << int(Qt::RightEdge | Qt::BottomEdge) << QPoint(-200, -100) << QRect(100, 100, 240, 80);
    QTest::newRow("shrink past the minimum from the left")
        << int(Qt::LeftEdge | Qt::TopEdge) << QPoint(200, 100) << QRect(160, 120, 240, 80);
    QTest::newRow("grow from the left") << int(Qt::LeftEdge) << QPoint(-25, 10) << QRect(75, 100, 325, 100);
}

void tst_WindowGeometry::dragged()
{
    QFETCH(int, edges);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    const QRect start(100, 100, 300, 100);
    QCOMPARE(FramelessMover::Dragged(start, Qt::Edges(edges), delta, QSize(240, 80)), expected);
}

void tst_WindowGeometry::edgesOfTheSizingBorder()
{
    QWidget window;
    window.resize(240, 80);
    const FramelessMover mover(&window);
    QCOMPARE(mover.EdgesAt(QPoint(120, 40)), Qt::Edges());
    QCOMPARE(mover.EdgesAt(QPoint(0, 40)), Qt::Edges(Qt::LeftEdge));
    QCOMPARE(mover.EdgesAt(QPoint(239, 79)), Qt::Edges(Qt::RightEdge | Qt::BottomEdge));
    QCOMPARE(mover.EdgesAt(QPoint(FramelessMover::kBorder, FramelessMover::kBorder)), Qt::Edges());
    QCOMPARE(mover.EdgesAt(QPoint(3, 0)), Qt::Edges(Qt::LeftEdge | Qt::TopEdge));
}

QTEST_MAIN(tst_WindowGeometry)
#include "tst_WindowGeometry.moc"
