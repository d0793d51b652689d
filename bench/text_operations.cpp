// Loading, saving, counting, searching and typing on a large transcript,
// against reading, writing and searching the same bytes raw.
#include "bench_window.h"
#include "measure.h"

#include "app/link_label.h"
#include "editor/transcript_edit.h"
#include "encoding/gbk_codec.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin::bench {

namespace {

const void* volatile scanned = nullptr;

// The generator ends every transcript with this word, found nowhere else.
const QString kLastWord = QStringLiteral("尾声标记ZQX");

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        qFatal("cannot write %s", qPrintable(path));
    ::fsync(file.handle());
}

} // namespace

int runTextOperations(const QString& transcript, int repetitions)
{
    BenchWindow window;
    QTemporaryDir recordings;
    window.loadRecording(writeShortRecording(recordings.path()));
    TranscriptEdit* editor = window.ui->Memo1;

    window.desktop.filesToChoose = {transcript};
    report("load", millisecondsOf([&] { window->N9Click(); }));
    if (!editor->toPlainText().endsWith(kLastWord + u'\n') && !editor->toPlainText().contains(kLastWord))
        qFatal("the transcript did not load");

    std::vector<double> saves;
    for (int i = 0; i < repetitions; ++i)
        saves.push_back(millisecondsOf([&] { window->BitBtn10Click(); }));
    report("save", median(saves));

    report("count, first after a change", millisecondsOf([&] { window->N17Click(); }));
    std::vector<double> counts;
    for (int i = 0; i < repetitions; ++i)
        counts.push_back(millisecondsOf([&] { window->N17Click(); }));
    report("count", median(counts));

    window.ui->Edit4->setText(kLastWord);
    std::vector<double> finds;
    for (int i = 0; i < repetitions; ++i) {
        editor->moveCursor(QTextCursor::Start);
        finds.push_back(millisecondsOf([&] { window->Label4Click(); }));
    }
    report("find next at the end", median(finds));

    editor->moveCursor(QTextCursor::End);
    std::vector<double> keys;
    for (int i = 0; i < repetitions * 10; ++i) {
        keys.push_back(millisecondsOf([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(editor, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(editor, &release);
            editor->viewport()->repaint();
        }));
    }
    report("keystroke at the end", median(keys));
    report("keystroke at the end p95", percentile95(keys));

    editor->moveCursor(QTextCursor::Start);
    report("find next, first after an edit", millisecondsOf([&] { window->Label4Click(); }));

    // The same bytes, raw.
    QByteArray bytes;
    report("raw read", millisecondsOf([&] { bytes = readRaw(transcript); }));
    std::vector<double> writes;
    for (int i = 0; i < repetitions; ++i)
        writes.push_back(millisecondsOf([&] { writeRaw(recordings.filePath(QStringLiteral("raw.txt")), bytes); }));
    report("raw write", median(writes));
    const QByteArray needle = encodeGbk(kLastWord);
    std::vector<double> scans;
    for (int i = 0; i < repetitions; ++i) {
        scans.push_back(millisecondsOf([&] {
            const void* found = memmem(bytes.constData(), bytes.size(), needle.constData(), needle.size());
            scanned = found; // kept, so the search is not optimised away
        }));
    }
    report("raw memmem", median(scans));
    report("bytes", double(bytes.size()) / (1024.0 * 1024.0), "MiB");
    return 0;
}

} // namespace tavrin::bench
