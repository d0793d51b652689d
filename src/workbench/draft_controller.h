#pragma once

#include "speech/draft_process.h"
#include "transcript/text_times.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <optional>
#include <vector>

class QProgressDialog;
class QWidget;

namespace tavrin {

class Desktop;
class DraftOptionsDialog;
class MediaPlayer;
class TextTimesWatcher;
class TranscriptEdit;

// The machine's first draft of the loaded recording: one paragraph for each
// utterance, its time mark first (as F8 writes it), then its words. Into an
// empty editor the paragraphs go as they come, so that the first minutes can be
// corrected while the rest is found; into one that holds text, only after
// asking, and then at the end. Either way they are text like typed text:
// journalled, undoable, saved as any other.
class DraftController : public QObject {
    Q_OBJECT
public:
    // A paragraph the draft writes, with the times of its words from its start.
    struct Drafted {
        QString text;
        std::vector<TextTimes::Stretch> times;
    };

    struct Widgets {
        QWidget* window = nullptr; // owns the progress display and the messages
        TranscriptEdit* editor = nullptr;
    };

    // The model and its options are read from the settings file in `settingsFolder` at each start.
    DraftController(const Widgets& widgets, MediaPlayer& player, Desktop& desktop, const DraftPlaces& places,
                    QString settingsFolder);
    ~DraftController() override;

    // The menu item: starts the draft of the loaded recording (or shows the one running).
    void startDraft();
    // The dialog of the model and its options.
    void showOptions();
    // Ends the draft at once; what it wrote stays.
    void cancel();
    // Another recording opened: a draft of the one before ends.
    void recordingOpened(const QString& recording);
    bool isRunning() const { return process_.isRunning(); }
    // Where the drafted words' times are kept beside the text; none: they are not.
    void setTextTimes(TextTimesWatcher* times) { times_ = times; }

private:
    enum class Placing {
        AsItComes,
        AtTheEnd
    };

    // What the settings ask for, or nothing when what they name cannot serve (told to the user).
    std::optional<DraftRequest> requestFor(const QString& recording);
    // Shown beside the window, never taking the typing from it.
    void openProgress();
    void showProgress(double seconds);
    void place(double startSeconds, const QString& text, const std::vector<WordTime>& words);
    void appendParagraphs(const std::vector<Drafted>& paragraphs);
    void finish();
    void fail(const QString& message);
    void endDraft();
    void closeProgress();

    Widgets widgets_;
    MediaPlayer& player_;
    Desktop& desktop_;
    DraftProcess process_;
    QString settingsFolder_;
    QString recording_;
    Placing placing_ = Placing::AsItComes;
    std::vector<Drafted> held_; // AtTheEnd: the paragraphs until the draft is done
    TextTimesWatcher* times_ = nullptr;
    int found_ = 0; // utterances of this draft
    double durationSeconds_ = 0;
    QElapsedTimer clock_;
    QProgressDialog* progress_ = nullptr;
    DraftOptionsDialog* optionsDialog_ = nullptr; // the window's child, made when first shown
};

} // namespace tavrin
