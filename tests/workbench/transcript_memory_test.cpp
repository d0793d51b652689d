// Reopening a recording brings its transcript back, saving never silently
// replaces bytes another program wrote, the time box offers where the user
// stopped, and several unsaved texts of earlier runs come back in turn.
#include "controls/time_box.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/recovery_journal.h"
#include "files/transcript_codec.h"
#include "support/hostile_recordings.h"
#include "support/window_under_test.h"
#include "waveform/waveform_builder.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <utime.h>

using namespace tavrin;
using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;
using tavrin::test::WindowProbe;
using tavrin::test::WindowUnderTest;
using tavrin::test::writeLyingLengthRecording;

namespace {

// "昨天的文字" and a second line, in GBK with CR LF, as a transcript is saved.
const QByteArray kYesterday = "\xD7\xF2\xCC\xEC\xB5\xC4\xCE\xC4\xD7\xD6\r\nline two"_ba;
const QString kYesterdayText = u"昨天的文字\nline two"_s;

// A window that keeps its memory of files in a state folder that outlives it.
struct RememberingWindow : WindowUnderTest {
    explicit RememberingWindow(const TempFolder& state)
        : WindowUnderTest(true, u"Time.ini"_s, QString(), state.path())
    {
    }

    // Types as the user does (a blank would be play/pause).
    void typeAtEnd(const QString& text) const
    {
        ui->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(ui->Memo1, text);
    }

    void save() const { ui->BitBtn10->click(); }
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray journalOf(const QString& text, const QString& recording)
{
    return journalHeader() + journalSnapshot(text) + journalRecording(recording, 4000);
}

void setAge(const QString& path, int secondsAgo)
{
    const time_t when = time(nullptr) - secondsAgo;
    const utimbuf times{when, when};
    if (::utime(QFile::encodeName(path).constData(), &times) != 0)
        qFatal("cannot set the time of %s", qPrintable(path));
}

} // namespace

class TranscriptMemoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reopeningARecordingBringsItsTranscriptBack_data();
    void reopeningARecordingBringsItsTranscriptBack();
    void morningAfterSaveKeepsEveryEarlierWord();
    void saveAsksBeforeReplacingBytesNotSeenHere_data();
    void saveAsksBeforeReplacingBytesNotSeenHere();
    void loadingAnotherRecordingOffersToSaveTheFirst_data();
    void loadingAnotherRecordingOffersToSaveTheFirst();
    void timeBoxOffersWhereTheUserStopped_data();
    void timeBoxOffersWhereTheUserStopped();
    void unsavedTextsOfEarlierRunsComeBackNewestFirst();
    void stateFolderThatCannotBeWrittenIsToldOnce();
    void aRecordingWhoseHeaderLiesComesBackAtStart();
};

void TranscriptMemoryTest::reopeningARecordingBringsItsTranscriptBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("transcript"); // empty: none beside the recording
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QStringList>("expectedBoxes"); // a part of each box's text

    // clang-format off
    QTest::newRow("empty editor: it comes back") << QString() << kYesterday << QList<bool>()
        << kYesterdayText << QStringList{u"已加载这个录音的文稿"_s};
    QTest::newRow("typed text, load it") << u"abc"_s << kYesterday << QList<bool>{true}
        << kYesterdayText << QStringList{u"是否加载这份文稿"_s};
    QTest::newRow("typed text, keep it") << u"abc"_s << kYesterday << QList<bool>{false}
        << u"abc"_s << QStringList{u"是否加载这份文稿"_s};
    QTest::newRow("no transcript yet") << u"abc"_s << QByteArray() << QList<bool>() << u"abc"_s << QStringList();
    QTest::newRow("unreadable bytes are marked") << QString() << "ok\xFF"_ba << QList<bool>()
        << u"ok\uFFFD"_s << QStringList{u"1个字节无法识别"_s, u"已加载这个录音的文稿"_s};
    QTest::newRow("an overlong line is refused") << QString() << QByteArray(60'000, 'x') << QList<bool>()
        << QString() << QStringList{u"文稿未加载"_s};
    // clang-format on
}

void TranscriptMemoryTest::reopeningARecordingBringsItsTranscriptBack()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, transcript);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, expectedText);
    QFETCH(QStringList, expectedBoxes);
    TempFolder state;
    RememberingWindow window(state);
    QVERIFY(window.show());
    const QString recording = window.recordings.filePath(u"会议.wav"_s);
    test::writeWav(recording, 5.0, 8000);
    if (!transcript.isEmpty())
        TempFolder::writeAt(recording + u".txt"_s, transcript);
    const QStringList filesBefore = filesIn(window.recordings.path());
    window.typeAtEnd(typed);
    window.desktop.answers = answers;
    window.desktop.filesToChoose = {recording};
    window.ui->N8->trigger();

    QCOMPARE(editorText(window.ui->Memo1), expectedText);
    const QStringList shown = window.desktop.texts().mid(1); // after the recording's own message
    QCOMPARE(shown.size(), expectedBoxes.size());
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(shown[i].contains(expectedBoxes[i]), qPrintable(shown[i]));
    // Either way nothing is written.
    QCOMPARE(filesIn(window.recordings.path()), filesBefore);
    if (!transcript.isEmpty())
        QCOMPARE(TempFolder::read(recording + u".txt"_s), transcript);
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void TranscriptMemoryTest::morningAfterSaveKeepsEveryEarlierWord()
{
    TempFolder state;
    RememberingWindow window(state);
    QVERIFY(window.show());
    const QString recording = window.recordings.filePath(u"访谈.wav"_s);
    TempFolder::writeAt(recording + u".txt"_s, kYesterday);
    test::writeWav(recording, 5.0, 8000);
    window.desktop.filesToChoose = {recording};
    window.ui->N8->trigger();
    window.typeAtEnd(u",today"_s);
    window.desktop.boxes.clear();
    window.save();
    QCOMPARE(TempFolder::read(recording + u".txt"_s), kYesterday + ",today"_ba);
    QVERIFY(window.desktop.boxes.isEmpty()); // one key press, as ever
}

void TranscriptMemoryTest::saveAsksBeforeReplacingBytesNotSeenHere_data()
{
    QTest::addColumn<QString>("history");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("written");

    QTest::newRow("saved here before") << u"saved"_s << false << false << true;
    QTest::newRow("loaded here") << u"loaded"_s << false << false << true;
    QTest::newRow("changed by another program, keep its bytes") << u"changed"_s << false << true << false;
    QTest::newRow("changed by another program, replace them") << u"changed"_s << true << true << true;
    QTest::newRow("never opened here") << u"foreign"_s << false << true << false;
    QTest::newRow("the memory file is damaged") << u"damaged memory"_s << false << true << false;
}

void TranscriptMemoryTest::saveAsksBeforeReplacingBytesNotSeenHere()
{
    QFETCH(QString, history);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, written);
    TempFolder state;
    RememberingWindow window(state);
    QVERIFY(window.show());
    const QString recording = window.loadRecording(5.0, u"讲座.wav"_s);
    const QString transcript = recording + u".txt"_s;
    window.typeAtEnd(u"first"_s);
    if (history == u"loaded"_s) {
        TempFolder::writeAt(transcript, kYesterday);
        window.desktop.filesToChoose = {transcript};
        window.ui->N9->trigger();
        window.typeAtEnd(u"more"_s);
    } else if (history != u"foreign"_s) {
        window.save();
    }
    const QByteArray other = "written elsewhere"_ba;
    if (history == u"changed"_s || history == u"foreign"_s)
        TempFolder::writeAt(transcript, other);
    if (history == u"damaged memory"_s)
        TempFolder::writeAt(state.filePath(u"files.json"_s), "{\"version\":1,\"files\":[{\"pa"_ba);
    const QByteArray before = TempFolder::read(transcript);
    window.typeAtEnd(u"-second"_s);
    window.desktop.boxes.clear();
    window.desktop.answers = {answer};
    window.save();

    const bool questionShown = !window.desktop.boxes.isEmpty() && window.desktop.boxes.first().question;
    QCOMPARE(questionShown, asked);
    if (asked)
        QVERIFY(window.desktop.boxes.first().text.contains(transcript));
    const QByteArray expected = encodeTranscript(editorText(window.ui->Memo1));
    QCOMPARE(TempFolder::read(transcript), written ? expected : before);
}

void TranscriptMemoryTest::loadingAnotherRecordingOffersToSaveTheFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("save it first") << true;
    QTest::newRow("do not") << false;
}

void TranscriptMemoryTest::loadingAnotherRecordingOffersToSaveTheFirst()
{
    QFETCH(bool, answer);
    TempFolder state;
    RememberingWindow window(state);
    QVERIFY(window.show());
    const QString first = window.loadRecording(5.0, u"first.wav"_s);
    window.typeAtEnd(u"words-for-the-first"_s);
    const QString second = window.recordings.filePath(u"second.wav"_s);
    test::writeWav(second, 5.0, 8000);
    window.desktop.answers = {answer};
    window.desktop.filesToChoose = {second};
    window.ui->N8->trigger();

    QCOMPARE(window.desktop.boxes.size(), 2); // the recording's own message, then the question
    QVERIFY(window.desktop.boxes[1].question);
    QVERIFY(window.desktop.boxes[1].text.contains(first + u".txt"_s));
    bool firstSaved = false;
    QCOMPARE(TempFolder::read(first + u".txt"_s, &firstSaved), answer ? "words-for-the-first"_ba : QByteArray());
    QCOMPARE(firstSaved, answer);
    QVERIFY(!QFile::exists(second + u".txt"_s));
    QCOMPARE(editorText(window.ui->Memo1), u"words-for-the-first"_s);
}

void TranscriptMemoryTest::timeBoxOffersWhereTheUserStopped_data()
{
    QTest::addColumn<QByteArray>("damage"); // written over the memory between the runs
    QTest::addColumn<QString>("expected");
    QTest::newRow("remembered") << QByteArray() << u"00:00:07"_s;
    QTest::newRow("memory cut short") << "{\"version\":1,\"fi"_ba << u"00:00:00"_s;
    QTest::newRow("memory of another version") << "{\"version\":99,\"files\":[]}"_ba << u"00:00:00"_s;
    QTest::newRow("memory is not text") << QByteArray(300, '\0') << u"00:00:00"_s;
}

void TranscriptMemoryTest::timeBoxOffersWhereTheUserStopped()
{
    QFETCH(QByteArray, damage);
    QFETCH(QString, expected);
    TempFolder state;
    TempFolder recordings;
    const QString recording = recordings.filePath(u"长录音.wav"_s);
    test::writeWav(recording, 20.0, 8000);
    {
        RememberingWindow window(state);
        QVERIFY(window.show());
        window.desktop.filesToChoose = {recording};
        window.ui->N8->trigger();
        QVERIFY(window.pauseAt(7.0));
        window.desktop.answers = {true}; // yes, close
        window->close();
        QVERIFY(window->isHidden());
    }
    if (!damage.isEmpty())
        TempFolder::writeAt(state.filePath(u"files.json"_s), damage);
    RememberingWindow window(state);
    QVERIFY(window.show());
    window.desktop.filesToChoose = {recording};
    window.ui->N8->trigger();
    QCOMPARE(window.ui->Edit3->text(), expected);
    QCOMPARE(window.ui->WindowsMediaPlayer1->currentPosition(), 0.0); // still stopped at the start
}

void TranscriptMemoryTest::unsavedTextsOfEarlierRunsComeBackNewestFirst()
{
    TempFolder state;
    TempFolder recordings;
    const QString recording = recordings.filePath(u"r.wav"_s);
    test::writeWav(recording, 10.0, 8000);
    QVERIFY(QDir().mkpath(state.filePath(u"journals"_s)));
    const QString older = state.filePath(u"journals/older.journal"_s);
    const QString newer = state.filePath(u"journals/newer.journal"_s);
    TempFolder::writeAt(older, journalOf(u"older text"_s, recording));
    TempFolder::writeAt(newer, journalOf(u"newer text"_s, recording));
    setAge(older, 3600);
    setAge(newer, 60);

    RememberingWindow window(state);
    QVERIFY(window.show());
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.boxes.size(), 1, 20000);
    QCOMPARE(editorText(window.ui->Memo1), u"newer text"_s);
    QVERIFY2(window.desktop.boxes.first().text.contains(u"另有1份"_s), qPrintable(window.desktop.boxes.first().text));

    window.desktop.boxes.clear();
    window.desktop.answers = {true};
    window.save();
    QCOMPARE(TempFolder::read(recording + u".txt"_s), "newer text"_ba);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().question);
    QCOMPARE(editorText(window.ui->Memo1), u"older text"_s);
    QVERIFY(!QFile::exists(newer)); // saved: retired
    QVERIFY(QFile::exists(older));  // still unsaved: kept
}

// The state folder's place is taken by a file: no journal and no memory can be
// kept. Typing goes on, the user hears it once, and saving works as ever.
void TranscriptMemoryTest::stateFolderThatCannotBeWrittenIsToldOnce()
{
    TempFolder parent;
    const QString notAFolder = parent.write(u"state"_s, "a file"_ba);
    WindowUnderTest window(true, u"Time.ini"_s, QString(), notAFolder);
    QVERIFY(window.show());
    const QString recording = window.loadRecording(5.0);
    QTest::keyClicks(window.ui->Memo1, u"abc"_s);
    QTest::keyClicks(window.ui->Memo1, u"def"_s);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY2(window.desktop.boxes.first().text.contains(u"无法写入文稿的恢复记录"_s),
             qPrintable(window.desktop.boxes.first().text));
    window.ui->BitBtn10->click();
    QCOMPARE(TempFolder::read(recording + u".txt"_s), "abcdef"_ba);
    QCOMPARE(window.desktop.boxes.size(), 1);
}

// Five seconds whose header claims 1e13 seconds, named by the journal of a run that
// ended without saving: the start brings text and recording back, the waveform is
// the five seconds there are, and the recording plays.
void TranscriptMemoryTest::aRecordingWhoseHeaderLiesComesBackAtStart()
{
    TempFolder state;
    TempFolder recordings;
    const QString recording = writeLyingLengthRecording(recordings.path());
    QVERIFY(QDir().mkpath(state.filePath(u"journals"_s)));
    TempFolder::writeAt(state.filePath(u"journals/lying.journal"_s), journalOf(u"typed before"_s, recording));

    RememberingWindow window(state);
    QVERIFY(window.show());
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.boxes.size(), 1, 20000); // the recovery notice
    QCOMPARE(editorText(window.ui->Memo1), u"typed before"_s);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QTRY_COMPARE_WITH_TIMEOUT(player->url(), recording, 20000);
    const WaveformBuilder& waveforms = WindowProbe::waveforms(*window);
    QTRY_VERIFY_WITH_TIMEOUT(waveforms.envelope().isComplete(), 20000);
    QVERIFY2(std::abs(waveforms.envelope().valueCount() - 500) <= 2,
             qPrintable(QString::number(waveforms.envelope().valueCount())));
    player->setCurrentPosition(1.0);
    player->play();
    QTRY_VERIFY_WITH_TIMEOUT(player->currentPosition() > 2.0, 20000);
    QCOMPARE(window.desktop.boxes.size(), 1); // nothing failed
}

QTEST_MAIN(TranscriptMemoryTest)
#include "transcript_memory_test.moc"
