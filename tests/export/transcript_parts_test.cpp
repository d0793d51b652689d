#include "export/timed_writers.h"
#include "export/transcript_parts.h"

#include <QtTest>

using namespace tavrin;

namespace {

using Kind = TextSpan::Kind;

// "M|-00:00:01-" for a mark, "S|张三：" for a speaker, "W|..." for words.
QStringList described(const ExportParagraph& paragraph)
{
    QStringList spans;
    for (const TextSpan& span : paragraph)
        spans.append(QString(span.kind == Kind::Mark ? u'M' : span.kind == Kind::Speaker ? u'S' : u'W') + u'|'
                     + span.text);
    return spans;
}

// "start-end speaker|text" for each cue.
QStringList described(const std::vector<Cue>& cues)
{
    QStringList lines;
    for (const Cue& cue : cues)
        lines.append(QStringLiteral("%1-%2 %3|%4").arg(cue.start).arg(cue.end).arg(cue.speaker, cue.text));
    return lines;
}

} // namespace

class TranscriptPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paragraphSpans_data();
    void paragraphSpans();
    void cues_data();
    void cues();
    void subtitlesInTheOrderOfTime();
    void subtitleTextIsEscaped();
};

void TranscriptPartsTest::paragraphSpans_data()
{
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<QStringList>("spans");
    const auto row = [](const char* name, const QString& paragraph, const QStringList& spans) {
        QTest::newRow(name) << paragraph << spans;
    };
    row("a speaker label", u"-00:12:34- 张三：你好"_qs, {u"M|-00:12:34-"_qs, u"W| "_qs, u"S|张三："_qs, u"W|你好"_qs});
    row("a full-width blank", u"-00:00:01-\u3000李四：好"_qs, {u"M|-00:00:01-"_qs, u"W|\u3000"_qs, u"S|李四："_qs, u"W|好"_qs});
    row("a foreign name", u"-00:00:01- 约翰·史密斯：嗯"_qs,
        {u"M|-00:00:01-"_qs, u"W| "_qs, u"S|约翰·史密斯："_qs, u"W|嗯"_qs});
    row("no blank: the draft's words", u"-00:00:01-张三：你好"_qs, {u"M|-00:00:01-"_qs, u"W|张三：你好"_qs});
    row("a sentence, not a name", u"-00:00:01- 他说，好：嗯"_qs, {u"M|-00:00:01-"_qs, u"W| 他说，好：嗯"_qs});
    row("a name of 21 characters", u"-00:00:01- "_qs + QString(21, u'名') + u"：话"_qs,
        {u"M|-00:00:01-"_qs, u"W| "_qs + QString(21, u'名') + u"：话"_qs});
    row("a name of 20 characters", u"-00:00:01- "_qs + QString(20, u'名') + u"：话"_qs,
        {u"M|-00:00:01-"_qs, u"W| "_qs, u"S|"_qs + QString(20, u'名') + u"："_qs, u"W|话"_qs});
    row("a label in mid-paragraph is words", u"前面 -00:00:05- 张三：话"_qs,
        {u"W|前面 "_qs, u"M|-00:00:05-"_qs, u"W| 张三：话"_qs});
    row("marks sharing a hyphen", u"-00:00:01-00:00:02-"_qs, {u"M|-00:00:01-"_qs, u"W|00:00:02-"_qs});
    row("no mark", u"只有文字"_qs, {u"W|只有文字"_qs});
    row("empty", QString(), {});
}

void TranscriptPartsTest::paragraphSpans()
{
    QFETCH(QString, paragraph);
    QFETCH(QStringList, spans);
    const std::vector<ExportParagraph> paragraphs = exportParagraphs(paragraph);
    QCOMPARE(paragraphs.size(), std::size_t(1));
    QCOMPARE(described(paragraphs.front()), spans);
}

void TranscriptPartsTest::cues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("duration"); // 0: not known
    QTest::addColumn<QStringList>("cues");
    const auto row = [](const char* name, const QString& text, double duration, const QStringList& cues) {
        QTest::newRow(name) << text << duration << cues;
    };
    row("in order, the last to the recording's end", u"-00:00:02- 张三：甲\n乙\n-00:00:05-丙"_qs, 9.5,
        {u"2-5 张三|甲\n乙"_qs, u"5-9.5 |丙"_qs});
    row("the recording's length not known", u"-00:00:02-甲"_qs, 0.0, {u"2-7 |甲"_qs});
    row("a last mark past the recording's end", u"-00:00:02-甲\n-00:00:30-乙"_qs, 10.0,
        {u"2-30 |甲"_qs, u"30-35 |乙"_qs});
    row("out of order: each to the next later time", u"-00:00:30-甲\n-00:00:10-乙\n-00:00:20-丙"_qs, 40.0,
        {u"30-40 |甲"_qs, u"10-20 |乙"_qs, u"20-30 |丙"_qs});
    row("two at one second", u"-00:00:05-甲\n-00:00:05-乙\n-00:00:08-丙"_qs, 0.0,
        {u"5-8 |甲"_qs, u"5-8 |乙"_qs, u"8-13 |丙"_qs});
    row("text before the first mark", u"标题\n\n-00:00:04-甲"_qs, 0.0, {u"0-4 |标题"_qs, u"4-9 |甲"_qs});
    row("a mark with no words", u"-00:00:01-\n-00:00:03-乙"_qs, 0.0, {u"1-3 |"_qs, u"3-8 |乙"_qs});
    row("blank lines and blanks left out", u"-00:00:01-  甲  \n\n  乙\n"_qs, 0.0, {u"1-6 |甲\n乙"_qs});
    row("no marks", u"只有文字"_qs, 10.0, {});
    row("empty", QString(), 10.0, {});
}

void TranscriptPartsTest::cues()
{
    QFETCH(QString, text);
    QFETCH(double, duration);
    QFETCH(QStringList, cues);
    QCOMPARE(described(exportCues(text, duration > 0 ? std::optional<double>(duration) : std::nullopt)), cues);
}

void TranscriptPartsTest::subtitlesInTheOrderOfTime()
{
    const auto cues = exportCues(u"-00:00:30-甲\n-00:00:10-\n-00:00:20-丙\n-00:00:20-丁"_qs, std::nullopt);
    QCOMPARE(described(subtitleCues(cues)), (QStringList{u"20-30 |丙"_qs, u"20-30 |丁"_qs, u"30-35 |甲"_qs}));
}

// What would end a cue or open a tag early stays text.
void TranscriptPartsTest::subtitleTextIsEscaped()
{
    const std::vector<Cue> cues{{1, 2.0, u"A<B>"_qs, u"x --> y & <z>"_qs}};
    QCOMPARE(QString::fromUtf8(webVttBytes(cues)),
             u"WEBVTT\n\n00:00:01.000 --> 00:00:02.000\n<v A&lt;B&gt;>x --&gt; y &amp; &lt;z&gt;\n\n"_qs);
    QCOMPARE(QString::fromUtf8(subRipBytes(cues)), u"1\n00:00:01,000 --> 00:00:02,000\nA<B>：x -> y & <z>\n\n"_qs);
}

QTEST_MAIN(TranscriptPartsTest)
#include "transcript_parts_test.moc"
