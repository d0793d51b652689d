#include "editor/abbreviations.h"
#include "transcript/speaker_labels.h"

#include <QtTest>

using namespace tavrin;

class InsertionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void abbreviationBeforeTheCaret_data();
    void abbreviationBeforeTheCaret();
    void abbreviationLines();
    void labelsOfAName_data();
    void labelsOfAName();
};

void InsertionsTest::abbreviationBeforeTheCaret_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text"); // empty: none found
    QTest::addColumn<int>("length");
    const auto row = [](const char* name, const QString& before, const QString& text, int length) {
        QTest::newRow(name) << before << text << length;
    };
    row("at the start of a line", u"gsr"_qs, u"公诉人"_qs, 3);
    row("after Chinese", u"今天gsr"_qs, u"公诉人"_qs, 3);
    row("after a blank", u"the gsr"_qs, u"公诉人"_qs, 3);
    row("after punctuation", u"（gsr"_qs, u"公诉人"_qs, 3);
    row("the longer of a code and its prefix", u"说gsrx"_qs, u"公诉人席"_qs, 4);
    row("the prefix alone", u"说gs"_qs, u"公诉"_qs, 2);
    row("inside a word: none", u"bgsr"_qs, QString(), 0);
    row("after a digit: none", u"1gsr"_qs, QString(), 0);
    row("a different case: none", u"GSR"_qs, QString(), 0);
    row("nothing before", QString(), QString(), 0);
}

void InsertionsTest::abbreviationBeforeTheCaret()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(int, length);
    const QList<Abbreviation> abbreviations{
        {u"gs"_qs, u"公诉"_qs}, {u"gsr"_qs, u"公诉人"_qs}, {u"gsrx"_qs, u"公诉人席"_qs}};
    const std::optional<AbbreviationFound> found = abbreviationBefore(before, abbreviations);
    QCOMPARE(found ? found->text : QString(), text);
    QCOMPARE(found ? int(found->length) : 0, length);
}

void InsertionsTest::abbreviationLines()
{
    QStringList problems;
    const QList<Abbreviation> read =
        parseAbbreviations(u" zs = 张三 \n\nno equals\nbad code=x\nbj=\nsy=书记员=记录\n"_qs, &problems);
    QCOMPARE(read, (QList<Abbreviation>{{u"zs"_qs, u"张三"_qs}, {u"sy"_qs, u"书记员=记录"_qs}}));
    QCOMPARE(problems.size(), 3);
    QVERIFY(problems[1].contains(u"bad code=x"_qs));
    QCOMPARE(parseAbbreviations(tavrin::abbreviationLines(read)), read);
}

void InsertionsTest::labelsOfAName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("positions");
    QTest::newRow("labels that open paragraphs")
        << u"-00:00:01- 张三：甲\n-00:00:02- 李四：乙\n-00:00:03- 张三：丙"_qs << QList<int>{11, 43};
    QTest::newRow("not in mid-paragraph") << u"他说 -00:00:01- 张三：甲"_qs << QList<int>{};
    QTest::newRow("not a longer name") << u"-00:00:01- 张三丰：甲"_qs << QList<int>{};
    QTest::newRow("not without the blank") << u"-00:00:01-张三：甲"_qs << QList<int>{};
    QTest::newRow("not the name in the words") << u"-00:00:01- 李四：张三："_qs << QList<int>{};
}

void InsertionsTest::labelsOfAName()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, positions);
    QList<int> found;
    for (const qsizetype at : speakerNamePositions(text, u"张三"))
        found.append(int(at));
    QCOMPARE(found, positions);
    QVERIFY(isSpeakerName(u"约翰·史密斯") && !isSpeakerName(u"张 三") && !isSpeakerName(u"甲：乙")
            && !isSpeakerName(QString(21, u'名')) && !isSpeakerName(u""));
}

QTEST_GUILESS_MAIN(InsertionsTest)
#include "insertions_test.moc"
