#include "encoding/gbk_codec.h"

#include <QRandomGenerator>
#include <QtTest>

#include <iconv.h>

using namespace Qt::StringLiterals;

class GbkCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesExactBytesAndReadsThemBack_data();
    void writesExactBytesAndReadsThemBack();
    void readsBadBytesAsReplacements_data();
    void readsBadBytesAsReplacements();
    void everyGbkCharacterKeepsTheSystemGbkBytes();
    void everyCharacterSurvivesARoundTrip();
    void anyBytesDecodeToTextThatRoundTrips();
};

static QString fromUcs4(std::initializer_list<char32_t> codePoints)
{
    return QString::fromUcs4(codePoints.begin(), qsizetype(codePoints.size()));
}

void GbkCodecTest::writesExactBytesAndReadsThemBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("replaced");

    QTest::newRow("empty") << QString() << QByteArray() << 0;
    QTest::newRow("ascii") << u"abc 123"_s << "abc 123"_ba << 0;
    QTest::newRow("chinese and ascii") << u"中文abc"_s << QByteArray::fromHex("D6D0CEC4616263") << 0;
    QTest::newRow("full-width punctuation") << u"，。"_s << QByteArray::fromHex("A3ACA1A3") << 0;
    QTest::newRow("GBK beyond GB2312") << u"侶"_s << QByteArray::fromHex("8248") << 0;
    QTest::newRow("euro takes the CP936 byte") << u"€"_s << QByteArray::fromHex("80") << 0;
    QTest::newRow("NUL kept") << u"a"_s + QChar(0) + u"b"_s << QByteArray::fromHex("610062") << 0;
    QTest::newRow("BMP outside GBK") << u"¥À"_s << QByteArray::fromHex("8130843681308638") << 0;
    QTest::newRow("U+20000") << fromUcs4({0x20000}) << QByteArray::fromHex("95328236") << 0;
    QTest::newRow("emoji") << fromUcs4({0x1F600}) << QByteArray::fromHex("9439FC36") << 0;
    QTest::newRow("private use moved by GB18030-2022") << fromUcs4({0xE78D, 0xE78E, 0xE864})
                                                       << QByteArray::fromHex("84318236"
                                                                              "84318238"
                                                                              "82359134")
                                                       << 0;
    QTest::newRow("vertical form") << fromUcs4({0xFE10}) << QByteArray::fromHex("A6D9") << 0;
    QTest::newRow("lone high surrogate at end") << u"a"_s + QChar(0xD800) << QByteArray::fromHex("618431A437") << 1;
    QTest::newRow("swapped pair") << QString(QChar(0xDC00)) + QChar(0xD800) << QByteArray::fromHex("8431A4378431A437")
                                  << 2;
}

void GbkCodecTest::writesExactBytesAndReadsThemBack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, replaced);

    qsizetype replacedCount = -1;
    QCOMPARE(tavrin::encodeGbk(text, &replacedCount).toHex(' '), bytes.toHex(' '));
    QCOMPARE(replacedCount, replaced);

    qsizetype unreadable = -1;
    const QString back = tavrin::decodeGbk(bytes, &unreadable);
    QCOMPARE(unreadable, 0);
    if (replaced == 0)
        QCOMPARE(back, text);
    else
        QCOMPARE(back.count(QChar(0xFFFD)), replaced);
}

void GbkCodecTest::readsBadBytesAsReplacements_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unreadable");

    const QString bad = QString(QChar(0xFFFD));
    QTest::newRow("GB18030 euro") << QByteArray::fromHex("A2E3") << u"€"_s << 0;
    QTest::newRow("CP936 euro") << QByteArray::fromHex("80") << u"€"_s << 0;
    QTest::newRow("FF") << QByteArray::fromHex("61FF62") << u"a"_s + bad + u"b"_s << 1;
    QTest::newRow("valid parts kept") << QByteArray::fromHex("D6D0FFCEC4") << u"中"_s + bad + u"文"_s << 1;
    QTest::newRow("lead byte at end") << QByteArray::fromHex("D6D0D6") << u"中"_s + bad << 1;
    QTest::newRow("lead byte before ASCII") << QByteArray::fromHex("8120") << bad + u" "_s << 1;
    QTest::newRow("lead byte before DEL") << QByteArray::fromHex("817F") << bad + QChar(0x7F) << 1;
    QTest::newRow("broken four-byte start") << QByteArray::fromHex("813081") << bad + u"0"_s + bad << 2;
    QTest::newRow("four bytes in the unassigned gap") << QByteArray::fromHex("8431A530") << bad.repeated(4) << 4;
    QTest::newRow("four bytes beyond U+10FFFF") << QByteArray::fromHex("E3329A36") << bad.repeated(4) << 4;
    QTest::newRow("replacement character itself") << QByteArray::fromHex("8431A437") << bad << 0;
}

void GbkCodecTest::readsBadBytesAsReplacements()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, unreadable);

    qsizetype count = -1;
    QCOMPARE(tavrin::decodeGbk(bytes, &count), text);
    QCOMPARE(count, unreadable);
}

// The system's GBK table (glibc's CP936) is the reference for what the files hold.
void GbkCodecTest::everyGbkCharacterKeepsTheSystemGbkBytes()
{
    const iconv_t toGbk = iconv_open("GBK", "UTF-16LE");
    QVERIFY(toGbk != reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (int cp = 1; cp <= 0xFFFF; ++cp) {
        const char16_t c = char16_t(cp);
        if (QChar::isSurrogate(c))
            continue;
        const uchar in[2] = {uchar(c), uchar(c >> 8)};
        char out[8];
        char* inPtr = reinterpret_cast<char*>(const_cast<uchar*>(in));
        size_t inLeft = 2;
        char* outPtr = out;
        size_t outLeft = sizeof out;
        iconv(toGbk, nullptr, nullptr, nullptr, nullptr);
        if (iconv(toGbk, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
            continue; // not a GBK character
        const QByteArray expected(out, outPtr - out);
        const QString text(QChar{c});
        if (tavrin::encodeGbk(text) != expected)
            QFAIL(qPrintable(
                u"U+%1 written as %2, GBK has %3"_s.arg(cp, 4, 16, QChar(u'0'))
                    .arg(QString::fromLatin1(tavrin::encodeGbk(text).toHex()), QString::fromLatin1(expected.toHex()))));
        QCOMPARE(tavrin::decodeGbk(expected), text);
        ++checked;
    }
    iconv_close(toGbk);
    QVERIFY2(checked > 21000, "GBK has some 21,900 characters");
}

void GbkCodecTest::everyCharacterSurvivesARoundTrip()
{
    // These private-use characters have no code that reads back as themselves; their
    // GBK codes read as the Extension B ideographs they stood in for.
    const QHash<char32_t, char32_t> standIns = {{0xE816, 0x20087}, {0xE817, 0x20089}, {0xE818, 0x200CC},
                                                {0xE831, 0x215D7}, {0xE83B, 0x2298F}, {0xE855, 0x241FE}};
    QList<char32_t> all;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            all.append(c);
    }
    const QString text = QString::fromUcs4(all.constData(), all.size());
    qsizetype replaced = -1;
    qsizetype unreadable = -1;
    const QList<uint> back = tavrin::decodeGbk(tavrin::encodeGbk(text, &replaced), &unreadable).toUcs4();
    QCOMPARE(replaced, 0);
    QCOMPARE(unreadable, 0);
    QCOMPARE(back.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        const char32_t expected = standIns.value(all[i], all[i]);
        if (back[i] != expected)
            QFAIL(qPrintable(u"U+%1 came back as U+%2"_s.arg(uint(all[i]), 0, 16).arg(back[i], 0, 16)));
    }
}

// Whatever bytes a file holds, the text shown for them is saved and read back unchanged.
void GbkCodecTest::anyBytesDecodeToTextThatRoundTrips()
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(random.bounded(1, 64), Qt::Uninitialized);
        for (char& b : bytes) // bias towards lead bytes and digits, where the sequences are
            b = char(random.bounded(4) == 0 ? 0x30 + random.bounded(10) : random.bounded(256));
        qsizetype unreadable = -1;
        const QString text = tavrin::decodeGbk(bytes, &unreadable);
        QVERIFY(text.size() <= bytes.size());
        QVERIFY(unreadable <= text.count(QChar(0xFFFD)));
        QCOMPARE(tavrin::decodeGbk(tavrin::encodeGbk(text)), text);
    }
}

QTEST_GUILESS_MAIN(GbkCodecTest)
#include "gbk_codec_test.moc"
