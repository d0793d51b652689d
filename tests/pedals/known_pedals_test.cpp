#include "pedals/known_pedals.h"

#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;
using tavrin::UsbId;

class KnownPedalsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsUsbIds_data();
    void readsUsbIds();
    void everyEntryParsesAndNoTwoShareAnId();
    void writesIdsAsUdevComparesThem();
    void findsModelsById();
};

void KnownPedalsTest::readsUsbIds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<UsbId>>("id");
    const std::optional<UsbId> fails;
    QTest::newRow("lsusb form") << u"05f3:00ff"_s << std::optional(UsbId{0x05f3, 0x00ff});
    QTest::newRow("upper case") << u"0C45:7403"_s << std::optional(UsbId{0x0c45, 0x7403});
    QTest::newRow("largest") << u"ffff:ffff"_s << std::optional(UsbId{0xffff, 0xffff});
    QTest::newRow("zeros") << u"0000:0000"_s << std::optional(UsbId{0, 0});
    QTest::newRow("short vendor") << u"5f3:00ff"_s << fails;
    QTest::newRow("long product") << u"05f3:000ff"_s << fails;
    QTest::newRow("no colon") << u"05f3-00ff"_s << fails;
    QTest::newRow("not hexadecimal") << u"05g3:00ff"_s << fails;
    QTest::newRow("0x prefix") << u"0x5f:00ff"_s << fails;
    QTest::newRow("blank inside") << u"05f3: 0ff"_s << fails;
    QTest::newRow("trailing blank") << u"05f3:00ff "_s << fails;
    QTest::newRow("full-width digit") << u"０5f3:00ff"_s << fails;
    QTest::newRow("empty") << QString() << fails;
}

void KnownPedalsTest::readsUsbIds()
{
    QFETCH(QString, text);
    QFETCH(std::optional<UsbId>, id);
    QCOMPARE(tavrin::parseUsbId(text), id);
}

void KnownPedalsTest::everyEntryParsesAndNoTwoShareAnId()
{
    QVERIFY(!tavrin::knownPedals().isEmpty());
    QList<UsbId> seen;
    for (const tavrin::KnownPedal& pedal : tavrin::knownPedals()) {
        const auto id = tavrin::parseUsbId(QString::fromLatin1(pedal.usbId));
        QVERIFY2(id.has_value(), pedal.usbId);
        QVERIFY2(!seen.contains(*id), pedal.usbId);
        QVERIFY2(qstrlen(pedal.model) > 0, pedal.usbId);
        seen.append(*id);
    }
}

void KnownPedalsTest::writesIdsAsUdevComparesThem()
{
    QCOMPARE(tavrin::usbIdText({0x05f3, 0x00ff}), u"05f3:00ff"_s);
    QCOMPARE(tavrin::usbIdText({0x0911, 0x091a}), u"0911:091a"_s);
    for (const tavrin::KnownPedal& pedal : tavrin::knownPedals()) {
        const auto id = tavrin::parseUsbId(QString::fromLatin1(pedal.usbId));
        QCOMPARE(tavrin::parseUsbId(tavrin::usbIdText(*id)), id);
    }
}

void KnownPedalsTest::findsModelsById()
{
    for (const tavrin::KnownPedal& pedal : tavrin::knownPedals()) {
        const auto id = tavrin::parseUsbId(QString::fromLatin1(pedal.usbId));
        QCOMPARE(tavrin::knownPedalModel(*id), std::optional(QString::fromUtf8(pedal.model)));
    }
    // An ordinary keyboard's ID, and one next to a pedal's.
    QVERIFY(!tavrin::knownPedalModel({0x046d, 0xc31c}).has_value());
    QVERIFY(!tavrin::knownPedalModel({0x05f3, 0x00fe}).has_value());
}

QTEST_GUILESS_MAIN(KnownPedalsTest)
#include "known_pedals_test.moc"
