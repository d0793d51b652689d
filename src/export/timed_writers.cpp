#include "export/timed_writers.h"

#include <cmath>

namespace tavrin {

namespace {

// "01:02:03" and the milliseconds after `separator`.
QString clockText(double seconds, QChar separator)
{
    const qint64 milliseconds = std::llround(std::max(seconds, 0.0) * 1000.0);
    const qint64 wholeSeconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(wholeSeconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(wholeSeconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(wholeSeconds % 60, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

QString timing(const Cue& cue, QChar separator)
{
    return clockText(cue.start, separator) + QStringLiteral(" --> ") + clockText(cue.end, separator);
}

// A cue's text may not hold the arrow that opens a timing line.
QString withoutArrows(QString text)
{
    return text.replace(QStringLiteral("-->"), QStringLiteral("->"));
}

QString escapedForWebVtt(QString text)
{
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
        const QString speaker = cue.speaker.isEmpty() ? QString() : cue.speaker + u'：';
        out += QString::number(++number) + u'\n' + timing(cue, u',') + u'\n' + withoutArrows(speaker + cue.text)
            + QStringLiteral("\n\n");
    }
    return out.toUtf8();
}

QByteArray webVttBytes(const std::vector<Cue>& cues)
{
    QString out = QStringLiteral("WEBVTT\n\n");
    for (const Cue& cue : cues) {
        const QString voice = cue.speaker.isEmpty() ? QString() : QStringLiteral("<v ") + escapedForWebVtt(cue.speaker) + u'>';
        out += timing(cue, u'.') + u'\n' + voice + withoutArrows(escapedForWebVtt(cue.text)) + QStringLiteral("\n\n");
    }
    return out.toUtf8();
}

QByteArray cueTableBytes(const std::vector<Cue>& cues)
{
    QString out = QStringLiteral("start,end,speaker,text\r\n");
    for (const Cue& cue : cues)
        out += clockText(cue.start, u'.') + u',' + clockText(cue.end, u'.') + u',' + tableField(cue.speaker) + u','
            + tableField(cue.text) + QStringLiteral("\r\n");
    return out.toUtf8();
}

QByteArray plainTextBytes(QStringView text)
{
    return text.toUtf8();
}

} // namespace tavrin
