#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tavrin {

// The first draft's recognition, kept in section 自动初稿 of the settings file.
// Without a model folder the draft holds the utterances' marks alone.
inline constexpr QStringView kDraftSection = u"自动初稿";
inline constexpr QStringView kModelFolderKey = u"modelFolder";
inline constexpr QStringView kLanguageKey = u"language";
inline constexpr QStringView kPunctuationKey = u"punctuation";
inline constexpr QStringView kThreadsKey = u"threads";
inline constexpr QStringView kToSimplifiedKey = u"toSimplified";

struct DraftOptions {
    QString modelFolder;                     // empty: no model
    QString language = QStringLiteral("zh"); // as the models name languages: zh, en, ja, ko, yue, auto
    bool punctuation = true;
    int threads = 0;           // 0: all cores but one
    bool toSimplified = false; // Traditional characters the model writes turned into Simplified ones

    bool operator==(const DraftOptions&) const = default;
};

// The threads a recogniser is given: `threads`, or all `cores` but one (at least one).
int draftThreads(int threads, int cores);

struct StoredDraftOptions {
    DraftOptions options; // a missing or damaged value reads as its default
    QStringList problems; // one message per damaged value, naming it and what it was taken as
};

StoredDraftOptions readDraftOptions(const QString& settingsFolder);
// Throws std::runtime_error ("Unable to write to <path>") when the file cannot be written.
void writeDraftOptions(const QString& settingsFolder, const DraftOptions& options);

} // namespace tavrin
