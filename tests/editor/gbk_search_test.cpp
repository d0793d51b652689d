#include "editor/gbk_search.h"
#include "encoding/gbk_codec.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kZhongWen("\xD6\xD0\xCE\xC4"); // 中文
} // namespace

class GbkSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheKeyword_data();
    void findsTheKeyword();
    void countsBytesByClass_data();
    void countsBytesByClass();
    void countsTextAsItsGbkBytes_data();
    void countsTextAsItsGbkBytes();
    void formsTheCountMessage();
    void trimsTheKeywordForFindNext();
};

void GbkSearchTest::findsTheKeyword_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("found");
    const auto row = [](const char* name, const QString& text, const QString& keyword, qsizetype from,
                        qsizetype found) { QTest::newRow(name) << text << keyword << from << found; };
    row("abc abc, first", u"abc abc"_s, u"abc"_s, 0, 0);
    row("abc abc, after the first", u"abc abc"_s, u"abc"_s, 3, 4);
    row("abc abc, after the last", u"abc abc"_s, u"abc"_s, 7, -1);
    row("abab, next", u"abab"_s, u"ab"_s, 2, 2);
    row("aaa, next", u"aaa"_s, u"aa"_s, 2, -1);
    row("letter case matters", u"abc"_s, u"ABC"_s, 0, -1);
    row("full and half width differ", u"ａｂｃ abc"_s, u"abc"_s, 0, 4);
    row("empty keyword", u"abc"_s, QString(), 0, -1);
    row("keyword longer than the text", u"ab"_s, u"abc"_s, 0, -1);
    row("start past the end", u"ab"_s, u"ab"_s, 99, -1);
    row("家 is no part of 录音", u"录音"_s, u"家"_s, 0, -1);
    row("家 after 录音", u"录音家"_s, u"家"_s, 0, 2);
    row("after a character outside GBK", u"\U00020000ab"_s, u"ab"_s, 0, 2);
    row("blanks are part of the keyword", u"x abc y"_s, u" abc "_s, 0, 1);
}

void GbkSearchTest::findsTheKeyword()
{
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, found);
    QCOMPARE(tavrin::findKeyword(text, keyword, from), found);
}

void GbkSearchTest::countsBytesByClass_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("chinese");
    QTest::addColumn<qint64>("latin");
    const auto row = [](const char* name, const QByteArray& bytes, qint64 chinese, qint64 latin) {
        QTest::newRow(name) << bytes << chinese << latin;
    };
    row("中文abc 123", kZhongWen + "abc 123", 2, 6);
    row("full-width comma and full stop", "\xA3\xAC\xA1\xA3", 2, 0);
    row("time mark", "-00:01:23-", 0, 10);
    row("侶", "\x82\x48", 0, 1);
    row("empty", {}, 0, 0);
    row("blanks and control codes", QByteArray("\t\r\n \x01\x1F\0", 7), 0, 0);
    row("edges of both ranges", "!~\x7F\xFF", 1, 2);
    row("odd high byte dropped", "\x80\x80\x80", 1, 0);
    row("long text",
        QByteArray("\xD6\xD0"
                   "a")
                .repeated(1000)
            + "b",
        1000, 1001);
}

void GbkSearchTest::countsBytesByClass()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, chinese);
    QFETCH(qint64, latin);
    const tavrin::CharacterCounts counts = tavrin::countGbkBytes(bytes);
    QCOMPARE(counts.chinese, chinese);
    QCOMPARE(counts.latin, latin);
}

void GbkSearchTest::countsTextAsItsGbkBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("中文abc 123") << u"中文abc 123"_s;
    QTest::newRow("，。") << u"，。"_s;
    QTest::newRow("侶, second byte in ASCII") << u"侶"_s;
    QTest::newRow("euro sign, one byte") << u"€"_s;
    QTest::newRow("four-byte BMP characters") << u"\u0080\u00A0\u00E9\u20AD"_s;
    QTest::newRow("above U+FFFF") << u"\U00020000\U0001F600"_s;
    QTest::newRow("above U+FFFF in two bytes") << u"\U00020087\U0002070Ea"_s;
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + QChar(0xDC00) + u'a' + QChar(0xDBFF);
    QTest::newRow("controls, DEL and line breaks") << u"a\tb\nc\u007Fd\u0000"_s;
    QString everything;
    for (char16_t c = 1; c < 0xD800; c += 7)
        everything += QChar(c);
    for (char32_t c = 0xE000; c < 0x10000; c += 5)
        everything += QChar(char16_t(c));
    QTest::newRow("a spread over the whole plane") << everything;
}

void GbkSearchTest::countsTextAsItsGbkBytes()
{
    QFETCH(QString, text);
    const tavrin::CharacterCounts fromText = tavrin::countCharacters(text);
    const tavrin::CharacterCounts fromBytes = tavrin::countGbkBytes(tavrin::encodeGbk(text));
    QCOMPARE(fromText.chinese, fromBytes.chinese);
    QCOMPARE(fromText.latin, fromBytes.latin);
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
