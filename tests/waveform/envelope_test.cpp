// The envelope's scale, its pixel columns, and snapshots while it grows.
#include "waveform/envelope.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace tavrin;

Q_DECLARE_METATYPE(std::vector<tavrin::EnvelopeValue>)

namespace {

std::vector<EnvelopeValue> repeated(EnvelopeValue value, int count)
{
    return std::vector<EnvelopeValue>(std::size_t(count), value);
}

Envelope completeEnvelope(const std::vector<EnvelopeValue>& values)
{
    EnvelopeWriter writer(double(values.size()) / kEnvelopeValuesPerSecond);
    writer.append(values);
    writer.finish();
    return writer.snapshot();
}

} // namespace

class EnvelopeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void levelsFollowTheSquareRoot_data();
    void levelsFollowTheSquareRoot();
    void columnsTakeTheLargestPeakAndTheRootMeanSquare_data();
    void columnsTakeTheLargestPeakAndTheRootMeanSquare();
    void widerThanTheValuesRepeatsThem();
    void pastTheEndOfACompleteEnvelopeIsSilent();
    void undecodedColumnsComeFromTheProbes();
    void snapshotsKeepWhatTheyHeld();
    void anyLengthAHeaderTellsIsSafe_data();
    void anyLengthAHeaderTellsIsSafe();
};

void EnvelopeTest::levelsFollowTheSquareRoot_data()
{
    QTest::addColumn<float>("amplitude");
    QTest::addColumn<int>("level");
    QTest::newRow("silence") << 0.0f << 0;
    QTest::newRow("-60 dBFS") << 0.001f << 8;
    QTest::newRow("-40 dBFS") << 0.01f << 26;
    QTest::newRow("-20 dBFS") << 0.1f << 81;
    QTest::newRow("a quarter") << 0.25f << 128;
    QTest::newRow("full scale") << 1.0f << 255;
    QTest::newRow("over full scale, clipped") << 1.5f << 255;
    QTest::newRow("below zero, clamped") << -0.5f << 0;
}

void EnvelopeTest::levelsFollowTheSquareRoot()
{
    QFETCH(float, amplitude);
    QFETCH(int, level);
    QCOMPARE(int(envelopeLevel(amplitude)), level);
    if (amplitude >= 0 && amplitude <= 1)
        QVERIFY(std::abs(envelopeAmplitude(std::uint8_t(level)) - amplitude) < 0.005f);
}

void EnvelopeTest::columnsTakeTheLargestPeakAndTheRootMeanSquare_data()
{
    QTest::addColumn<std::vector<EnvelopeValue>>("values");
    QTest::addColumn<int>("peak");
    QTest::addColumn<int>("rms");

    QTest::newRow("all the same") << repeated({100, 80}, 4) << 100 << 80;
    // A quarter of the mean square is half the RMS amplitude: the level over the root of 2.
    QTest::newRow("one loud among silence") << std::vector<EnvelopeValue>{{0, 0}, {200, 160}, {0, 0}, {0, 0}} << 200
                                            << int(std::lround(160 / std::sqrt(2.0)));
    QTest::newRow("half and half") << std::vector<EnvelopeValue>{{255, 255}, {255, 255}, {0, 0}, {0, 0}} << 255
                                   << int(std::lround(255 * std::sqrt(std::sqrt(0.5))));
}

void EnvelopeTest::columnsTakeTheLargestPeakAndTheRootMeanSquare()
{
    QFETCH(std::vector<EnvelopeValue>, values);
    QFETCH(int, peak);
    QFETCH(int, rms);
    const Envelope envelope = completeEnvelope(values);
    const std::vector<EnvelopeColumn> columns = envelope.columnsFor(1, double(values.size()) / 100);
    QCOMPARE(columns.size(), std::size_t(1));
    QCOMPARE(int(columns[0].peak), peak);
    QVERIFY2(std::abs(int(columns[0].rms) - rms) <= 1, qPrintable(QString::number(columns[0].rms)));
    QCOMPARE(columns[0].source, ColumnSource::Exact);
}

void EnvelopeTest::widerThanTheValuesRepeatsThem()
{
    const Envelope envelope = completeEnvelope({{10, 5}, {200, 100}});
    const std::vector<EnvelopeColumn> columns = envelope.columnsFor(8, 0.02);
    QCOMPARE(columns.size(), std::size_t(8));
    for (int column = 0; column < 8; ++column) {
        QCOMPARE(int(columns[column].peak), column < 4 ? 10 : 200);
        QCOMPARE(columns[column].source, ColumnSource::Exact);
    }
}

// The player's length may be longer than what decodes; nothing is there to draw.
void EnvelopeTest::pastTheEndOfACompleteEnvelopeIsSilent()
{
    const Envelope envelope = completeEnvelope(repeated({90, 60}, 100));
    const std::vector<EnvelopeColumn> columns = envelope.columnsFor(4, 2.0);
    QCOMPARE(int(columns[0].peak), 90);
    QCOMPARE(int(columns[1].peak), 90);
    QCOMPARE(int(columns[2].peak), 0);
    QCOMPARE(columns[3].source, ColumnSource::Exact);
}

void EnvelopeTest::undecodedColumnsComeFromTheProbes()
{
    EnvelopeWriter writer(10.0);
    QCOMPARE(writer.snapshot().columnsFor(10, 10.0)[5].source, ColumnSource::Unknown);
    writer.addProbe({250, {40, 20}});
    writer.addProbe({750, {220, 150}});
    writer.append(repeated({9, 9}, 150));

    const std::vector<EnvelopeColumn> columns = writer.snapshot().columnsFor(10, 10.0);
    // Decoded: seconds 0 to 1.5.
    QCOMPARE(columns[0].source, ColumnSource::Exact);
    QCOMPARE(int(columns[0].peak), 9);
    // Second 1 is decoded only in part, and takes the nearest probe, as the rest do.
    QCOMPARE(columns[1].source, ColumnSource::Coarse);
    QCOMPARE(int(columns[1].peak), 40);
    QCOMPARE(int(columns[2].peak), 40); // the probe inside
    QCOMPARE(int(columns[4].peak), 40); // nearer to 2.5 s than to 7.5 s
    QCOMPARE(int(columns[5].peak), 220);
    QCOMPARE(int(columns[7].rms), 150);
    QCOMPARE(int(columns[9].peak), 220);
    QCOMPARE(columns[9].source, ColumnSource::Coarse);
}

// A snapshot taken early reads what was written then, even once the writer has
// moved everything to a larger store (the container told too short a length).
void EnvelopeTest::snapshotsKeepWhatTheyHeld()
{
    EnvelopeWriter writer(0.5);
    writer.append(repeated({1, 1}, 30));
    const Envelope early = writer.snapshot();
    for (int i = 0; i < 100000; ++i)
        writer.append(EnvelopeValue{std::uint8_t(i % 256), 0});
    writer.finish();
    const Envelope late = writer.snapshot();

    QCOMPARE(early.valueCount(), 30);
    QVERIFY(!early.isComplete());
    QCOMPARE(early.values().back(), (EnvelopeValue{1, 1}));
    QCOMPARE(late.valueCount(), 100030);
    QVERIFY(late.isComplete());
    QCOMPARE(int(late.values()[30 + 300].peak), 300 % 256);
    QCOMPARE(late.values()[29], (EnvelopeValue{1, 1}));
}

void EnvelopeTest::anyLengthAHeaderTellsIsSafe_data()
{
    QTest::addColumn<double>("told"); // to the writer, and as the player's length
    QTest::addColumn<int>("exactColumns");
    QTest::addColumn<int>("loudColumns");
    QTest::newRow("the five seconds there are") << 5.0 << 100 << 100;
    QTest::newRow("1e13 seconds") << 9e12 << 100 << 1;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 100 << 1;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << 0;
}

// A container's header tells the writer the length to make room for, and the player
// the length to spread the columns over: whatever it tells, five seconds of sound
// take five seconds' room, and are drawn.
void EnvelopeTest::anyLengthAHeaderTellsIsSafe()
{
    QFETCH(double, told);
    QFETCH(int, exactColumns);
    QFETCH(int, loudColumns);
    EnvelopeWriter writer(told);
    writer.append(repeated({100, 80}, 500));
    writer.finish();
    const Envelope envelope = writer.snapshot();
    QCOMPARE(envelope.valueCount(), 500);
    const std::vector<EnvelopeColumn> columns = envelope.columnsFor(100, told);
    QCOMPARE(int(columns.size()), 100);
    const auto count = [&](auto predicate) { return int(std::count_if(columns.begin(), columns.end(), predicate)); };
    QCOMPARE(count([](const EnvelopeColumn& c) { return c.source == ColumnSource::Exact; }), exactColumns);
    QCOMPARE(count([](const EnvelopeColumn& c) { return c.peak == 100; }), loudColumns);
}

QTEST_GUILESS_MAIN(EnvelopeTest)
#include "envelope_test.moc"
