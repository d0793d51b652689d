#include "speech/word_times.h"

#include <QtTest>

using namespace tavrin;

Q_DECLARE_METATYPE(std::vector<WordTime>)
Q_DECLARE_METATYPE(std::vector<QString>)
Q_DECLARE_METATYPE(std::vector<float>)

class WordTimesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tokensArePlacedOnTheText_data();
    void tokensArePlacedOnTheText();
    void withoutTimesTheCharactersAreSpread();
    void conversionKeepsEachWordOnItsCharacters_data();
    void conversionKeepsEachWordOnItsCharacters();
};

void WordTimesTest::tokensArePlacedOnTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<QString>>("tokens");
    QTest::addColumn<std::vector<float>>("times");
    QTest::addColumn<std::vector<WordTime>>("words"); // with the utterance at 10 s
    QTest::newRow("a character each") << u"好的。"_qs << std::vector<QString>{u"好"_qs, u"的"_qs, u"。"_qs}
                                      << std::vector<float>{0.12f, 0.36f, 0.6f}
                                      << std::vector<WordTime>{{0, 1, 10.12}, {1, 1, 10.36}, {2, 1, 10.6}};
    QTest::newRow("what is not text left out") << u"好"_qs << std::vector<QString>{u"<|zh|>"_qs, u"好"_qs}
                                               << std::vector<float>{0.0f, 0.3f} << std::vector<WordTime>{{0, 1, 10.3}};
    QTest::newRow("SentencePiece's word marks")
        << u"ok 好"_qs << std::vector<QString>{u"\u2581o"_qs, u"k"_qs, u"\u2581好"_qs}
        << std::vector<float>{0, 0.1f, 0.5f} << std::vector<WordTime>{{0, 1, 10.0}, {1, 1, 10.1}, {3, 1, 10.5}};
    QTest::newRow("a token the text does not hold there takes no time")
        << u"好的"_qs << std::vector<QString>{u"好"_qs, u"吗"_qs, u"的"_qs} << std::vector<float>{0, 0.2f, 0.4f}
        << std::vector<WordTime>{{0, 1, 10.0}, {1, 1, 10.4}};
    QTest::newRow("times not one for each token: none")
        << u"好的"_qs << std::vector<QString>{u"好"_qs, u"的"_qs} << std::vector<float>{0} << std::vector<WordTime>{};
    QTest::newRow("a time that is not one")
        << u"好的"_qs << std::vector<QString>{u"好"_qs, u"的"_qs}
        << std::vector<float>{std::numeric_limits<float>::quiet_NaN(), 0.2f} << std::vector<WordTime>{{1, 1, 10.2}};
}

void WordTimesTest::tokensArePlacedOnTheText()
{
    QFETCH(QString, text);
    QFETCH(std::vector<QString>, tokens);
    QFETCH(std::vector<float>, times);
    QFETCH(std::vector<WordTime>, words);
    const std::vector<WordTime> placed = placeTokens(text, tokens, times, 10.0);
    QCOMPARE(placed.size(), words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        QCOMPARE(placed[i].at, words[i].at);
        QCOMPARE(placed[i].length, words[i].length);
        QVERIFY2(std::abs(placed[i].seconds - words[i].seconds) < 1e-6, qPrintable(QString::number(placed[i].seconds)));
    }
}

void WordTimesTest::withoutTimesTheCharactersAreSpread()
{
    // Blanks take no time; a character outside the Basic Multilingual Plane is one.
    const std::vector<WordTime> spread = spreadOverUtterance(u"好 的\U00020000了"_qs, 4.0, 6.0);
    const std::vector<WordTime> expected{{0, 1, 4.0}, {2, 1, 4.5}, {3, 2, 5.0}, {5, 1, 5.5}};
    QCOMPARE(spread, expected);
    QVERIFY(spreadOverUtterance(u"  "_qs, 4.0, 6.0).empty());
}

void WordTimesTest::conversionKeepsEachWordOnItsCharacters_data()
{
    QTest::addColumn<bool>("keepsLength");
    QTest::newRow("the length kept: converted whole") << true;
    QTest::newRow("the length changed: converted piece by piece") << false;
}

void WordTimesTest::conversionKeepsEachWordOnItsCharacters()
{
    QFETCH(bool, keepsLength);
    // A stand-in for OpenCC: 們 becomes 们, and, when asked, 著 becomes two characters.
    const auto convert = [keepsLength](const QString& text) {
        QString converted = text;
        converted.replace(u'們', u'们');
        if (!keepsLength)
            converted.replace(u"著"_qs, u"着了"_qs);
        return converted;
    };
    const QString text = u"我們看著，好"_qs;
    const std::vector<WordTime> words{{0, 2, 1.0}, {2, 1, 1.5}, {3, 1, 2.0}, {5, 1, 3.0}};
    const ConvertedWords converted = convertKeepingWords(text, words, convert);
    QCOMPARE(converted.text, keepsLength ? u"我们看著，好"_qs : u"我们看着了，好"_qs);
    QCOMPARE(converted.words.size(), words.size());
    const QStringList expected{u"我们"_qs, u"看"_qs, keepsLength ? u"著"_qs : u"着了"_qs, u"好"_qs};
    for (std::size_t i = 0; i < words.size(); ++i) {
        QCOMPARE(converted.text.mid(converted.words[i].at, converted.words[i].length), expected[qsizetype(i)]);
        QCOMPARE(converted.words[i].seconds, words[i].seconds);
    }
}

QTEST_GUILESS_MAIN(WordTimesTest)
#include "word_times_test.moc"
