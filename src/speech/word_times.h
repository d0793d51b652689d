#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace tavrin {

// Where a word of an utterance's text starts in the recording: the characters
// from `at`, `length` of them, are heard from `seconds` on.
struct WordTime {
    int at = 0;
    int length = 0;
    double seconds = 0;
    bool operator==(const WordTime&) const = default;
};

// The tokens a recogniser gave for `text`, each with the start the model gave it
// within the utterance, placed on the text: each token is looked for in turn from
// where the one before ended (the engine writes a space as SentencePiece's "▁" and
// tells what is not text as "<|…|>"; both are left out), and its start is
// `offset` (the utterance's start in the recording) after its time. A token not
// found is left out: a word may go without a time, never with another's.
std::vector<WordTime> placeTokens(QStringView text, const std::vector<QString>& tokens, const std::vector<float>& times,
                                  double offset);

// For a model that gives no times: each character but blanks spread evenly over
// the utterance, from `start` to `end`, as the estimate it is.
std::vector<WordTime> spreadOverUtterance(QStringView text, double start, double end);

// `text` converted by `convert` (Traditional characters into Simplified ones),
// `words` kept on the characters they were on: the whole text at once, as the
// conversion reads phrases, or piece by piece where that changed its length.
struct ConvertedWords {
    QString text;
    std::vector<WordTime> words;
};
ConvertedWords convertKeepingWords(const QString& text, const std::vector<WordTime>& words,
                                   const std::function<QString(const QString&)>& convert);

} // namespace tavrin
