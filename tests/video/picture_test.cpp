#include "video/picture_fit.h"
#include "video/picture_watch.h"
#include "video/window_place.h"

#include <QtTest>

#include <vector>

using namespace tavrin;
using Verdict = PictureWatch::Verdict;

struct Look {
    double position;
    bool decoded;
};
Q_DECLARE_METATYPE(std::vector<Look>)

class PictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void watchWaitsForTheSoundToPlayOn_data();
    void watchWaitsForTheSoundToPlayOn();
    void windowTakesThePicturesShape_data();
    void windowTakesThePicturesShape();
    void windowOpensBesideTheText_data();
    void windowOpensBesideTheText();
};

void PictureTest::watchWaitsForTheSoundToPlayOn_data()
{
    QTest::addColumn<std::vector<Look>>("looks");
    QTest::addColumn<Verdict>("verdict");
    const auto silent = [](std::initializer_list<double> positions) {
        std::vector<Look> looks;
        for (double position : positions)
            looks.push_back({position, false});
        return looks;
    };
    QTest::newRow("a frame at once") << std::vector<Look>{{0.0, true}} << Verdict::Decoding;
    QTest::newRow("a frame after a second")
        << std::vector<Look>{{0, false}, {0.5, false}, {1.0, true}} << Verdict::Decoding;
    QTest::newRow("paused: nothing heard")
        << silent({3.0, 3.0, 3.0, 3.0, 3.0, 3.0, 3.0, 3.0, 3.0, 3.0}) << Verdict::Waiting;
    QTest::newRow("1.75 s heard") << silent({0.0, 0.5, 1.0, 1.5, 1.75}) << Verdict::Waiting;
    QTest::newRow("2 s heard") << silent({0.0, 0.5, 1.0, 1.5, 2.0}) << Verdict::Undecodable;
    QTest::newRow("at 2.0, a look a second") << silent({10.0, 11.0, 12.0}) << Verdict::Undecodable;
    QTest::newRow("seeks forward are not heard") << silent({0.0, 5.0, 10.0, 15.0, 20.0, 25.0}) << Verdict::Waiting;
    QTest::newRow("seeks back are not heard") << silent({9.0, 9.5, 1.0, 1.5, 0.0, 0.5}) << Verdict::Waiting;
    QTest::newRow("heard across a seek") << silent({0.0, 1.0, 30.0, 31.0}) << Verdict::Undecodable;
    QTest::newRow("a late frame") << std::vector<Look>{{0, false}, {1, false}, {2, false}, {2.5, true}}
                                  << Verdict::Decoding;
    QTest::newRow("decoding stays") << std::vector<Look>{{0, true}, {1, false}, {2, false}, {3, false}}
                                    << Verdict::Decoding;
}

void PictureTest::watchWaitsForTheSoundToPlayOn()
{
    QFETCH(std::vector<Look>, looks);
    QFETCH(Verdict, verdict);
    PictureWatch watch;
    Verdict last = Verdict::Waiting;
    for (const Look& look : looks)
        last = watch.look(look.position, look.decoded);
    QCOMPARE(last, verdict);
}

void PictureTest::windowTakesThePicturesShape_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("previous");
    QTest::addColumn<double>("aspect");
    QTest::addColumn<QSize>("fitted");
    const double wide = 16.0 / 9.0;
    QTest::newRow("wider: the height follows") << QSize(960, 360) << QSize(640, 360) << wide << QSize(960, 540);
    QTest::newRow("taller: the width follows") << QSize(640, 720) << QSize(640, 360) << wide << QSize(1280, 720);
    QTest::newRow("corner, mostly wider") << QSize(900, 400) << QSize(640, 360) << wide << QSize(900, 506);
    QTest::newRow("already its shape") << QSize(1280, 720) << QSize(640, 360) << wide << QSize(1280, 720);
    QTest::newRow("first shaping keeps the width")
        << QSize(640, 360) << QSize(640, 360) << 4.0 / 3.0 << QSize(640, 480);
    QTest::newRow("portrait picture") << QSize(400, 400) << QSize(300, 400) << 9.0 / 16.0 << QSize(400, 711);
    QTest::newRow("no aspect known") << QSize(500, 300) << QSize(640, 360) << 0.0 << QSize(500, 300);
}

void PictureTest::windowTakesThePicturesShape()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, previous);
    QFETCH(double, aspect);
    QFETCH(QSize, fitted);
    QCOMPARE(fitToAspect(requested, previous, aspect), fitted);
}

void PictureTest::windowOpensBesideTheText_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<QPoint>("place");
    const QSize main(992, 656);
    const QRect small(0, 0, 1280, 1024);
    const QRect wide(0, 0, 1920, 1080);
    QTest::newRow("room on the right") << wide << QRect(QPoint(100, 100), main) << QRect(100, 130, 992, 420)
                                       << QPoint(1092, 100);
    QTest::newRow("room on the left only")
        << wide << QRect(QPoint(900, 100), main) << QRect(900, 130, 992, 420) << QPoint(258, 100);
    QTest::newRow("room below only") << small << QRect(144, 0, 992, 600) << QRect(144, 30, 992, 400)
                                     << QPoint(638, 600);
    // No room beside it: below the text, over the owner's buttons.
    QTest::newRow("no room: the least of the text")
        << small << QRect(QPoint(144, 184), main) << QRect(144, 214, 992, 420) << QPoint(638, 634);
    QTest::newRow("a screen right of another") << small.translated(1920, 0) << QRect(QPoint(2064, 184), main)
                                               << QRect(2064, 214, 992, 420) << QPoint(2558, 634);
    QTest::newRow("the text fills the screen: the least of it")
        << small << small << QRect(0, 0, 1280, 1000) << QPoint(638, 634);
}

// The video window's size as it first opens, its frame included: 640 × 360 and a title bar.
void PictureTest::windowOpensBesideTheText()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, owner);
    QFETCH(QRect, text);
    QFETCH(QPoint, place);
    const QSize window(642, 390);
    QCOMPARE(placeBeside(screen, owner, text, window), place);
    QVERIFY(screen.contains(QRect(place, window)));
}

QTEST_GUILESS_MAIN(PictureTest)
#include "picture_test.moc"
