#include "export/timed_writers.h"

#include <cmath>

namespace tavrin {

namespace {

// "01:02:03" and the milliseconds after `separator`, written digit by digit:
// a 20 MB transcript has a hundred thousand of them.
void appendClock(QString& text, double seconds, QChar separator)
{
    const qint64 milliseconds = std::llround(std::max(seconds, 0.0) * 1000.0);
    const qint64 wholeSeconds = milliseconds / 1000;
    const qint64 hours = wholeSeconds / 3600;
    if (hours >= 100)
        text += QString::number(hours);
    const auto digits = [&text](qint64 value, int count) {
        for (qint64 unit = count == 3 ? 100 : 10; unit > 0; unit /= 10)
            text += QChar(u'0' + int(value / unit % 10));
    };
    if (hours < 100)
        digits(hours, 2);
    text += u':';
    digits(wholeSeconds / 60 % 60, 2);
    text += u':';
    digits(wholeSeconds % 60, 2);
    text += separator;
    digits(milliseconds % 1000, 3);
}

void appendTiming(QString& text, const Cue& cue, QChar separator)
{
    appendClock(text, cue.start, separator);
    text += u" --> ";
    appendClock(text, cue.end, separator);
    text += u'\n';
}

// A cue's text may not hold the arrow that opens a timing line.
QString withoutArrows(QString text)
{
    if (text.contains(u"-->"))
        text.replace(QStringLiteral("-->"), QStringLiteral("->"));
    return text;
}

QString escapedForWebVtt(QString text)
{
    if (!text.contains(u'&') && !text.contains(u'<') && !text.contains(u'>'))
        return text;
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
}

QString tableField(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    return u'"' + quoted.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QByteArray subRipBytes(const std::vector<Cue>& cues)
{
    QString out;
    int number = 0;
    for (const Cue& cue : cues) {
        out += QString::number(++number);
        out += u'\n';
        appendTiming(out, cue, u',');
        if (!cue.speaker.isEmpty()) {
            out += withoutArrows(cue.speaker);
            out += u'：';
        }
        out += withoutArrows(cue.text);
        out += u"\n\n";
    }
    return out.toUtf8();
}

QByteArray webVttBytes(const std::vector<Cue>& cues)
{
    QString out = QStringLiteral("WEBVTT\n\n");
    for (const Cue& cue : cues) {
        appendTiming(out, cue, u'.');
        if (!cue.speaker.isEmpty()) {
            out += u"<v ";
            out += escapedForWebVtt(cue.speaker);
            out += u'>';
        }
        out += withoutArrows(escapedForWebVtt(cue.text));
        out += u"\n\n";
    }
    return out.toUtf8();
}

QByteArray cueTableBytes(const std::vector<Cue>& cues)
{
    QString out = QStringLiteral("start,end,speaker,text\r\n");
    for (const Cue& cue : cues) {
        appendClock(out, cue.start, u'.');
        out += u',';
        appendClock(out, cue.end, u'.');
        out += u',';
        out += tableField(cue.speaker);
        out += u',';
        out += tableField(cue.text);
        out += u"\r\n";
    }
    return out.toUtf8();
}

QByteArray plainTextBytes(QStringView text)
{
    return text.toUtf8();
}

} // namespace tavrin
