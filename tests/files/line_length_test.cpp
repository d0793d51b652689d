#include "files/line_length.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class LineLengthTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void longestLine_data();
    void longestLine();
    void longestUnbrokenRun_data();
    void longestUnbrokenRun();
};

void LineLengthTest::longestLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("longest");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("only line breaks") << u"\n\n\n"_s << qsizetype(0);
    QTest::newRow("one line without a break") << u"abc"_s << qsizetype(3);
    QTest::newRow("longest in the middle") << u"ab\ncdef\ng"_s << qsizetype(4);
    QTest::newRow("longest first") << u"abcde\nf\n"_s << qsizetype(5);
    QTest::newRow("longest last, after empty lines") << u"\n\nxyz"_s << qsizetype(3);
    QTest::newRow("break not counted") << u"ab\n"_s << qsizetype(2);
    QTest::newRow("character outside the BMP counts two") << u"中\U00020000"_s << qsizetype(3);
    QTest::newRow("one over the editor's limit")
        << u"short\n"_s + QString(tavrin::kLongestEditorLine + 1, u'x') + u"\nend"_s << tavrin::kLongestEditorLine + 1;
}

void LineLengthTest::longestLine()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, longest);
    QCOMPARE(tavrin::longestLineLength(text), longest);
}

void LineLengthTest::longestUnbrokenRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("longest");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("words") << u"ab cdef g"_s << qsizetype(4);
    QTest::newRow("line breaks and tabs end a run") << u"abc\nde\tfgh"_s << qsizetype(3);
    QTest::newRow("Chinese wraps anywhere") << u"中文中文中文"_s << qsizetype(0);
    QTest::newRow("letters between Chinese") << u"中abc文de"_s << qsizetype(3);
    QTest::newRow("digits and marks") << u"-00:12:34-说"_s << qsizetype(10);
    QTest::newRow("full-width blank") << u"ab\u3000cd"_s << qsizetype(2);
    QTest::newRow("one over the limit") << u"short "_s + QString(tavrin::kLongestUnbrokenRun + 1, u'x')
                                        << tavrin::kLongestUnbrokenRun + 1;
}

void LineLengthTest::longestUnbrokenRun()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, longest);
    QCOMPARE(tavrin::longestUnbrokenRun(text), longest);
}

QTEST_GUILESS_MAIN(LineLengthTest)
#include "line_length_test.moc"
