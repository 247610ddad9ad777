// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/EdgeAnchors.h"

#include <QTest>
#include <QWidget>

using namespace q7;

class TestEdgeAnchors : public QObject
{
    Q_OBJECT

private slots:
    void widgetsFollowTheEdgesTheyAreAnchoredTo_data();
    void widgetsFollowTheEdgesTheyAreAnchoredTo();
};

void TestEdgeAnchors::widgetsFollowTheEdgesTheyAreAnchoredTo_data()
{
    using E = EdgeAnchors;
    QTest::addColumn<int>("edges");
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<QRect>("expected");
    const QSize grown(300, 200); // 100 wider, 50 taller than drawn
    QTest::newRow("left and top stay") << (E::Left | E::Top) << grown << QRect(10, 20, 30, 40);
    QTest::newRow("all four edges take the room")
        << (E::Left | E::Top | E::Right | E::Bottom) << grown << QRect(10, 20, 130, 90);
    QTest::newRow("right and bottom move")
        << (E::Right | E::Bottom) << grown << QRect(110, 70, 30, 40);
    QTest::newRow("a row at the bottom stretches")
        << (E::Left | E::Right | E::Bottom) << grown << QRect(10, 70, 130, 40);
    QTest::newRow("smaller than drawn moves nothing")
        << (E::Left | E::Top | E::Right | E::Bottom) << QSize(150, 100) << QRect(10, 20, 30, 40);
}

void TestEdgeAnchors::widgetsFollowTheEdgesTheyAreAnchoredTo()
{
    QFETCH(int, edges);
    QFETCH(QSize, windowSize);
    QFETCH(QRect, expected);
    QWidget window;
    window.resize(200, 150);
    auto* child = new QWidget(&window);
    child->setGeometry(10, 20, 30, 40);
    EdgeAnchors anchors(&window, QSize(200, 150));
    anchors.anchor(child, edges);

    window.resize(windowSize);
    window.show(); // resize events reach hidden windows only once shown
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(child->geometry(), expected);

    window.resize(200, 150);
    QTRY_COMPARE(child->geometry(), QRect(10, 20, 30, 40));
}

QTEST_MAIN(TestEdgeAnchors)
#include "tst_edgeanchors.moc"
