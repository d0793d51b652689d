// Resident memory of the program in its working states, against a bare
// QPlainTextEdit holding the same text in a process of its own.
#include "bench_window.h"
#include "measure.h"

#include "app/link_label.h"
#include "desktop/fonts.h"
#include "editor/transcript_edit.h"
#include "files/transcript_file.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace tavrin::bench {

namespace {
// run_bench.py waits as long before it reads mpv's own figure beside this one.
constexpr int kSettleMs = 1500;
} // namespace

// mode: "idle", "recording" (argument: the recording), "transcript" (argument:
// the transcript file), or "bare" (argument: a transcript file, or nothing).
int runMemory(const QString& mode, const QString& file)
{
    if (mode == QStringLiteral("bare")) {
        QPlainTextEdit editor;
        editor.setFont(editorFont());
        editor.resize(984, 488);
        editor.show();
        if (!QTest::qWaitForWindowExposed(&editor))
            return 1;
        if (!file.isEmpty())
            editor.setPlainText(loadTranscript(file).text);
        settle(kSettleMs);
        report("resident", residentMiB(), "MiB");
        return 0;
    }

    BenchWindow window;
    QTemporaryDir recordings;
    if (mode == QStringLiteral("recording")) {
        window.loadRecording(file);
    } else if (mode == QStringLiteral("transcript")) {
        window.loadRecording(writeShortRecording(recordings.path()));
        window.desktop.filesToChoose = {file};
        window->N9Click();
    }
    settle(kSettleMs);
    report("resident", residentMiB(), "MiB");
    if (mode != QStringLiteral("transcript"))
        return 0;

    // Saving and searching must not make it grow.
    window.ui->Edit4->setText(QStringLiteral("尾声标记ZQX"));
    for (int round = 0; round < 3; ++round) {
        window->BitBtn10Click();
        window.ui->Memo1->moveCursor(QTextCursor::Start);
        window->Label4Click();
        window->N17Click();
        window.ui->Memo1->moveCursor(QTextCursor::End);
        window.ui->Memo1->insertPlainText(QStringLiteral("字"));
    }
    settle(kSettleMs);
    report("resident after saving and searching", residentMiB(), "MiB");
    return 0;
}

} // namespace tavrin::bench
