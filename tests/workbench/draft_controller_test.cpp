#include "dialogs/draft_options_dialog.h"
#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "settings/draft_options.h"
#include "support/hostile_recordings.h"
#include "support/run_tool.h"
#include "support/spoken_phrases.h"
#include "support/window_probe.h"
#include "support/window_under_test.h"
#include "transcript/text_times_watcher.h"
#include "workbench/draft_controller.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

constexpr int kWaitMs = 120000;
const QStringList kPhrases{QStringLiteral("今天我们讨论一下项目的进度。"), QStringLiteral("好的，我先说。"),
                           QStringLiteral("上个月完成了第一部分的工作，下个月开始测试。")};

void useTheBuiltDraft(TMainForm1::Environment& environment)
{
    environment.draft = {QStringLiteral(TAVRIN_DRAFT_HELPER), QStringLiteral(TAVRIN_SPEECH_ENGINE)};
}

// The time of each paragraph's leading mark, in seconds; -1 for a paragraph without one.
QList<int> markSeconds(const QStringList& paragraphs)
{
    static const QRegularExpression mark(QStringLiteral("^-(\\d\\d):(\\d\\d):(\\d\\d)-"));
    QList<int> seconds;
    for (const QString& paragraph : paragraphs) {
        const QRegularExpressionMatch found = mark.match(paragraph);
        seconds.append(found.hasMatch() ? found.captured(1).toInt() * 3600 + found.captured(2).toInt() * 60
                               + found.captured(3).toInt()
                                        : -1);
    }
    return seconds;
}

// Each paragraph is a mark alone, at the whole second in which the detector
// found its phrase to start, within 0.3 s of where it starts.
bool marksPhrases(const QStringList& paragraphs, const SpokenPhrases& spoken)
{
    const QList<int> seconds = markSeconds(paragraphs);
    if (std::size_t(seconds.size()) != spoken.phrases.size())
        return false;
    for (qsizetype i = 0; i < seconds.size(); ++i) {
        const double start = spoken.phrases[std::size_t(i)].startSeconds;
        if (paragraphs[i].size() != 10 || seconds[i] > std::floor(start + 0.3) || seconds[i] < std::floor(start - 0.3))
            return false;
    }
    return true;
}

// The draft's helper, as a child of this process; 0 when none runs.
pid_t draftHelper()
{
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        QFile stat(processes.next() + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        const bool ours = fields.size() > 1 && fields[1].toInt() == getpid();
        if (ours && line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1) == "tavrin-draft"
            && fields[0] != "Z")
            return line.left(line.indexOf(' ')).toInt();
    }
    return 0;
}

QStringList paragraphs(const WindowUnderTest& window)
{
    return window.ui->Memo1->toPlainText().split(u'\n', Qt::SkipEmptyParts);
}

QTextCursor cursorAt(const WindowUnderTest& window, int position)
{
    QTextCursor cursor(window.ui->Memo1->document());
    cursor.setPosition(position);
    return cursor;
}

QString lastBox(const WindowUnderTest& window)
{
    return window.desktop.boxes.isEmpty() ? QString() : window.desktop.boxes.last().text;
}

} // namespace

class DraftControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void anEmptyEditorFillsWithMarksAsTheyCome();
    void anEditorWithTextAsksAndAddsAtTheEnd_data();
    void anEditorWithTextAsksAndAddsAtTheEnd();
    void endingMidwayKeepsWhatWasFound_data();
    void endingMidwayKeepsWhatWasFound();
    void noEngineIsToldAndNothingWritten();
    void theChosenModelsWordsFollowTheMarks();
    void eachDraftedWordKeepsItsTimeThroughEdits();
    void aModelFolderThatCannotServeIsToldBeforeStarting();
    void theOptionsDialogSavesOnlyAModelThatCanServe_data();
    void theOptionsDialogSavesOnlyAModelThatCanServe();
    void aDraftThatCoversOnlyPartIsToldNotFinished();

private:
    QString loadPhrases(WindowUnderTest& window, const QString& path);
    // The short phrases drafted with the stand-in model, written into `model`.
    bool draftThePhrases(WindowUnderTest& window, const QTemporaryDir& model);

    QTemporaryDir folder_;
    QString shortRecording_;
    SpokenPhrases shortPhrases_;
    QString longRecording_;
};

void DraftControllerTest::initTestCase()
{
    shortRecording_ = folder_.filePath(QStringLiteral("phrases.wav"));
    shortPhrases_ = writeSpokenPhrases(shortRecording_, kPhrases, 2.0);
    // Long enough that the draft is still running when it is ended.
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many += kPhrases;
    longRecording_ = folder_.filePath(QStringLiteral("long.wav"));
    writeSpokenPhrases(longRecording_, many, 1.5);
}

QString DraftControllerTest::loadPhrases(WindowUnderTest& window, const QString& path)
{
    window.desktop.filesToChoose = {path};
    window.ui->N8->trigger();
    window.desktop.boxes.clear();
    return path;
}

bool DraftControllerTest::draftThePhrases(WindowUnderTest& window, const QTemporaryDir& model)
{
    writeSenseVoiceLikeModel(model.path());
    writeDraftOptions(window.programPath, DraftOptions{model.path(), QStringLiteral("zh"), true, 1});
    loadPhrases(window, shortRecording_);
    window.ui->draftAction->trigger();
    return QTest::qWaitFor([&] { return lastBox(window) == QStringLiteral("自动初稿已完成：共 3 段。"); }, kWaitMs);
}

void DraftControllerTest::anEmptyEditorFillsWithMarksAsTheyCome()
{
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    loadPhrases(window, shortRecording_);
    window.ui->draftAction->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(lastBox(window), QStringLiteral("自动初稿已完成：共 3 段。"), kWaitMs);
    const QStringList drafted = paragraphs(window);
    QVERIFY2(marksPhrases(drafted, shortPhrases_), qPrintable(drafted.join(u' ')));
    // Text like typed text: the last paragraph comes off with one undo.
    window.ui->Memo1->undo();
    QCOMPARE(paragraphs(window), drafted.mid(0, 2));
    QTRY_VERIFY_WITH_TIMEOUT(window.window->findChildren<QProgressDialog*>().isEmpty(), kWaitMs);
}

void DraftControllerTest::anEditorWithTextAsksAndAddsAtTheEnd_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes: added after the text") << true;
    QTest::newRow("no: nothing starts") << false;
}

void DraftControllerTest::anEditorWithTextAsksAndAddsAtTheEnd()
{
    QFETCH(bool, yes);
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    loadPhrases(window, shortRecording_);
    const QString typed = QStringLiteral("已经打好的一段");
    window.ui->Memo1->setPlainText(typed);
    window.desktop.answers = {yes};
    window.ui->draftAction->trigger();
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().question);
    if (!yes) {
        QVERIFY(draftHelper() == 0);
        QCOMPARE(window.ui->Memo1->toPlainText(), typed);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(lastBox(window), QStringLiteral("自动初稿已完成：共 3 段。"), kWaitMs);
    const QStringList text = paragraphs(window);
    QCOMPARE(text.first(), typed);
    QVERIFY2(marksPhrases(text.mid(1), shortPhrases_), qPrintable(text.join(u' ')));
}

void DraftControllerTest::endingMidwayKeepsWhatWasFound_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("told");
    QTest::newRow("the helper dies") << QStringLiteral("kill") << QStringLiteral("自动初稿没有完成：识别进程意外终止");
    QTest::newRow("cancelled") << QStringLiteral("cancel") << QString();
    QTest::newRow("another recording loaded") << QStringLiteral("load") << QString();
}

void DraftControllerTest::endingMidwayKeepsWhatWasFound()
{
    QFETCH(QString, how);
    QFETCH(QString, told);
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    loadPhrases(window, longRecording_);
    window.ui->draftAction->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(paragraphs(window).size() >= 2, kWaitMs);
    const pid_t helper = draftHelper();
    QVERIFY(helper > 0);
    if (how == QLatin1String("kill"))
        QCOMPARE(::kill(helper, SIGKILL), 0);
    else if (how == QLatin1String("cancel"))
        QTest::mouseClick(window.window->findChild<QProgressDialog*>()->findChild<QPushButton*>(), Qt::LeftButton);
    else
        window.loadRecording(5.0);
    QTRY_COMPARE_WITH_TIMEOUT(draftHelper(), pid_t(0), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(window.window->findChildren<QProgressDialog*>().isEmpty(), kWaitMs);
    // Once the helper is gone nothing more can come: what was found stays, all of it marks.
    const QStringList kept = paragraphs(window);
    QVERIFY(kept.size() >= 2);
    QVERIFY(kept.size() < 3 * 60);
    QVERIFY(!markSeconds(kept).contains(-1));
    if (told.isEmpty())
        QVERIFY(window.desktop.boxes.isEmpty());
    else
        QVERIFY2(lastBox(window).startsWith(told), qPrintable(lastBox(window)));
}

void DraftControllerTest::noEngineIsToldAndNothingWritten()
{
    QTemporaryDir noEngine;
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, [&](TMainForm1::Environment& environment) {
        environment.draft = {QStringLiteral(TAVRIN_DRAFT_HELPER), noEngine.path()};
    });
    loadPhrases(window, shortRecording_);
    window.ui->draftAction->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(lastBox(window).contains(QStringLiteral("找不到语音引擎")), kWaitMs);
    QCOMPARE(window.ui->Memo1->toPlainText(), QString());
}

void DraftControllerTest::theChosenModelsWordsFollowTheMarks()
{
    QTemporaryDir model;
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    QVERIFY(draftThePhrases(window, model));
    const QStringList drafted = paragraphs(window);
    QCOMPARE(drafted.size(), 3);
    static const QRegularExpression markThenWords(QStringLiteral("^-\\d\\d:\\d\\d:\\d\\d-好+$"));
    for (const QString& paragraph : drafted)
        QVERIFY2(markThenWords.match(paragraph).hasMatch(), qPrintable(paragraph));
    QStringList marksAlone;
    for (const QString& paragraph : drafted)
        marksAlone.append(paragraph.left(10));
    QVERIFY(marksPhrases(marksAlone, shortPhrases_));
}

// Every drafted word is timed within its passage, the marks are not, and typing
// moves the times with the characters they belong to.
void DraftControllerTest::eachDraftedWordKeepsItsTimeThroughEdits()
{
    QTemporaryDir model;
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    QVERIFY(draftThePhrases(window, model));
    const TextTimes& times = WindowProbe::workbench(*window.window).textTimes().times();
    const QString text = window.ui->Memo1->toPlainText();
    std::vector<std::optional<double>> before;
    qint32 at = 0;
    for (const QString& paragraph : text.split(u'\n')) {
        const double markSeconds = paragraph.isEmpty()
            ? 0
            : paragraph.mid(1, 2).toInt() * 3600 + paragraph.mid(4, 2).toInt() * 60 + paragraph.mid(7, 2).toInt();
        double last = markSeconds;
        for (qint32 i = 0; i < qint32(paragraph.size()); ++i) {
            const std::optional<double> time = times.timeAt(at + i);
            if (i < 10) {
                QVERIFY2(!time, "a mark has no time of its own");
            } else {
                QVERIFY2(time && *time >= last && *time < markSeconds + 30,
                         qPrintable(QStringLiteral("%1 at %2").arg(time.value_or(-1)).arg(at + i)));
                last = *time;
            }
        }
        at += qint32(paragraph.size()) + 1;
    }
    for (qint32 i = 0; i < qint32(text.size()); ++i)
        before.push_back(times.timeAt(i));
    QTextCursor cursor = window.ui->Memo1->textCursor();
    cursor.setPosition(0);
    window.ui->Memo1->setTextCursor(cursor);
    QTest::keyClicks(window.ui->Memo1, QStringLiteral("ab"));
    QCOMPARE(times.timeAt(0), std::nullopt);
    for (qint32 i = 0; i < qint32(before.size()); ++i)
        QCOMPARE(times.timeAt(i + 2), before[std::size_t(i)]);

    // The key and a Ctrl+click play a word from half a second (as stored) before its time.
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    const QString edited = window.ui->Memo1->toPlainText();
    const qint32 lastWord = qint32(edited.lastIndexOf(u'好'));
    const qint32 secondParagraphWord = qint32(edited.indexOf(u'好', edited.indexOf(u'\n') + 1));
    for (const qint32 word : {lastWord, secondParagraphWord}) {
        QVERIFY(times.timeAt(word));
        cursor.setPosition(word);
        window.ui->Memo1->setTextCursor(cursor);
        QTest::keyClick(window.ui->Memo1, Qt::Key_F4, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(player->currentPosition(), std::max(0.0, *times.timeAt(word) - 0.5));
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(PlayStatePlaying), kWaitMs);
        player->pause();
    }
    const auto controlClick = [&](int position) {
        const QRect place = window.ui->Memo1->cursorRect(cursorAt(window, position));
        QTest::mouseClick(window.ui->Memo1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          place.center() + QPoint(2, 0));
        QCOMPARE(window.ui->Memo1->textCursor().position(), position);
    };
    // On a mark, a Ctrl+click is a plain click: the caret moves, playback does not.
    QVERIFY(window.pauseAt(1.0));
    controlClick(qint32(edited.indexOf(u'\n') + 3));
    QCOMPARE(player->currentPosition(), 1.0);
    QCOMPARE(player->playState(), int(PlayStatePaused));
    controlClick(secondParagraphWord);
    QCOMPARE(player->currentPosition(), std::max(0.0, *times.timeAt(secondParagraphWord) - 0.5));
}

void DraftControllerTest::aModelFolderThatCannotServeIsToldBeforeStarting()
{
    QTemporaryDir model;
    writeSenseVoiceLikeModel(model.path());
    QVERIFY(QFile::remove(model.filePath(QStringLiteral("tokens.txt"))));
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    writeDraftOptions(window.programPath, DraftOptions{model.path(), QStringLiteral("zh"), true, 1});
    loadPhrases(window, shortRecording_);
    window.ui->draftAction->trigger();
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY2(lastBox(window).contains(QStringLiteral("tokens.txt")), qPrintable(lastBox(window)));
    QCOMPARE(draftHelper(), pid_t(0));
    QVERIFY(window.window->findChildren<QProgressDialog*>().isEmpty());
}

void DraftControllerTest::theOptionsDialogSavesOnlyAModelThatCanServe_data()
{
    QTest::addColumn<bool>("complete");
    QTest::newRow("a complete model: saved") << true;
    QTest::newRow("tokens missing: told, not saved") << false;
}

void DraftControllerTest::theOptionsDialogSavesOnlyAModelThatCanServe()
{
    QFETCH(bool, complete);
    QTemporaryDir model;
    writeSenseVoiceLikeModel(model.path());
    if (!complete)
        QVERIFY(QFile::remove(model.filePath(QStringLiteral("tokens.txt"))));
    WindowUnderTest window;
    // Opened as the menu opens it; the dialog is worked while it shows, as a user works it.
    window.desktop.filesToChoose = {model.filePath(QStringLiteral("model.onnx"))};
    QTimer::singleShot(0, window.window.get(), [&] {
        auto* dialog = window.window->findChild<DraftOptionsDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->modelFolder->text(), QString()); // nothing chosen yet
        dialog->chooseButton->click();
        QCOMPARE(dialog->modelFolder->text(), model.path());
        dialog->language->setCurrentIndex(dialog->language->findData(QStringLiteral("yue")));
        dialog->threads->setValue(2);
        dialog->saveButton->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    window.ui->draftOptionsAction->trigger();
    const DraftOptions stored = readDraftOptions(window.programPath).options;
    if (complete) {
        QVERIFY(window.desktop.boxes.isEmpty());
        QVERIFY(stored == (DraftOptions{model.path(), QStringLiteral("yue"), true, 2}));
    } else {
        QCOMPARE(window.desktop.boxes.size(), 1);
        QVERIFY(window.desktop.boxes.first().text.contains(QStringLiteral("tokens.txt")));
        QVERIFY(stored == DraftOptions{});
    }
}

// The phrases, then an hour at 1 Hz, in which no speech can be: the paragraphs of
// the phrases stay, and the message says the draft did not cover the recording.
void DraftControllerTest::aDraftThatCoversOnlyPartIsToldNotFinished()
{
    const QString recording = writeFlacEndingAtOneHertz(folder_.path(), shortRecording_);
    WindowUnderTest window(true, QStringLiteral("Time.ini"), {}, {}, useTheBuiltDraft);
    loadPhrases(window, recording);
    window.ui->draftAction->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(lastBox(window).contains(QStringLiteral("没有覆盖整个录音")), kWaitMs);
    QCOMPARE(window.desktop.boxes.size(), 1); // never "自动初稿已完成"
    QVERIFY2(lastBox(window).contains(QStringLiteral("1 Hz")), qPrintable(lastBox(window)));
    const QStringList drafted = paragraphs(window);
    QVERIFY2(marksPhrases(drafted, shortPhrases_), qPrintable(drafted.join(u' ')));
    QTRY_VERIFY_WITH_TIMEOUT(window.window->findChildren<QProgressDialog*>().isEmpty(), kWaitMs);
}

QTEST_MAIN(DraftControllerTest)
#include "draft_controller_test.moc"
