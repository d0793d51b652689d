#pragma once

// The draft's helper run as the window runs it, for its tests.
#include "speech/draft_event.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace tavrin::test {

inline constexpr int kHelperWaitMs = 120000;

struct HelperRun {
    QProcess::ExitStatus status = QProcess::CrashExit; // as well when it did not end in time
    int exitCode = -1;
    std::vector<DraftEvent> events;
    QByteArray errors; // its error output
};

// The helper (TAVRIN_DRAFT_HELPER) on `recording` with the engine in `engineFolder`
// and, when given, the model in `modelFolder`.
HelperRun runHelper(const QString& engineFolder, const QString& recording, const QString& modelFolder = {});

std::vector<DraftEvent> ofKind(const std::vector<DraftEvent>& events, DraftEvent::Kind kind);

// An engine folder with the real engine's libraries and `model` as the voice detector.
QString engineWithModel(const QTemporaryDir& folder, const QByteArray& model);
// The first `bytes` of the real voice detector's model.
QByteArray realModelStart(qint64 bytes);

// Text a terminal shows as text: UTF-8, no control characters but line ends and tabs.
bool isPlainText(const QByteArray& bytes);

// The helper's peak resident memory in MiB on `recording`, however it ended.
double peakMemoryOn(const QString& recording);

} // namespace tavrin::test
