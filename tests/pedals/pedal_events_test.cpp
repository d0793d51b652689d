#include "event_records.h"

#include "pedals/pedal_events.h"

#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tavrin::test;
using tavrin::PedalButton;

namespace {

QString describe(const QList<tavrin::PedalChange>& changes)
{
    static const QStringList names{u"left"_s, u"middle"_s, u"right"_s};
    QStringList words;
    for (const tavrin::PedalChange& change : changes) {
        words.append(names[int(change.button)] + (change.pressed ? u" down"_s : u" up"_s));
    }
    return words.join(u", "_s);
}

// The records written through a pipe and read back with read() in pieces of
// the given size, each piece fed to the decoder as it comes.
QList<tavrin::PedalChange> decodeThroughPipe(const QByteArray& records, const QList<int>& codes, int readSize)
{
    int ends[2];
    if (::pipe(ends) != 0) {
        qFatal("no pipe");
    }
    if (::write(ends[1], records.constData(), records.size()) != records.size()) {
        qFatal("short write to the pipe");
    }
    ::close(ends[1]);
    tavrin::PedalEventDecoder decoder(codes);
    QList<tavrin::PedalChange> changes;
    QByteArray piece(readSize, Qt::Uninitialized);
    ssize_t count = 0;
    while ((count = ::read(ends[0], piece.data(), readSize)) > 0) {
        changes.append(decoder.feedBytes(QByteArrayView(piece.constData(), count)));
    }
    ::close(ends[0]);
    return changes;
}

const QList<int> kButtons{BTN_0, BTN_1, BTN_2};

} // namespace

class PedalEventsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodesPressesAndReleases_data();
    void decodesPressesAndReleases();
    void placesPedalsByCodeOrder_data();
    void placesPedalsByCodeOrder();
    void releaseAllReleasesOnlyWhatIsHeld();
};

void PedalEventsTest::decodesPressesAndReleases_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<QString>("changes");
    const QList<int> functionKeys{KEY_F16, KEY_F14, KEY_F15};

    QTest::newRow("press and release") << kButtons << eventRecords({key(BTN_0, 1), report(), key(BTN_0, 0), report()})
                                       << u"left down, left up"_s;
    QTest::newRow("codes in any order, lowest is left")
        << functionKeys << eventRecords({key(KEY_F15, 1), key(KEY_F16, 1), key(KEY_F14, 1), report()})
        << u"middle down, right down, left down"_s;
    QTest::newRow("auto-repeat is no new press")
        << kButtons << eventRecords({key(BTN_1, 1), key(BTN_1, 2), key(BTN_1, 2), report(), key(BTN_1, 0)})
        << u"middle down, middle up"_s;
    QTest::newRow("pressed twice, one press")
        << kButtons << eventRecords({key(BTN_2, 1), key(BTN_2, 1), key(BTN_2, 0)}) << u"right down, right up"_s;
    QTest::newRow("release of a pedal not down") << kButtons << eventRecords({key(BTN_0, 0), report()}) << QString();
    QTest::newRow("dropped events release the pedals held")
        << kButtons
        << eventRecords({key(BTN_2, 1), key(BTN_0, 1), report(), dropped(), key(BTN_0, 0), key(BTN_2, 0), report()})
        << u"right down, left down, left up, right up"_s;
    QTest::newRow("pressed again after the drop")
        << kButtons << eventRecords({key(BTN_1, 1), dropped(), key(BTN_1, 1), key(BTN_1, 0)})
        << u"middle down, middle up, middle down, middle up"_s;
    QTest::newRow("dropped with nothing held") << kButtons << eventRecords({dropped(), report()}) << QString();
    QTest::newRow("keys of no pedal") << kButtons << eventRecords({key(KEY_A, 1), key(KEY_A, 0)}) << QString();
    QTest::newRow("scan codes and motion are no presses")
        << kButtons << eventRecords({{EV_MSC, MSC_SCAN, 0x90001}, {EV_REL, REL_X, 1}, {EV_KEY, BTN_0, 1}})
        << u"left down"_s;
    QTest::newRow("a fourth pedal has no place")
        << QList<int>{KEY_F13, KEY_F14, KEY_F15, KEY_F16}
        << eventRecords({key(KEY_F16, 1), key(KEY_F16, 0), key(KEY_F13, 1)}) << u"left down"_s;
}

void PedalEventsTest::decodesPressesAndReleases()
{
    QFETCH(QList<int>, codes);
    QFETCH(QByteArray, records);
    QFETCH(QString, changes);
    // Whole reads, and records cut at every point by small ones.
    for (int readSize : {4096, int(sizeof(input_event)) + 5, 7, 1}) {
        QCOMPARE(describe(decodeThroughPipe(records, codes, readSize)), changes);
    }
}

void PedalEventsTest::placesPedalsByCodeOrder_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QList<int>>("fromLeft"); // the codes at left, middle, right
    QTest::newRow("in order") << QList<int>{256, 257, 258} << QList<int>{256, 257, 258};
    QTest::newRow("out of order") << QList<int>{258, 256, 257} << QList<int>{256, 257, 258};
    QTest::newRow("one pedal is the left one") << QList<int>{KEY_B} << QList<int>{KEY_B};
    QTest::newRow("two pedals") << QList<int>{KEY_F15, KEY_F14} << QList<int>{KEY_F14, KEY_F15};
    QTest::newRow("repeated code") << QList<int>{257, 256, 256} << QList<int>{256, 257};
    QTest::newRow("four codes") << QList<int>{187, 186, 185, 184} << QList<int>{184, 185, 186};
    QTest::newRow("none") << QList<int>{} << QList<int>{};
}

void PedalEventsTest::placesPedalsByCodeOrder()
{
    QFETCH(QList<int>, codes);
    QFETCH(QList<int>, fromLeft);
    const QHash<int, PedalButton> positions = tavrin::pedalPositions(codes);
    QCOMPARE(positions.size(), fromLeft.size());
    const PedalButton order[] = {PedalButton::Left, PedalButton::Middle, PedalButton::Right};
    for (qsizetype index = 0; index < fromLeft.size(); ++index) {
        QCOMPARE(positions.value(fromLeft[index], PedalButton(-1)), order[index]);
    }
}

void PedalEventsTest::releaseAllReleasesOnlyWhatIsHeld()
{
    tavrin::PedalEventDecoder decoder(kButtons);
    decoder.feedBytes(eventRecords({key(BTN_1, 1), key(BTN_2, 1), key(BTN_2, 0)}));
    QVERIFY(decoder.isDown(PedalButton::Middle));
    QCOMPARE(describe(decoder.releaseAll()), u"middle up"_s);
    QVERIFY(!decoder.isDown(PedalButton::Middle));
    QCOMPARE(describe(decoder.releaseAll()), QString());
}

QTEST_GUILESS_MAIN(PedalEventsTest)
#include "pedal_events_test.moc"
