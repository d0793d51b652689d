#include "speech/draft_event.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cmath>

namespace tavrin {

namespace {

using Kind = DraftEvent::Kind;

constexpr std::array<std::pair<Kind, const char*>, 5> kKindNames{{
    {Kind::Started, "started"},
    {Kind::Progress, "progress"},
    {Kind::Utterance, "utterance"},
    {Kind::Finished, "finished"},
    {Kind::Failed, "failed"},
}};

std::optional<Kind> kindNamed(const QString& name)
{
    for (const auto& [kind, kindName] : kKindNames)
        if (name == QLatin1String(kindName))
            return kind;
    return std::nullopt;
}

const char* nameOf(Kind kind)
{
    for (const auto& [candidate, name] : kKindNames)
        if (candidate == kind)
            return name;
    return "";
}

bool isTime(const QJsonValue& value)
{
    return value.isDouble() && std::isfinite(value.toDouble()) && value.toDouble() >= 0;
}

bool isCount(const QJsonValue& value, qsizetype most)
{
    const double n = value.toDouble(-1);
    return value.isDouble() && n >= 0 && n <= double(most) && n == std::floor(n);
}

// A word as [where it starts in the text, its length, its time].
QJsonArray wordsArray(const std::vector<WordTime>& words)
{
    QJsonArray array;
    for (const WordTime& word : words)
        array.append(QJsonArray{word.at, word.length, word.seconds});
    return array;
}

// The words told, if every one lies on the text, in order and apart, with a time;
// none otherwise: a line is never trusted, and a time may be missing, never wrong.
std::vector<WordTime> wordsOn(const QJsonValue& value, qsizetype textLength)
{
    std::vector<WordTime> words;
    qsizetype from = 0;
    for (const QJsonValue& item : value.toArray()) {
        const QJsonArray word = item.toArray();
        if (word.size() != 3 || !isCount(word[0], textLength) || !isCount(word[1], textLength) || !isTime(word[2]))
            return {};
        const WordTime told{word[0].toInt(), word[1].toInt(), word[2].toDouble()};
        if (told.at < from || told.length == 0 || told.at + told.length > textLength)
            return {};
        words.push_back(told);
        from = told.at + told.length;
    }
    return words;
}

} // namespace

QByteArray encodeDraftEvent(const DraftEvent& event)
{
    QJsonObject object{{QStringLiteral("event"), QLatin1String(nameOf(event.kind))}};
    if (event.kind == Kind::Started || event.kind == Kind::Progress || event.kind == Kind::Utterance)
        object.insert(QStringLiteral("seconds"), event.seconds);
    if (event.kind == Kind::Utterance)
        object.insert(QStringLiteral("end"), event.endSeconds);
    if (event.kind == Kind::Utterance || event.kind == Kind::Failed)
        object.insert(QStringLiteral("text"), event.text);
    if (event.kind == Kind::Utterance && !event.words.empty()) {
        object.insert(QStringLiteral("words"), wordsArray(event.words));
        if (event.wordsEstimated)
            object.insert(QStringLiteral("estimated"), true);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<DraftEvent> decodeDraftEvent(QByteArrayView line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed().toByteArray());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const std::optional<Kind> kind = kindNamed(object.value(QStringLiteral("event")).toString());
    if (!kind)
        return std::nullopt;
    DraftEvent event;
    event.kind = *kind;
    const bool timed = *kind == Kind::Started || *kind == Kind::Progress || *kind == Kind::Utterance;
    if (timed) {
        if (!isTime(object.value(QStringLiteral("seconds"))))
            return std::nullopt;
        event.seconds = object.value(QStringLiteral("seconds")).toDouble();
    }
    if (*kind == Kind::Utterance) {
        const QJsonValue end = object.value(QStringLiteral("end"));
        if (!isTime(end) || end.toDouble() < event.seconds)
            return std::nullopt;
        event.endSeconds = end.toDouble();
    }
    if (*kind == Kind::Utterance || *kind == Kind::Failed)
        event.text = object.value(QStringLiteral("text")).toString();
    if (*kind == Kind::Utterance) {
        event.words = wordsOn(object.value(QStringLiteral("words")), event.text.size());
        event.wordsEstimated = !event.words.empty() && object.value(QStringLiteral("estimated")).toBool();
    }
    return event;
}

} // namespace tavrin
