#include "speech/draft_progress.h"

#include <QtTest>

using namespace tavrin;

class DraftProgressTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toldAsTheUserReadsIt_data();
    void toldAsTheUserReadsIt();
};

void DraftProgressTest::toldAsTheUserReadsIt_data()
{
    QTest::addColumn<double>("done");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<int>("thousandths");
    QTest::addColumn<QString>("text");
    QTest::newRow("just started: no guess yet") << 0.0 << 3600.0 << 0.5 << 0 << QStringLiteral("已完成 0%");
    QTest::newRow("too soon to guess") << 360.0 << 3600.0 << 1.0 << 100 << QStringLiteral("已完成 10%");
    QTest::newRow("a quarter in 20 s: a minute left")
        << 900.0 << 3600.0 << 20.0 << 250 << QStringLiteral("已完成 25%，约剩 1 分 0 秒");
    QTest::newRow("seconds left, rounded up")
        << 3590.0 << 3600.0 << 60.0 << 997 << QStringLiteral("已完成 99%，约剩 1 秒");
    QTest::newRow("hours left") << 60.0 << 10800.0 << 30.0 << 5 << QStringLiteral("已完成 0%，约剩 1 小时 29 分");
    QTest::newRow("done") << 3600.0 << 3600.0 << 40.0 << 1000 << QStringLiteral("已完成 100%");
    QTest::newRow("past the told length") << 3700.0 << 3600.0 << 40.0 << 1000 << QStringLiteral("已完成 100%");
    QTest::newRow("length not known") << 75.0 << 0.0 << 10.0 << 0 << QStringLiteral("已处理 1 分 15 秒 的录音");
}

void DraftProgressTest::toldAsTheUserReadsIt()
{
    QFETCH(double, done);
    QFETCH(double, total);
    QFETCH(double, elapsed);
    QFETCH(int, thousandths);
    QFETCH(QString, text);
    const DraftProgress progress = draftProgress(done, total, elapsed);
    QCOMPARE(progress.thousandths, thousandths);
    QCOMPARE(progress.text, text);
}

QTEST_APPLESS_MAIN(DraftProgressTest)
#include "draft_progress_test.moc"
