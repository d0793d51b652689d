#include "export/timed_writers.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

// SubRip has no escapes: a run of hyphens before '>' is written as one, so
// that no "-->" is left to open a timing line.
QString withoutArrows(QString text)
{
    if (!text.contains(u"-->"))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        while (c == u'>' && out.endsWith(u"--"))
            out.chop(1);
        out += c;
    }
    return out;
}

QString escapedForWebVtt(QString text)
{
    if (!text.contains(u'&') && !text.contains(u'<') && !text.contains(u'>'))
        return text;
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 && c != u'\t';
}

QString withoutControls(QStringView line)
{
    QString kept;
    kept.reserve(line.size());
    for (const QChar c : line) {
        if (!isControl(c))
            kept += c;
    }
    return kept;
}

enum class Subtitles {
    SubRip,
    WebVtt
};

// A cue's text, or a speaker's name, as a subtitle file may hold it: its lines
// (CR breaks a line as LF does, for players) without control characters,
// trimmed, the empty ones left out, and joined by `separator`: no blank line
// ends the cue early, and no line is read as a timing line.
void appendCueText(QString& out, QStringView text, Subtitles format, QStringView separator)
{
    bool first = true;
    for (QStringView line : text.tokenize(QChar(u'\n'))) {
        for (QStringView part : line.tokenize(QChar(u'\r'))) {
            QString kept = std::any_of(part.begin(), part.end(), isControl) ? withoutControls(part).trimmed()
                                                                            : part.trimmed().toString();
            if (kept.isEmpty())
                continue;
            if (!first)
                out += separator;
            first = false;
            out += format == Subtitles::SubRip ? withoutArrows(std::move(kept)) : escapedForWebVtt(std::move(kept));
        }
    }
}

// Spreadsheets take a cell that opens with one of these as a formula (or as a
// blank before one): such a cell opens with an apostrophe instead, which keeps
// it text.
bool looksLikeAFormula(QStringView field)
{
    return !field.isEmpty() && QStringView(u"=+-@\t\r").contains(field.front());
}

QString tableField(const QString& field)
{
    const QString text = looksLikeAFormula(field) ? u'\'' + field : field;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
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
        const qsizetype before = out.size();
        appendCueText(out, cue.speaker, Subtitles::SubRip, u" ");
        if (out.size() > before)
            out += u'：';
        appendCueText(out, cue.text, Subtitles::SubRip, u"\n");
        out += u"\n\n";
    }
    return out.toUtf8();
}

QByteArray webVttBytes(const std::vector<Cue>& cues)
{
    QString out = QStringLiteral("WEBVTT\n\n");
    for (const Cue& cue : cues) {
        appendTiming(out, cue, u'.');
        QString speaker;
        appendCueText(speaker, cue.speaker, Subtitles::WebVtt, u" ");
        if (!speaker.isEmpty()) {
            out += u"<v ";
            out += speaker;
            out += u'>';
        }
        appendCueText(out, cue.text, Subtitles::WebVtt, u"\n");
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
