#pragma once

#include "speech/word_times.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin {

// Where the draft's helper and the speech engine it runs are found.
struct DraftPlaces {
    QString helper;       // the tavrin-draft executable
    QString engineFolder; // the engine's libraries and the voice detector's model
};

// What a draft is asked to do: the recording, and the model that recognises its
// words (none: the utterances' marks alone).
struct DraftRequest {
    QString recording;
    QString modelFolder;
    QString language = QStringLiteral("zh");
    bool punctuation = true;
    int threads = 1;
    bool toSimplified = false;
};

// The helper's command line for `request`, with the engine in `engineFolder`.
QStringList draftHelperArguments(const QString& engineFolder, const DraftRequest& request);

// The draft's helper process, started for one recording and told what it finds.
// A fault of the engine ends the helper alone: it is told through failed(), and
// what was found before it stays told. After cancel(), nothing more is told.
class DraftProcess : public QObject {
    Q_OBJECT
public:
    explicit DraftProcess(DraftPlaces places, QObject* parent = nullptr);
    ~DraftProcess() override;

    void start(const DraftRequest& request);
    // Ends the helper at once.
    void cancel();
    bool isRunning() const { return process_ != nullptr; }

Q_SIGNALS:
    void started(double durationSeconds); // 0: the recording's length is not known
    void progressed(double seconds);      // the sound gone through so far
    // `words`: where each word of `text` starts, as the helper told it (none without a model).
    void utteranceFound(double startSeconds, double endSeconds, const QString& text,
                        const std::vector<tavrin::WordTime>& words);
    void finished();
    void failed(const QString& message);

private:
    void readEvents();
    void processEnded(int exitCode, QProcess::ExitStatus status);
    void processFailedToStart(QProcess::ProcessError error);
    void end();

    DraftPlaces places_;
    QProcess* process_ = nullptr;
    bool toldEnd_ = false;
};

} // namespace tavrin
