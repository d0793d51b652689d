#include "settings/draft_options.h"

#include "settings/settings_file.h"

#include <algorithm>

namespace tavrin {

namespace {

constexpr int kMostThreads = 64;
const QStringList kLanguages{QStringLiteral("zh"), QStringLiteral("en"),  QStringLiteral("ja"),
                             QStringLiteral("ko"), QStringLiteral("yue"), QStringLiteral("auto")};

QString damagedValue(QStringView key, QStringView value, const QString& expected)
{
    return damagedSettingText(kDraftSection, key, value, expected);
}

// A flag stored as 1 or 0; anything else keeps `flag` as it is and is told.
void readFlag(const std::optional<QString>& text, QStringView key, const QString& byDefault, bool& flag,
              QStringList& problems)
{
    if (!text)
        return;
    if (const std::optional<bool> on = parseSettingFlag(*text))
        flag = *on;
    else
        problems << damagedValue(key, *text, QStringLiteral("应为1（开）或0（关）。现按%1处理。").arg(byDefault));
}

} // namespace

int draftThreads(int threads, int cores)
{
    return threads > 0 ? threads : std::max(1, cores - 1);
}

StoredDraftOptions readDraftOptions(const QString& settingsFolder)
{
    const QList<std::optional<QString>> texts = readSettingValues(
        settingsFolder, kDraftSection, {kModelFolderKey, kLanguageKey, kPunctuationKey, kThreadsKey, kToSimplifiedKey});
    StoredDraftOptions stored;
    DraftOptions& options = stored.options;
    if (texts[0])
        options.modelFolder = texts[0]->trimmed();
    if (const std::optional<QString>& text = texts[1]) {
        if (kLanguages.contains(text->trimmed()))
            options.language = text->trimmed();
        else
            stored.problems << damagedValue(kLanguageKey, *text,
                                            QStringLiteral("应为 zh、en、ja、ko、yue 或 auto。现按 zh（中文）处理。"));
    }
    readFlag(texts[2], kPunctuationKey, QStringLiteral("开"), options.punctuation, stored.problems);
    readFlag(texts[4], kToSimplifiedKey, QStringLiteral("关"), options.toSimplified, stored.problems);
    if (const std::optional<QString>& text = texts[3]) {
        bool ok = false;
        const int threads = text->trimmed().toInt(&ok);
        if (ok && threads >= 0 && threads <= kMostThreads)
            options.threads = threads;
        else
            stored.problems << damagedValue(kThreadsKey, *text,
                                            QStringLiteral("应为0到64之间的整数（0：除一个核心外全部）。现按0处理。"));
    }
    return stored;
}

void writeDraftOptions(const QString& settingsFolder, const DraftOptions& options)
{
    writeSettingValues(
        settingsFolder, kDraftSection,
        {{kModelFolderKey.toString(), options.modelFolder},
         {kLanguageKey.toString(), options.language},
         {kPunctuationKey.toString(), options.punctuation ? QStringLiteral("1") : QStringLiteral("0")},
         {kThreadsKey.toString(), QString::number(options.threads)},
         {kToSimplifiedKey.toString(), options.toSimplified ? QStringLiteral("1") : QStringLiteral("0")}});
}

} // namespace tavrin
