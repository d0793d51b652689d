#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace tavrin {

// A short code typed for a long text: "gsr" for "公诉人".
struct Abbreviation {
    QString code; // letters and digits, no blank
    QString text;

    bool operator==(const Abbreviation&) const = default;
};

// One abbreviation a line, "code=text"; blank lines are skipped. `problems` gets
// a message for each line that is none (no "=", a code with a blank, an empty side).
QList<Abbreviation> parseAbbreviations(QStringView lines, QStringList* problems = nullptr);
QString abbreviationLines(const QList<Abbreviation>& abbreviations);

struct AbbreviationFound {
    qsizetype length = 0; // of the code, just before the caret
    QString text;         // what it stands for
};

// The abbreviation whose code ends just before the caret (`before` is the
// paragraph up to it), the longest of those that fit; a code counts only where
// it begins a word: at the paragraph's start, or after anything but a letter
// or digit (so after Chinese, a blank or punctuation).
std::optional<AbbreviationFound> abbreviationBefore(QStringView before, const QList<Abbreviation>& abbreviations);

} // namespace tavrin
