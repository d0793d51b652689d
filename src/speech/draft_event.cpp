#include "speech/draft_event.h"

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
    return event;
}

} // namespace tavrin
