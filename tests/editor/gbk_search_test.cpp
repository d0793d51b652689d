#include "editor/gbk_search.h"

#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kZhongWen("\xD6\xD0\xCE\xC4"); // 中文
const QByteArray kLuYin("\xC2\xBC\xD2\xF4");    // 录音
const QByteArray kJia("\xBC\xD2");               // 家
const QByteArray kBmpFourBytes("\x81\x30\x81\x30"); // U+0080, one unit
const QByteArray kAboveBmp("\x95\x32\x82\x36");     // U+20000, two units
const QByteArray kDoubleByteAboveBmp("\xFE\x51");   // U+20087, two units in two bytes

} // namespace

class GbkSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsOnCharacterBoundaries_data();
    void findsOnCharacterBoundaries();
    void manyMatchesInsideCharactersStayLinear();
    void mapsPositionsBothWays_data();
    void mapsPositionsBothWays();
    void mappingAgreesWithTheDecoderOnALongText();
    void countsBytesByClass_data();
    void countsBytesByClass();
    void formsTheCountMessage();
    void trimsTheKeywordForFindNext();
};

void GbkSearchTest::findsOnCharacterBoundaries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("found");
    const auto row = [](const char* name, const QByteArray& text, const QByteArray& needle, qsizetype from,
                        qsizetype found) { QTest::newRow(name) << text << needle << from << found; };

    row("abc abc, first", "abc abc", "abc", 0, 0);
    row("abc abc, after the first", "abc abc", "abc", 3, 4);
    row("abc abc, after the last", "abc abc", "abc", 7, -1);
    row("abab, next", "abab", "ab", 2, 2);
    row("aaa, next", "aaa", "aa", 2, -1);
    row("letter case matters", "abc", "ABC", 0, -1);
    row("empty needle", "abc", "", 0, -1);
    row("needle longer than text", "ab", "abc", 0, -1);
    row("negative start", "xab", "ab", -5, 1);
    row("start past the end", "ab", "ab", 99, -1);
    row("家 inside 录音 only", kLuYin, kJia, 0, -1);
    row("家 inside 录音 skipped, real 家 found", kLuYin + kJia, kJia, 0, 4);
    row("start inside a character", kZhongWen + "a", "\xD0", 1, -1);
    row("start inside a character, match after it", kZhongWen + "a", "a", 1, 4);
    row("digit inside a four-byte character", kAboveBmp + "2", "2", 0, 4);

    // 录 followed by 壹 again and again: 家 (BC D2) sits across every pair, always inside a
    // character, well past the point where the search changes its method.
    const QByteArray staggered = "\xC2" + QByteArray("\xBC\xD2").repeated(40) + "\xBC";
    row("many false matches, then a real one", staggered + kJia, kJia, 0, staggered.size());
    row("many false matches only", staggered, kJia, 0, -1);
}

void GbkSearchTest::findsOnCharacterBoundaries()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, needle);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, found);
    QCOMPARE(tavrin::GbkText(text).find(needle, from), found);
}

void GbkSearchTest::manyMatchesInsideCharactersStayLinear()
{
    // Every occurrence of the long needle starts inside a character; a search that starts
    // over on each of them does about 10^11 steps here, a linear one a few million.
    const QByteArray text = "\xC2" + QByteArray("\xBC\xD2").repeated(1'000'000);
    const QByteArray needle = QByteArray("\xBC\xD2").repeated(50'000);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(tavrin::GbkText(text).find(needle, 0), qsizetype(-1));
    QVERIFY2(timer.elapsed() < 30'000, "the search does not stay linear");
}

void GbkSearchTest::mapsPositionsBothWays_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qsizetype>("charPos");
    QTest::addColumn<qsizetype>("byteOffset");
    const QByteArray mixed = "a" + kZhongWen + kBmpFourBytes + kAboveBmp + "b";
    QTest::newRow("start") << mixed << qsizetype(0) << qsizetype(0);
    QTest::newRow("after one byte") << mixed << qsizetype(1) << qsizetype(1);
    QTest::newRow("after two double-byte characters") << mixed << qsizetype(3) << qsizetype(5);
    QTest::newRow("after a four-byte BMP character") << mixed << qsizetype(4) << qsizetype(9);
    QTest::newRow("after a character above the BMP") << mixed << qsizetype(6) << qsizetype(13);
    QTest::newRow("end") << mixed << qsizetype(7) << qsizetype(14);
    QTest::newRow("broken lead byte at the end") << QByteArray("a\x81") << qsizetype(2) << qsizetype(2);
    const QByteArray standIn = "a" + kDoubleByteAboveBmp + "b" + kDoubleByteAboveBmp;
    QTest::newRow("after a double-byte character above the BMP") << standIn << qsizetype(3) << qsizetype(3);
    QTest::newRow("after two of them") << standIn << qsizetype(6) << qsizetype(6);
}

void GbkSearchTest::mapsPositionsBothWays()
{
    QFETCH(QByteArray, text);
    QFETCH(qsizetype, charPos);
    QFETCH(qsizetype, byteOffset);
    const tavrin::GbkText gbk(text);
    QCOMPARE(gbk.byteOffsetOf(charPos), byteOffset);
    QCOMPARE(gbk.charPosOf(byteOffset), charPos);
}

void GbkSearchTest::mappingAgreesWithTheDecoderOnALongText()
{
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        QSKIP("this Qt has no GB18030 codec");
    QString text;
    const QString pieces[] = {u"a"_s, u"中"_s, u"\u0080"_s, u"\U00020000"_s, u"\r\n"_s, u"，"_s, u"侶"_s};
    for (int i = 0; i < 60'000; ++i)
        text += pieces[(i * 7 + i / 3) % std::size(pieces)];
    const tavrin::GbkText gbk(encoder.encode(text));
    QVERIFY(!encoder.hasError());

    // Walking the text character by character, the mapping must meet every boundary.
    qsizetype byte = 0;
    for (qsizetype unit = 0; unit < text.size();) {
        QCOMPARE(gbk.byteOffsetOf(unit), byte);
        QCOMPARE(gbk.charPosOf(byte), unit);
        const qsizetype units = text[unit].isHighSurrogate() ? 2 : 1;
        const QByteArray bytes = encoder.encode(QStringView(text).sliced(unit, units));
        if (units == 2) { // inside the pair the position rounds up to the character's end
            QCOMPARE(gbk.byteOffsetOf(unit + 1), byte + bytes.size());
            QCOMPARE(gbk.charPosOf(byte + 1), unit + 2);
        }
        byte += bytes.size();
        unit += units;
    }
    QCOMPARE(byte, gbk.bytes().size());
    QCOMPARE(gbk.charPosOf(byte + 100), text.size());
    QCOMPARE(gbk.byteOffsetOf(text.size() + 100), byte);
    QCOMPARE(gbk.byteOffsetOf(-3), qsizetype(0));
}

void GbkSearchTest::countsBytesByClass_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("chinese");
    QTest::addColumn<qint64>("latin");
    const auto row = [](const char* name, const QByteArray& text, qint64 chinese, qint64 latin) {
        QTest::newRow(name) << text << chinese << latin;
    };
    row("中文abc 123", kZhongWen + "abc 123", 2, 6);
    row("full-width comma and full stop", "\xA3\xAC\xA1\xA3", 2, 0);
    row("time mark", "-00:01:23-", 0, 10);
    row("侶", "\x82\x48", 0, 1);
    row("empty", {}, 0, 0);
    row("blanks and control codes", QByteArray("\t\r\n \x01\x1F\0", 7), 0, 0);
    row("edges of both ranges", "!~\x7F\xFF", 1, 2);
    row("odd high byte dropped", "\x80\x80\x80", 1, 0);
    row("long text", QByteArray("\xD6\xD0" "a").repeated(1000) + "b", 1000, 1001);
}

void GbkSearchTest::countsBytesByClass()
{
    QFETCH(QByteArray, text);
    QFETCH(qint64, chinese);
    QFETCH(qint64, latin);
    const tavrin::CharacterCounts counts = tavrin::countCharacters(text);
    QCOMPARE(counts.chinese, chinese);
    QCOMPARE(counts.latin, latin);
}

void GbkSearchTest::formsTheCountMessage()
{
    QCOMPARE(tavrin::countMessage({2, 6}), u"汉字及中文符号：2\r数字字母及英文符号：6"_s);
    QCOMPARE(tavrin::countMessage({0, 0}), u"汉字及中文符号：0\r数字字母及英文符号：0"_s);
}

void GbkSearchTest::trimsTheKeywordForFindNext()
{
    QCOMPARE(tavrin::trimmedSearchKeyword(u" abc "), u"abc"_s);
    QCOMPARE(tavrin::trimmedSearchKeyword(u"\t\r\n\u0001a b\u001F "), u"a b"_s);
    QCOMPARE(tavrin::trimmedSearchKeyword(u"   "), QString());
    QCOMPARE(tavrin::trimmedSearchKeyword(u"\u3000录音\n"), u"\u3000录音"_s);
}

QTEST_GUILESS_MAIN(GbkSearchTest)
#include "gbk_search_test.moc"
