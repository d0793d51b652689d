#include "speech/word_times.h"

#include <cmath>

namespace tavrin {

namespace {

// What of a token is the text's: SentencePiece's word mark and the ends' blanks left out.
QString textOfToken(const QString& token)
{
    if (token.startsWith(u"<|") && token.endsWith(u"|>"))
        return {};
    QString text = token;
    text.replace(u'\u2581', u' ');
    return text.trimmed();
}

// The engine's times are floats: kept to the millisecond, as the player keeps positions.
double toMilliseconds(double seconds)
{
    return std::round(seconds * 1000.0) / 1000.0;
}

bool isBlank(QChar c)
{
    return c.isSpace();
}

} // namespace

std::vector<WordTime> placeTokens(QStringView text, const std::vector<QString>& tokens, const std::vector<float>& times,
                                  double offset)
{
    std::vector<WordTime> words;
    if (times.size() != tokens.size())
        return words;
    qsizetype from = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const QString piece = textOfToken(tokens[i]);
        if (piece.isEmpty())
            continue;
        qsizetype at = from;
        while (at < text.size() && isBlank(text[at]))
            ++at;
        // Looked for only where the text goes on: a token the text does not hold
        // there (text the engine changed after decoding) takes no time.
        if (!text.sliced(at).startsWith(piece))
            continue;
        from = at + piece.size();
        if (std::isfinite(times[i]) && times[i] >= 0)
            words.push_back({int(at), int(piece.size()), toMilliseconds(offset + double(times[i]))});
    }
    return words;
}

std::vector<WordTime> spreadOverUtterance(QStringView text, double start, double end)
{
    std::vector<WordTime> words;
    qsizetype counted = 0; // characters, a surrogate pair one
    for (QChar c : text)
        counted += isBlank(c) || c.isLowSurrogate() ? 0 : 1;
    if (counted == 0 || !(end >= start))
        return words;
    const double step = (end - start) / double(counted);
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (isBlank(text[at]))
            continue;
        // A pair of surrogates is one character.
        const int length = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        words.push_back({int(at), length, toMilliseconds(start + step * double(words.size()))});
        at += length - 1;
    }
    return words;
}

ConvertedWords convertKeepingWords(const QString& text, const std::vector<WordTime>& words,
                                   const std::function<QString(const QString&)>& convert)
{
    ConvertedWords whole{convert(text), words};
    if (whole.text.size() == text.size())
        return whole;
    ConvertedWords pieces;
    qsizetype from = 0;
    for (const WordTime& word : words) {
        pieces.text += convert(text.mid(from, word.at - from));
        const QString converted = convert(text.mid(word.at, word.length));
        pieces.words.push_back({int(pieces.text.size()), int(converted.size()), word.seconds});
        pieces.text += converted;
        from = word.at + word.length;
    }
    pieces.text += convert(text.mid(from));
    return pieces;
}

} // namespace tavrin
