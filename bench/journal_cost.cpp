// What the recovery journal costs on a large transcript: the window thread's
// time per keystroke with the journal and without, the journal's size over a
// long session of edits, and bringing unsaved text back at start against
// loading the same text from its file.
#include "bench_keys.h"

#include "editor/transcript_edit.h"
#include "files/recovery_journal.h"
#include "workbench/transcript_controller.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>
#include <memory>
#include <random>
#include <utility>

namespace tavrin::bench {

namespace {

constexpr int kKeysPerSecond = 15; // a fast typist
constexpr int kTypingSeconds = 20;
constexpr int kRecoveries = 3;
constexpr double kMiB = 1024.0 * 1024.0;

// A keystroke timed as the text benchmark times it: the key and the repaint it asks for.
double timedKeystroke(TranscriptEdit* editor)
{
    return millisecondsOf([&] {
        pressKey(editor, Qt::Key_A, {}, QStringLiteral("a"));
        editor->viewport()->repaint();
    });
}

// The journals a window keeps in its state folder.
QFileInfoList journalFiles(const QString& folder)
{
    return QDir(QDir(folder).filePath(QStringLiteral("journals")))
        .entryInfoList({QStringLiteral("*.journal")}, QDir::Files);
}

// A journal's file is written beside its place and renamed into it: once it is
// there, the journal has started and its snapshot is on the disk.
void waitForJournal(const QString& folder)
{
    if (!QTest::qWaitFor([&] { return !journalFiles(folder).isEmpty(); }, 60000))
        qFatal("the journal did not start");
}

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The journal's rule: twice the text as it keeps it (UTF-16 units, the
// document's closing paragraph mark with them), and 1 MB.
qint64 limitFor(qsizetype characters)
{
    return 2 * 2 * qint64(characters) + 1024 * 1024;
}

struct JournalLook {
    qint64 size = 0;
    qint64 limit = 0; // for the text the journal holds
};

// The largest journal in `folder` and the limit for the text it holds. That is
// the document's text, unless the text has just shrunk: then the journal on the
// disk is the one from before until the worker has written the fresh start, and
// its limit is that of the text its own records give, read once the worker has
// finished the record it may be writing.
JournalLook lookAtJournal(const QString& folder, const QTextDocument* document)
{
    JournalLook look;
    QString path;
    for (const QFileInfo& file : journalFiles(folder)) {
        if (file.size() > look.size) {
            look.size = file.size();
            path = file.absoluteFilePath();
        }
    }
    look.limit = limitFor(document->characterCount());
    if (look.size <= look.limit)
        return look;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QByteArray bytes = readWhole(path);
        const ReplayedJournal replayed = replayJournal(bytes);
        look.size = bytes.size();
        look.limit = limitFor(replayed.text.size() + 1);
        if (replayed.ending == ReplayedJournal::Ending::Complete)
            break;
    }
    return look;
}

void loadTranscript(BenchWindow& window, const QString& transcript)
{
    window.desktop.filesToChoose = {transcript};
    window->N9Click();
    if (window.ui->Memo1->document()->isEmpty())
        qFatal("the transcript did not load");
}

// A window with a recording and `transcript` loaded, its cursor at the end; the
// journal is kept in `stateFolder`, or not at all when that is empty.
struct TypingWindow {
    QTemporaryDir recordings;
    BenchWindow window;
    double loadMs = 0;

    TypingWindow(const QString& transcript, const QString& stateFolder)
        : window(stateFolder)
    {
        window.loadRecording(writeShortRecording(recordings.path()));
        loadMs = millisecondsOf([&] { loadTranscript(window, transcript); });
        editor()->moveCursor(QTextCursor::End);
    }

    TranscriptEdit* editor() const { return window.ui->Memo1; }
};

// The window thread's time in the keys of one second of typing at a fast
// typist's pace, in both windows by turns; between keys the event loop runs
// and the journal's worker writes and syncs. The first key after the pause
// finds the caches colder, so each window goes first every other time, and
// from one second to the next the other one starts.
std::pair<double, double> oneSecondOfTyping(TranscriptEdit* off, TranscriptEdit* on, int second)
{
    std::pair<double, double> sums;
    for (int i = 0; i < kKeysPerSecond; ++i) {
        if ((i + second) % 2 == 0) {
            sums.first += timedKeystroke(off);
            sums.second += timedKeystroke(on);
        } else {
            sums.second += timedKeystroke(on);
            sums.first += timedKeystroke(off);
        }
        settle(1000 / kKeysPerSecond);
    }
    return sums;
}

int runTyping(const QString& transcript, int repetitions)
{
    QTemporaryDir journals;
    TypingWindow off(transcript, QString());
    auto on = std::make_unique<TypingWindow>(transcript, journals.path());
    report("load, journal off", off.loadMs);
    report("load, journal on", on->loadMs);
    if (!journalFiles(journals.path()).isEmpty())
        qFatal("loading left a journal");

    // The first change starts the journal with a snapshot of the whole text.
    timedKeystroke(off.editor());
    report("first keystroke, journal on", timedKeystroke(on->editor()));
    waitForJournal(journals.path());

    // Turn about, so that whatever else the machine does weighs on both alike.
    std::vector<double> offKeys, onKeys;
    for (int i = 0; i < repetitions; ++i) {
        offKeys.push_back(timedKeystroke(off.editor()));
        onKeys.push_back(timedKeystroke(on->editor()));
    }
    report("keystroke at the end, journal off", median(offKeys));
    report("keystroke at the end, journal on", median(onKeys));
    report("keystroke at the end, journal off p95", percentile95(offKeys));
    report("keystroke at the end, journal on p95", percentile95(onKeys));

    std::vector<double> offSeconds, onSeconds, added;
    for (int i = 0; i < kTypingSeconds; ++i) {
        const auto [offSum, onSum] = oneSecondOfTyping(off.editor(), on->editor(), i);
        offSeconds.push_back(offSum);
        onSeconds.push_back(onSum);
        added.push_back(onSum - offSum);
    }
    report("one second of typing, journal off", median(offSeconds));
    report("one second of typing, journal on", median(onSeconds));
    report("one second of typing, added by the journal", median(added));

    // The figures count only if the journal kept every key.
    const QString typed = on->editor()->document()->toRawText();
    const QString path = journalFiles(journals.path()).value(0).absoluteFilePath();
    on.reset(); // as in a crash: the journal stays, written to its end
    if (replayJournal(readWhole(path)).text != typed)
        qFatal("the journal does not hold what was typed");
    return 0;
}

// Typing, deleting and replacing a selection at the cursor, the cursor moving
// now and then, and every so often a paste of some KB, cut again later so that
// the text keeps its size.
class SoakEditor {
public:
    SoakEditor(TranscriptEdit* editor, QString pasteSource)
        : editor_(editor)
        , pasteSource_(std::move(pasteSource))
    {
    }

    void edit(int i)
    {
        if (i % 100 == 0) {
            moveCursorTo(pick(0, editor_->document()->characterCount() - 1));
            QCoreApplication::processEvents();
        }
        if (i % 200 == 99)
            cut();
        else if (i % 200 == 199)
            paste();
        else
            type();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void moveCursorTo(int position)
    {
        QTextCursor cursor = editor_->textCursor();
        cursor.setPosition(position);
        editor_->setTextCursor(cursor);
    }

    void selectForward(int characters)
    {
        QTextCursor cursor = editor_->textCursor();
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, characters);
        editor_->setTextCursor(cursor);
    }

    void type()
    {
        const int kind = pick(0, 99);
        if (kind < 40) {
            const QChar letter(u'a' + pick(0, 25));
            pressKey(editor_, Qt::Key_A + (letter.unicode() - u'a'), {}, QString(letter));
        } else if (kind < 55) {
            QInputMethodEvent commit; // a word from the input method
            commit.setCommitString(kind % 2 ? QStringLiteral("我们") : QStringLiteral("记录"));
            QApplication::sendEvent(editor_, &commit);
        } else if (kind < 80) {
            pressKey(editor_, Qt::Key_Backspace);
        } else if (kind < 90) {
            pressKey(editor_, Qt::Key_Delete);
        } else {
            selectForward(pick(1, 10));
            pressKey(editor_, Qt::Key_X, {}, QStringLiteral("x"));
        }
    }

    void paste()
    {
        const int length = pick(2 * 1024, 16 * 1024);
        editor_->insertPlainText(pasteSource_.mid(pick(0, int(pasteSource_.size()) - length), length));
        toCut_ += length;
    }

    void cut()
    {
        if (toCut_ == 0)
            return type();
        selectForward(toCut_);
        pressKey(editor_, Qt::Key_Delete);
        toCut_ = 0;
    }

    TranscriptEdit* editor_;
    QString pasteSource_;
    std::mt19937 random_{20240601};
    int toCut_ = 0;
};

int runSoak(const QString& transcript, int edits)
{
    QTemporaryDir journals, recordings;
    BenchWindow window(journals.path());
    window.loadRecording(writeShortRecording(recordings.path()));
    loadTranscript(window, transcript);
    TranscriptEdit* editor = window.ui->Memo1;
    QTextDocument* document = editor->document();
    int changes = 0;
    QObject::connect(document, &QTextDocument::contentsChange, [&] { ++changes; });

    SoakEditor soak(editor, editor->toPlainText());
    JournalLook largest;
    qint64 worstOverLimit = std::numeric_limits<qint64>::min(), previous = 0;
    int restarts = 0;
    for (int i = 0; i < edits; ++i) {
        soak.edit(i);
        const JournalLook look = lookAtJournal(journals.path(), document);
        restarts += look.size < previous;
        previous = look.size;
        if (look.size > largest.size)
            largest = look;
        worstOverLimit = std::max(worstOverLimit, look.size - look.limit);
    }
    report("edits", changes, "");
    report("journal restarts", restarts, "");
    report("journal largest", largest.size / 1024.0, "KiB");
    report("journal limit at its largest", largest.limit / 1024.0, "KiB");
    report("journal worst over its limit", worstOverLimit / 1024.0, "KiB");
    report("transcript file", QFileInfo(transcript).size() / kMiB, "MiB");
    report("text at the end, as the journal keeps it", 2.0 * document->characterCount() / kMiB, "MiB");
    return 0;
}

// Edits spread through the text, as a session of corrections makes them: runs
// of typing, deleting and replacing, each run at a place of its own. Each edit
// is one change of the document, so one record of the journal.
void makeEdits(QTextDocument* document, int count)
{
    std::mt19937 random(20240602);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    QTextCursor cursor(document);
    for (int i = 0; i < count; ++i) {
        if (i % 50 == 0)
            cursor.setPosition(pick(1, document->characterCount() - 1));
        const int kind = pick(0, 9);
        if (kind < 6 || cursor.position() == 0) {
            cursor.insertText(kind % 2 ? QStringLiteral("记录") : QStringLiteral("的"));
        } else if (kind < 8) {
            cursor.deletePreviousChar();
        } else {
            cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 3);
            cursor.insertText(QStringLiteral("改"));
        }
    }
}

// Writes, through the window's own journal, a snapshot of `transcript` and
// `records` edits after it, and moves it to `kept`; returns the text it holds.
QString writeJournal(const QString& transcript, int records, const QString& kept)
{
    QTemporaryDir journals;
    QString text;
    {
        BenchWindow writing(journals.path());
        loadTranscript(writing, transcript);
        QTextDocument* document = writing.ui->Memo1->document();
        QTextCursor(document).insertText(QStringLiteral("开始")); // starts the journal
        waitForJournal(journals.path());
        makeEdits(document, records);
        text = writing.ui->Memo1->toPlainText();
    } // gone as in a crash: the journal stays, written to its end
    const QFileInfoList written = journalFiles(journals.path());
    if (written.size() != 1 || !QFile::rename(written[0].absoluteFilePath(), kept))
        qFatal("the journal was not written");
    return text;
}

// Brings the journal back the way the program does at start, in a fresh window
// whose journal folder was empty when it started, so that its own start-up
// found nothing; the journal is put there after.
double timedRecovery(const QString& kept, const QString& expected)
{
    QTemporaryDir journals;
    BenchWindow recovering(journals.path());
    if (!QDir(journals.path()).mkpath(QStringLiteral("journals"))
        || !QFile::copy(kept, QDir(journals.path()).filePath(QStringLiteral("journals/kept.journal"))))
        qFatal("cannot copy the journal");
    bool recovered = false;
    const double ms = millisecondsOf([&] {
        recovered = test::WindowProbe::transcript(*recovering.window).recoverUnsaved([](const QString&, qint64) {
            return false;
        });
    });
    if (!recovered || recovering.ui->Memo1->toPlainText() != expected)
        qFatal("recovery did not bring the text back");
    return ms;
}

int runRecovery(const QString& transcript, int records)
{
    QTemporaryDir held;
    const QString kept = held.filePath(QStringLiteral("kept.journal"));
    const QString expected = writeJournal(transcript, records, kept);

    // Its parts, outside the window.
    QByteArray bytes;
    report("journal read", millisecondsOf([&] { bytes = readWhole(kept); }));
    ReplayedJournal replayed;
    report("journal replay", millisecondsOf([&] { replayed = replayJournal(bytes); }));
    report("journal records", replayed.records, "");
    report("journal size", bytes.size() / kMiB, "MiB");
    if (replayed.ending != ReplayedJournal::Ending::Complete)
        qFatal("the journal does not replay whole");

    std::vector<double> loads, recoveries;
    for (int i = 0; i < kRecoveries; ++i) {
        {
            BenchWindow loading;
            loads.push_back(millisecondsOf([&] { loadTranscript(loading, transcript); }));
        }
        recoveries.push_back(timedRecovery(kept, expected));
    }
    report("load", median(loads));
    report("recovery", median(recoveries));
    return 0;
}

} // namespace

// part: "typing" (count: keystrokes), "soak" (count: edits) or "recovery" (count: journal records).
int runJournalCost(const QString& part, const QString& transcript, int count)
{
    if (part == QStringLiteral("typing"))
        return runTyping(transcript, count);
    if (part == QStringLiteral("soak"))
        return runSoak(transcript, count);
    if (part == QStringLiteral("recovery"))
        return runRecovery(transcript, count);
    std::fprintf(stderr, "unknown part %s\n", qPrintable(part));
    return 2;
}

} // namespace tavrin::bench
