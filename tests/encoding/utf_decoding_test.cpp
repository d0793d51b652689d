#include "encoding/utf_decoding.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class UtfDecodingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void strictUtf8_data();
    void strictUtf8();
    void utf16_data();
    void utf16();
};

static const QString bad = QString(QChar(0xFFFD));

// Each row: the bytes, the text a lenient reading gives, and how many bytes it replaces.
// Strict reading must give the same text when nothing was replaced, and nothing otherwise.
void UtfDecodingTest::strictUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unreadable");

    QTest::newRow("ascii") << "abc"_ba << u"abc"_s << 0;
    QTest::newRow("chinese") << QByteArray::fromHex("E4BDA0E5A5BD") << u"你好"_s << 0;
    QTest::newRow("four-byte") << QByteArray::fromHex("F09F9880") << QString::fromUtf8("\U0001F600") << 0;
    QTest::newRow("last BMP") << QByteArray::fromHex("EFBFBF") << QString(QChar(0xFFFF)) << 0;
    QTest::newRow("just below surrogates") << QByteArray::fromHex("ED9FBF") << QString(QChar(0xD7FF)) << 0;
    QTest::newRow("U+10FFFF") << QByteArray::fromHex("F48FBFBF") << QString::fromUcs4(U"\U0010FFFF", 1) << 0;
    QTest::newRow("overlong two-byte") << QByteArray::fromHex("C080") << bad + bad << 2;
    QTest::newRow("overlong three-byte") << QByteArray::fromHex("E08080") << bad.repeated(3) << 3;
    QTest::newRow("overlong four-byte") << QByteArray::fromHex("F0808080") << bad.repeated(4) << 4;
    QTest::newRow("surrogate") << QByteArray::fromHex("EDA080") << bad.repeated(3) << 3;
    QTest::newRow("above U+10FFFF") << QByteArray::fromHex("F4908080") << bad.repeated(4) << 4;
    QTest::newRow("F5 lead") << QByteArray::fromHex("F5808080") << bad.repeated(4) << 4;
    QTest::newRow("cut short, ASCII kept") << QByteArray::fromHex("E4BD41") << bad + bad + u"A"_s << 2;
    QTest::newRow("stray continuation") << QByteArray::fromHex("6180E4BDA0") << u"a"_s + bad + u"你"_s << 1;
    QTest::newRow("cut at the end") << QByteArray::fromHex("61F09F98") << u"a"_s + bad.repeated(3) << 3;
}

void UtfDecodingTest::strictUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, unreadable);

    qsizetype count = -1;
    QCOMPARE(tavrin::decodeUtf8(bytes, &count), text);
    QCOMPARE(count, unreadable);

    const std::optional<QString> strict = tavrin::decodeStrictUtf8(bytes);
    QCOMPARE(strict.has_value(), unreadable == 0);
    if (strict)
        QCOMPARE(*strict, text);
}

void UtfDecodingTest::utf16_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("bigEndian");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unreadable");

    QTest::newRow("LE") << QByteArray::fromHex("604F7D59") << false << u"你好"_s << 0;
    QTest::newRow("BE") << QByteArray::fromHex("4F60597D") << true << u"你好"_s << 0;
    QTest::newRow("pair") << QByteArray::fromHex("3DD800DE") << false << QString::fromUtf8("\U0001F600") << 0;
    QTest::newRow("lone high") << QByteArray::fromHex("D83D0041") << true << bad + u"A"_s << 2;
    QTest::newRow("lone low") << QByteArray::fromHex("00DE4100") << false << bad + u"A"_s << 2;
    QTest::newRow("high at end") << QByteArray::fromHex("41003DD8") << false << u"A"_s + bad << 2;
    QTest::newRow("odd last byte") << QByteArray::fromHex("410042") << false << u"A"_s + bad << 1;
    QTest::newRow("NUL kept") << QByteArray::fromHex("00000041") << true << QString(QChar(0)) + u"A"_s << 0;
}

void UtfDecodingTest::utf16()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, bigEndian);
    QFETCH(QString, text);
    QFETCH(int, unreadable);

    qsizetype count = -1;
    QCOMPARE(tavrin::decodeUtf16(bytes, bigEndian, &count), text);
    QCOMPARE(count, unreadable);
}

QTEST_GUILESS_MAIN(UtfDecodingTest)
#include "utf_decoding_test.moc"
