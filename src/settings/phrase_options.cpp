#include "settings/phrase_options.h"

#include "settings/settings_file.h"

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

constexpr QStringView kKeyNames[] = {u"F2", u"F3", u"F4", u"F5", u"F6"};

QString storedAbbreviations(const QList<Abbreviation>& abbreviations)
{
    // The settings file holds a value on one line.
    return abbreviationLines(abbreviations).replace(u'\n', u'|');
}

} // namespace

QString phraseKeyName(int phrase)
{
    const int perModifier = int(std::size(kKeyNames));
    return (phrase < perModifier ? u"Ctrl+"_s : u"Shift+"_s) + kKeyNames[phrase % perModifier].toString();
}

QString phraseSettingKey(int phrase)
{
    return u"phrase%1"_s.arg(phrase + 1);
}

StoredPhraseOptions readPhraseOptions(const QString& settingsFolder)
{
    QStringList keys;
    for (int phrase = 0; phrase < kPhraseCount; ++phrase)
        keys.append(phraseSettingKey(phrase));
    QList<QStringView> asked(keys.begin(), keys.end());
    asked << kAbbreviationsKey << kExpandKeyKey;
    const QList<std::optional<QString>> texts = readSettingValues(settingsFolder, kPhraseSection, asked);

    StoredPhraseOptions stored;
    for (int phrase = 0; phrase < kPhraseCount; ++phrase) {
        if (texts[phrase])
            stored.options.phrases[phrase] = *texts[phrase];
    }
    if (const std::optional<QString>& text = texts[kPhraseCount]) {
        QString lines = *text;
        stored.options.abbreviations = parseAbbreviations(lines.replace(u'|', u'\n'), &stored.problems);
    }
    if (const std::optional<QString>& text = texts[kPhraseCount + 1]) {
        if (text->trimmed() == u"F11"_s)
            stored.options.expandKey = ExpandKey::F11;
        else if (text->trimmed() != u"F5"_s)
            stored.problems << damagedSettingText(kPhraseSection, kExpandKeyKey, *text, u"应为F5或F11。现按F5处理。"_s);
    }
    return stored;
}

void writePhraseOptions(const QString& settingsFolder, const PhraseOptions& options)
{
    SettingValues values;
    for (int phrase = 0; phrase < kPhraseCount; ++phrase)
        values.append({phraseSettingKey(phrase), options.phrases[phrase]});
    values.append({kAbbreviationsKey.toString(), storedAbbreviations(options.abbreviations)});
    values.append({kExpandKeyKey.toString(), options.expandKey == ExpandKey::F11 ? u"F11"_s : u"F5"_s});
    writeSettingValues(settingsFolder, kPhraseSection, values);
}

} // namespace tavrin
