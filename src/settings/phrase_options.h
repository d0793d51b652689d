#pragma once

#include "editor/abbreviations.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace tavrin {

// Phrases on keys and abbreviations, kept in section 短语 of the settings file.
inline constexpr QStringView kPhraseSection = u"短语";
inline constexpr QStringView kAbbreviationsKey = u"abbreviations";
inline constexpr QStringView kExpandKeyKey = u"expandKey";
// In a phrase, where the current time mark goes.
inline constexpr QStringView kTimeMarkPlaceholder = u"{时间}";

// Ctrl+F2 to Ctrl+F6, then Shift+F2 to Shift+F6.
inline constexpr int kPhraseCount = 10;

enum class ExpandKey {
    F5,
    F11
};

struct PhraseOptions {
    std::array<QString, kPhraseCount> phrases{QStringLiteral("[听不清]{时间}"), QStringLiteral("[笑声]"),
                                              QStringLiteral("[多人同时说话]")};
    QList<Abbreviation> abbreviations;
    ExpandKey expandKey = ExpandKey::F5;

    bool operator==(const PhraseOptions&) const = default;
};

// "Ctrl+F2" for the first phrase, "Shift+F6" for the last.
QString phraseKeyName(int phrase);
// The key a phrase is stored under: "phrase1" to "phrase10".
QString phraseSettingKey(int phrase);

struct StoredPhraseOptions {
    PhraseOptions options; // a missing value reads as its default
    QStringList problems;  // one message per damaged value
};

// Read afresh at every call. Abbreviations are stored on one line, "code=text" pairs with "|" between them.
StoredPhraseOptions readPhraseOptions(const QString& settingsFolder);
// Throws std::runtime_error ("Unable to write to <path>") when the file cannot be written.
void writePhraseOptions(const QString& settingsFolder, const PhraseOptions& options);

} // namespace tavrin
