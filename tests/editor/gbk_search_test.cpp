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
    void formsTheCountMessage_data();
    void formsTheCountMessage();
    void trimsTheKeywordForFindNext_data();
    void trimsTheKeywordForFindNext();
};

void GbkSearchTest::findsOnCharacterBoundaries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("found");

    QTest::newRow("abc abc, first") << QByteArray("abc abc") << QByteArray("abc") << qsizetype(0) << qsizetype(0);
    QTest::newRow("abc abc, after the first") << QByteArray("abc abc") << QByteArray("abc") << qsizetype(3)
                                              << qsizetype(4);
    QTest::newRow("abc abc, after the last") << QByteArray("abc abc") << QByteArray("abc") << qsizetype(7)
                                             << qsizetype(-1);
    QTest::newRow("abab, first") << QByteArray("abab") << QByteArray("ab") << qsizetype(0) << qsizetype(0);
    QTest::newRow("abab, next") << QByteArray("abab") << QByteArray("ab") << qsizetype(2) << qsizetype(2);
    QTest::newRow("aaa, first") << QByteArray("aaa") << QByteArray("aa") << qsizetype(0) << qsizetype(0);
    QTest::newRow("aaa, next") << QByteArray("aaa") << QByteArray("aa") << qsizetype(2) << qsizetype(-1);
    QTest::newRow("letter case matters") << QByteArray("abc") << QByteArray("ABC") << qsizetype(0) << qsizetype(-1);
    QTest::newRow("empty needle") << QByteArray("abc") << QByteArray() << qsizetype(0) << qsizetype(-1);
    QTest::newRow("needle longer than text") << QByteArray("ab") << QByteArray("abc") << qsizetype(0)
                                             << qsizetype(-1);
    QTest::newRow("empty text") << QByteArray() << QByteArray("a") << qsizetype(0) << qsizetype(-1);
    QTest::newRow("negative start") << QByteArray("xab") << QByteArray("ab") << qsizetype(-5) << qsizetype(1);
    QTest::newRow("start past the end") << QByteArray("ab") << QByteArray("ab") << qsizetype(99) << qsizetype(-1);
    QTest::newRow("家 inside 录音 only") << kLuYin << kJia << qsizetype(0) << qsizetype(-1);
    QTest::newRow("家 inside 录音 skipped, real 家 found") << kLuYin + kJia << kJia << qsizetype(0) << qsizetype(4);
    QTest::newRow("Chinese word") << QByteArray("ab") + kZhongWen << kZhongWen << qsizetype(0) << qsizetype(2);
    QTest::newRow("start inside a character") << kZhongWen + "a" << QByteArray("\xD0") << qsizetype(1)
                                              << qsizetype(-1);
    QTest::newRow("start inside a character, match after it")
        << kZhongWen + "a" << QByteArray("a") << qsizetype(1) << qsizetype(4);
    QTest::newRow("digit inside a four-byte character") << kAboveBmp + "2" << QByteArray("2") << qsizetype(0)
                                                        << qsizetype(4);
    QTest::newRow("second half of a four-byte character") << kBmpFourBytes + kBmpFourBytes
                                                          << QByteArray("\x81\x30") << qsizetype(1) << qsizetype(4);

    // 录 followed by 壹 again and again: 家 (BC D2) sits across every pair, always inside a
    // character, well past the point where the search changes its method.
    const QByteArray staggered = "\xC2" + QByteArray("\xBC\xD2").repeated(40) + "\xBC";
    QTest::newRow("many false matches, then a real one") << staggered + kJia << kJia << qsizetype(0)
                                                         << qsizetype(staggered.size());
    QTest::newRow("many false matches only") << staggered << kJia << qsizetype(0) << qsizetype(-1);
    QTest::newRow("many false matches, real one inside the run")
        << staggered + "a" + staggered << QByteArray("\xBC" "a") << qsizetype(0) << qsizetype(-1);
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
    QTest::newRow("after a double-byte character") << mixed << qsizetype(2) << qsizetype(3);
    QTest::newRow("after two double-byte characters") << mixed << qsizetype(3) << qsizetype(5);
    QTest::newRow("after a four-byte BMP character") << mixed << qsizetype(4) << qsizetype(9);
    QTest::newRow("after a character above the BMP") << mixed << qsizetype(6) << qsizetype(13);
    QTest::newRow("end") << mixed << qsizetype(7) << qsizetype(14);
    QTest::newRow("empty text") << QByteArray() << qsizetype(0) << qsizetype(0);
    QTest::newRow("broken lead byte at the end") << QByteArray("a\x81") << qsizetype(2) << qsizetype(2);
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
    QTest::newRow("中文abc 123") << kZhongWen + "abc 123" << qint64(2) << qint64(6);
    QTest::newRow("full-width comma and full stop") << QByteArray("\xA3\xAC\xA1\xA3") << qint64(2) << qint64(0);
    QTest::newRow("time mark") << QByteArray("-00:01:23-") << qint64(0) << qint64(10);
    QTest::newRow("侶") << QByteArray("\x82\x48") << qint64(0) << qint64(1);
    QTest::newRow("empty") << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("blanks and control codes") << QByteArray("\t\r\n \x01\x1F", 6) + QByteArray(1, '\0')
                                              << qint64(0) << qint64(0);
    QTest::newRow("edges of the Latin range") << QByteArray("!~") << qint64(0) << qint64(2);
    QTest::newRow("edges of the high range") << QByteArray("\x7F\xFF") << qint64(1) << qint64(0);
    QTest::newRow("odd high byte dropped") << QByteArray("\x80\x80\x80") << qint64(1) << qint64(0);
    QTest::newRow("long text") << QByteArray("\xD6\xD0" "a").repeated(1000) + "b" << qint64(1000) << qint64(1001);
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

void GbkSearchTest::formsTheCountMessage_data()
{
    QTest::addColumn<qint64>("chinese");
    QTest::addColumn<qint64>("latin");
    QTest::addColumn<QString>("message");
    QTest::newRow("both") << qint64(2) << qint64(6) << u"汉字及中文符号：2\r数字字母及英文符号：6"_s;
    QTest::newRow("none") << qint64(0) << qint64(0) << u"汉字及中文符号：0\r数字字母及英文符号：0"_s;
    QTest::newRow("large") << qint64(12345678901) << qint64(10) << u"汉字及中文符号：12345678901\r数字字母及英文符号：10"_s;
}

void GbkSearchTest::formsTheCountMessage()
{
    QFETCH(qint64, chinese);
    QFETCH(qint64, latin);
    QFETCH(QString, message);
    QCOMPARE(tavrin::countMessage({chinese, latin}), message);
}

void GbkSearchTest::trimsTheKeywordForFindNext_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("spaces") << u" abc "_s << u"abc"_s;
    QTest::newRow("control codes") << u"\t\r\n\u0001abc\u001F "_s << u"abc"_s;
    QTest::newRow("inner blank stays") << u" a b "_s << u"a b"_s;
    QTest::newRow("only blanks") << u"   "_s << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ideographic space stays") << u"\u3000abc"_s << u"\u3000abc"_s;
    QTest::newRow("Chinese") << u"  录音\n"_s << u"录音"_s;
}

void GbkSearchTest::trimsTheKeywordForFindNext()
{
    QFETCH(QString, keyword);
    QFETCH(QString, trimmed);
    QCOMPARE(tavrin::trimmedSearchKeyword(keyword), trimmed);
}

QTEST_GUILESS_MAIN(GbkSearchTest)
#include "gbk_search_test.moc"
