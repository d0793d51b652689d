#include "workbench/transcription_work.h"

#include "desktop/command_runner.h"
#include "editor/transcript_edit.h"
#include "files/dropped_files.h"
#include "files/file_memory.h"
#include "files/transcript_journal.h"
#include "player/media_player.h"
#include "workbench/recording_loader.h"
#include "workbench/transcript_controller.h"

#include <QDir>
#include <QWidget>

#include <cmath>

namespace tavrin {

TranscriptionWork::TranscriptionWork(const Widgets& widgets, MediaPlayer& player, Desktop& desktop,
                                     const QString& stateFolder)
    : widgets_(widgets)
    , desktop_(desktop)
    , transcript_(std::make_unique<TranscriptController>(
          TranscriptController::Widgets{widgets.owner, widgets.editor, widgets.savedNotice}, desktop))
    , recordings_(std::make_unique<RecordingLoader>(
          RecordingLoader::Widgets{widgets.owner, widgets.editor, widgets.displayRefresh, widgets.timeBox}, player,
          desktop))
{
    if (stateFolder.isEmpty())
        return;
    const QDir state(stateFolder);
    memory_ = std::make_unique<FileMemory>(state.filePath(QStringLiteral("files.json")));
    transcript_->setFileMemory(memory_.get());
    recordings_->setFileMemory(memory_.get());
    // The position is asked only once a recording is loaded, when the player runs.
    auto positionMs = [&player] { return qint64(std::llround(player.currentPosition() * 1000.0)); };
    journal_ = std::make_unique<TranscriptJournal>(widgets.editor->document(),
                                                   state.filePath(QStringLiteral("journals")), positionMs);
    transcript_->setJournal(journal_.get());
}

TranscriptionWork::~TranscriptionWork() = default;

void TranscriptionWork::chooseRecording()
{
    if (const QString recording = recordings_->chooseAndLoad(); !recording.isEmpty())
        transcript_->takeRecording(recording);
}

void TranscriptionWork::chooseTranscript()
{
    transcript_->chooseAndLoad();
}

void TranscriptionWork::open(const QString& recording, const QString& transcript)
{
    const QString loaded = recording.isEmpty() ? QString() : recordings_->load(recording);
    if (!transcript.isEmpty()) {
        // The transcript named is the one wanted, not the one beside the recording.
        if (!loaded.isEmpty())
            transcript_->setRecording(loaded);
        transcript_->load(transcript);
    } else if (!loaded.isEmpty()) {
        transcript_->takeRecording(loaded);
    }
}

void TranscriptionWork::openDropped(const QList<QUrl>& urls)
{
    QMetaObject::invokeMethod(
        widgets_.owner, [this, dropped = decideDrop(urls)] { openDroppedNow(dropped); }, Qt::QueuedConnection);
}

void TranscriptionWork::openDroppedNow(const DroppedFile& dropped)
{
    widgets_.owner->activateWindow();
    runCommand(desktop_, widgets_.owner, [this, &dropped] {
        if (dropped.kind == DroppedFile::Kind::Refused)
            showPlainMessage(desktop_, widgets_.owner, dropped.message);
        else if (dropped.kind == DroppedFile::Kind::Recording)
            open(dropped.path, QString());
        else
            open(QString(), dropped.path);
    });
}

void TranscriptionWork::save()
{
    transcript_->save();
    recordings_->rememberPosition();
}

void TranscriptionWork::recoverUnsaved()
{
    transcript_->recoverUnsaved(
        [this](const QString& path, qint64 positionMs) { return recordings_->reopenAt(path, positionMs); });
}

void TranscriptionWork::close()
{
    if (journal_)
        journal_->close();
    recordings_->rememberPosition();
}

} // namespace tavrin
