// Hostile input and failing disks, seen from the main window: each row shows what
// the user is told and that nothing already typed or saved is lost.
#include "dialogs/settings_dialog.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tavrin;
using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 20000;
const QByteArray kSection = "[\xCA\xB1\xBC\xE4]"_ba; // 时间 in GBK
const QString kSaved = u"保存成功！"_s;
const QString kSettingsSaved = u"更改时间成功!"_s;

enum class Vanishing {
    Deleted,
    TruncatedToHeader,
    DeletedThenOtherFileFails
};
enum class Interference {
    Deleted,
    HeldWithFlock,
    HeldWithOfdLock
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

// Opens the settings dialog the way the menu does, without blocking the test.
TForm3* openSettings(WindowUnderTest& window)
{
    window.ui->Form3->open();
    return QTest::qWaitForWindowExposed(window.ui->Form3) ? window.ui->Form3 : nullptr;
}

// Names that a shell, a format string or a code page would trip over.
void addHostileNames()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << u"  会议 录音  .wav "_s;
    QTest::newRow("quotes") << u"it's a \"quote\".wav"_s;
    QTest::newRow("newline") << u"first line\nsecond.wav"_s;
    QTest::newRow("Chinese") << u"会议录音（第一部分）.wav"_s;
    QTest::newRow("outside GBK") << u"\U00020000 😀.wav"_s;
    QTest::newRow("percent and backslash") << u"100% \\ %1 %2.wav"_s;
}

} // namespace

Q_DECLARE_METATYPE(Vanishing)
Q_DECLARE_METATYPE(Interference)

class FaultTableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordingVanishesWhilePlaying_data();
    void recordingVanishesWhilePlaying();
    void transcriptChangedBehindTheProgram_data();
    void transcriptChangedBehindTheProgram();
    void transcriptWithNulBytesSavesBack_data();
    void transcriptWithNulBytesSavesBack();
    void binaryTranscriptLoadsWhatCanBeRead();
    void overlongLineIsRefused_data();
    void overlongLineIsRefused();
    void damagedSettingsFile_data();
    void damagedSettingsFile();
    void hostileRecordingPath_data() { addHostileNames(); }
    void hostileRecordingPath();
    void hostileTranscriptPath_data() { addHostileNames(); }
    void hostileTranscriptPath();
    void hostileProgramFolder_data() { addHostileNames(); }
    void hostileProgramFolder();
};

void FaultTableTest::recordingVanishesWhilePlaying_data()
{
    QTest::addColumn<Vanishing>("vanishing");
    QTest::newRow("deleted") << Vanishing::Deleted;
    QTest::newRow("truncated to its header") << Vanishing::TruncatedToHeader;
    QTest::newRow("deleted, then another file fails to load") << Vanishing::DeletedThenOtherFileFails;
}

void FaultTableTest::recordingVanishesWhilePlaying()
{
    QFETCH(Vanishing, vanishing);
    WindowUnderTest window;
    QVERIFY(window.show());
    // 48 kHz, so that what libmpv has read ahead lasts little more than a second.
    const QString recording = window.loadRecording(600.0, u"vanishing.wav"_s, 48000);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(player->currentPosition() > 0.2, kWaitMs);

    switch (vanishing) {
    case Vanishing::Deleted: {
        QVERIFY(QFile::remove(recording));
        // The player still holds the file open, so its data lives on: playback goes on.
        const double at = player->currentPosition();
        QTRY_VERIFY_WITH_TIMEOUT(player->currentPosition() > at + 1.0, kWaitMs);
        QCOMPARE(player->playState(), int(PlayStatePlaying));
        break;
    }
    case Vanishing::TruncatedToHeader:
        QVERIFY(QFile::resize(recording, 44));
        // Playback ends where the data ends, stopped as at the end of a recording.
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(PlayStateStopped), kWaitMs);
        QVERIFY(player->currentPosition() < 60.0);
        break;
    case Vanishing::DeletedThenOtherFileFails:
        // The recording before cannot be opened again: nothing is left to play.
        QVERIFY(QFile::remove(recording));
        window.desktop.filesToChoose = {window.recordings.write(u"not a recording.mp3"_s, "text")};
        window.ui->N8->trigger();
        QCOMPARE(window.desktop.texts(), QStringList{u"加载音视频文件失败！"_s});
        window.desktop.boxes.clear();
        QVERIFY(QFile::remove(window.recordings.filePath(u"not a recording.mp3"_s)));
        break;
    }

    // Play/pause, F12, play/pause, F9, play/pause: each does its part, or finds
    // nothing left to play, without an error box.
    if (vanishing == Vanishing::Deleted) {
        QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
        QCOMPARE(player->playState(), int(PlayStatePaused));
        QVERIFY(window.pauseAt(20.0));                         // a seek far beyond what was read ahead
        QTest::mouseClick(window.ui->BitBtn2, Qt::LeftButton); // forward 5 s
        QCOMPARE(player->currentPosition(), 25.0);
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(PlayStatePlaying), kWaitMs);
        QVERIFY(window.pauseAt(30.0));
        QTest::mouseClick(window.ui->BitBtn7, Qt::LeftButton); // back 3 s
        QCOMPARE(player->currentPosition(), 27.0);
        QTRY_COMPARE_WITH_TIMEOUT(player->playState(), int(PlayStatePlaying), kWaitMs);
    } else {
        const int settled = vanishing == Vanishing::TruncatedToHeader ? PlayStateStopped : PlayStateUndefined;
        for (QPushButton* button : {window.ui->BitBtn4, window.ui->BitBtn2, window.ui->BitBtn4, window.ui->BitBtn7}) {
            QTest::mouseClick(button, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(player->playState(), settled, kWaitMs);
        }
    }
    const QString captionBefore = window.ui->BitBtn4->text();
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    const QString caption[] = {u"继续"_s, u"暂停"_s, captionBefore}; // by Vanishing
    QCOMPARE(window.ui->BitBtn4->text(), caption[int(vanishing)]);
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(player->url(), recording);

    // The window goes on: the display refreshes and typing reaches the editor.
    window->Timer1Timer();
    QVERIFY(QRegularExpression(u"^\\d\\d:\\d\\d:\\d\\d$"_s).match(window.ui->Label1->text()).hasMatch());
    window.ui->Memo1->setFocus();
    QTest::keyClicks(window.ui->Memo1, u"typed"_s);
    QCOMPARE(editorText(window.ui->Memo1), u"typed"_s);

    // The transcript still goes beside the recording's path.
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(window.ui->Label17->text(), kSaved);
    QCOMPARE(TempFolder::read(recording + u".txt"_s), "typed"_ba);
    const QStringList expected = vanishing == Vanishing::TruncatedToHeader
        ? QStringList{u"vanishing.wav"_s, u"vanishing.wav.txt"_s}
        : QStringList{u"vanishing.wav.txt"_s};
    QCOMPARE(filesIn(window.recordings.path()), expected);

    // A recording loaded afterwards plays as usual.
    const QString next = window.loadRecording(10.0, u"next.wav"_s);
    QCOMPARE(player->url(), next);
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    QCOMPARE(player->playState(), int(PlayStatePlaying));
}

void FaultTableTest::transcriptChangedBehindTheProgram_data()
{
    QTest::addColumn<Interference>("interference");
    QTest::newRow("deleted") << Interference::Deleted;
    QTest::newRow("held with flock()") << Interference::HeldWithFlock;
    QTest::newRow("held with an open file description lock") << Interference::HeldWithOfdLock;
}

void FaultTableTest::transcriptChangedBehindTheProgram()
{
    QFETCH(Interference, interference);
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString transcript = window.loadRecording(5.0) + u".txt"_s;
    const QByteArray encodedPath = QFile::encodeName(transcript);
    window.ui->Memo1->setPlainText(u"第一稿"_s);
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QCOMPARE(TempFolder::read(transcript), "\xB5\xDA\xD2\xBB\xB8\xE5"_ba);

    // Another program's hold on the file: a lock taken through a descriptor of its
    // own. A second descriptor is refused the same lock, so the lock is real.
    const int holder = interference == Interference::Deleted ? -1 : ::open(encodedPath.constData(), O_RDWR);
    const int other = interference == Interference::Deleted ? -1 : ::open(encodedPath.constData(), O_RDWR);
    auto closeAll = qScopeGuard([&] {
        for (int fd : {holder, other}) {
            if (fd >= 0)
                ::close(fd);
        }
    });
    struct flock range = {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    switch (interference) {
    case Interference::Deleted:
        QVERIFY(QFile::remove(transcript));
        break;
    case Interference::HeldWithFlock:
        QCOMPARE(::flock(holder, LOCK_EX), 0);
        QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), -1);
        QCOMPARE(errno, EWOULDBLOCK);
        break;
    case Interference::HeldWithOfdLock:
        QCOMPARE(::fcntl(holder, F_OFD_SETLK, &range), 0);
        QCOMPARE(::fcntl(other, F_OFD_SETLK, &range), -1);
        QCOMPARE(errno, EAGAIN);
        break;
    }

    window.ui->Label17->hide();
    window.ui->Memo1->setPlainText(u"第二稿"_s);
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
    QVERIFY(window.ui->Label17->isVisible());
    QCOMPARE(TempFolder::read(transcript), "\xB5\xDA\xB6\xFE\xB8\xE5"_ba);
    QCOMPARE(filesIn(window.recordings.path()), (QStringList{u"recording.wav"_s, u"recording.wav.txt"_s}));
    if (holder >= 0) {
        // The holder keeps the file it locked, with what it held.
        char held[6];
        QCOMPARE(::pread(holder, held, sizeof held, 0), ssize_t(sizeof held));
        QCOMPARE(QByteArray(held, sizeof held), "\xB5\xDA\xD2\xBB\xB8\xE5"_ba);
    }
}

void FaultTableTest::transcriptWithNulBytesSavesBack_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("among ASCII") << "a\0b\0\0c"_ba << u"a\0b\0\0c"_s;
    QTest::newRow("at both ends and on lines of their own") << "\0ab\r\n\0\r\nd\0"_ba << u"\0ab\n\0\nd\0"_s;
    QTest::newRow("between GBK characters") << "\xD6\xD0\0\xCE\xC4"_ba << u"中\0文"_s;
}

void FaultTableTest::transcriptWithNulBytesSavesBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString transcript = window.loadRecording(5.0) + u".txt"_s;
    TempFolder folder;
    const QString source = folder.write(u"with nul.txt"_s, bytes);
    window.desktop.filesToChoose = {source};
    window.ui->N9->trigger();
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(editorText(window.ui->Memo1), text);
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QCOMPARE(TempFolder::read(transcript).toHex(), bytes.toHex());
    QCOMPARE(TempFolder::read(source), bytes);
}

void FaultTableTest::binaryTranscriptLoadsWhatCanBeRead()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString transcript = window.loadRecording(5.0) + u".txt"_s;
    // Random bytes (the same every run) with a readable line in the middle.
    QRandomGenerator random(20240607);
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    bytes[0] = 'B';                                                             // no byte-order mark by chance
    bytes.insert(32 * 1024, "\n\xBF\xC9\xB6\xC1\xB5\xC4\xCE\xC4\xD7\xD6\n"_ba); // 可读的文字
    TempFolder folder;
    const QString source = folder.write(u"binary.dat"_s, bytes);
    const QDateTime modified = QFileInfo(source).lastModified();

    window.desktop.filesToChoose = {source};
    window.ui->N9->trigger();
    const QString text = editorText(window.ui->Memo1);
    QVERIFY(text.contains(u"\n可读的文字\n"_s));
    QCOMPARE(window.desktop.boxes.size(), 1);
    QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::None);
    // The message counts every byte that could not be read; each shows as U+FFFD.
    const QString count = QRegularExpression(u"\\d+"_s).match(window.desktop.boxes.first().text).captured();
    QVERIFY(count.toLongLong() > 1000);
    QCOMPARE(count.toLongLong(), text.count(QChar::ReplacementCharacter));

    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QVERIFY(QFileInfo::exists(transcript));
    QCOMPARE(TempFolder::read(source), bytes);
    QCOMPARE(QFileInfo(source).lastModified(), modified);
}

void FaultTableTest::overlongLineIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("longest"); // characters; 0: the file loads
    QTest::addColumn<qint64>("limit");
    QTest::newRow("one line of 50 MB") << QByteArray(50 << 20, 'a') << qint64(50 << 20) << qint64(1'000'000);
    QTest::newRow("short lines, then 50 MB of Chinese")
        << "short\r\nlines\r\n"_ba + "\xD6\xD0"_ba.repeated(25 << 20) << qint64(25 << 20) << qint64(1'000'000);
    QTest::newRow("one character over the limit")
        << "word "_ba.repeated(200'000) + "x\r\nend"_ba << qint64(1'000'001) << qint64(1'000'000);
    QTest::newRow("exactly the limit, in words")
        << "word "_ba.repeated(200'000) + "\r\nend"_ba << qint64(0) << qint64(0);
    QTest::newRow("letters without a blank to wrap at")
        << "short\r\n"_ba + QByteArray(50'001, 'x') + "\r\nend"_ba << qint64(50'001) << qint64(50'000);
}

void FaultTableTest::overlongLineIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, longest);
    QFETCH(qint64, limit);
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder folder;
    const QString source = folder.write(u"one long line.txt"_s, bytes);
    const QByteArray before = fingerprint(source);
    window.ui->Memo1->setPlainText(u"keep me"_s);
    window.ui->Edit4->setFocus();
    window.desktop.filesToChoose = {source};
    window.ui->N9->trigger();
    QCOMPARE(fingerprint(source), before);
    if (longest == 0) {
        QVERIFY(window.desktop.boxes.isEmpty());
        QCOMPARE(editorText(window.ui->Memo1).size(), 1'000'004);
        return;
    }
    QCOMPARE(window.desktop.boxes.size(), 1);
    const QString message = window.desktop.boxes.first().text;
    QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::None);
    QVERIFY2(message.contains(QString::number(longest)) && message.contains(QString::number(limit)),
             qPrintable(message));
    QVERIFY(message.contains(u"未加载"_s));
    QCOMPARE(editorText(window.ui->Memo1), u"keep me"_s);
    QCOMPARE(QApplication::focusWidget(), window.ui->Edit4);
}

void FaultTableTest::damagedSettingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<double>("f9Lands");    // from 10 s; -1: F9 fails and playback stays
    QTest::addColumn<QStringList>("shown"); // Edit2, Edit3, Edit1
    QTest::addColumn<QByteArray>("saved");  // empty: saving fails
    const QStringList names = {u"shijian2"_s, u"shijian3"_s, u"shijian1"_s};
    const QByteArray written = "\r\nshijian2=shijian2\r\nshijian3=shijian3\r\nshijian1=shijian1\r\n"_ba;
    const QByteArray png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\xFF"_ba;

    QTest::newRow("empty") << QByteArray() << false << -1.0 << names << kSection + written;
    QTest::newRow("binary") << png << false << -1.0 << names << png + "\r\n" + kSection + written;
    QTest::newRow("huge") << kSection + "\r\nshijian2=4\r\n" + QByteArray(2 << 20, ';') << false << -1.0 << names
                          << QByteArray();
    QTest::newRow("section repeated, key in the second only")
        << kSection + "\r\nshijian1=5\r\n" + kSection + "\r\nshijian2=4\r\n"
        << false << -1.0 << QStringList{u"shijian2"_s, u"shijian3"_s, u"5"_s}
        << kSection + "\r\nshijian1=5\r\nshijian2=shijian2\r\nshijian3=shijian3\r\n" + kSection + "\r\nshijian2=4\r\n";
    QTest::newRow("section repeated, key in both")
        << kSection + "\r\nshijian2=4\r\n" + kSection + "\r\nshijian2=9\r\n"
        << false << 6.0 << QStringList{u"4"_s, u"shijian3"_s, u"shijian1"_s}
        << kSection + "\r\nshijian2=4\r\nshijian3=shijian3\r\nshijian1=shijian1\r\n" + kSection + "\r\nshijian2=9\r\n";
    QTest::newRow("unreadable (real)") << kSection + "\r\nshijian2=4\r\n" << true << -1.0 << names << QByteArray();
}

void FaultTableTest::damagedSettingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, unreadable);
    QFETCH(double, f9Lands);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, saved);
    if (unreadable && ::geteuid() == 0)
        QSKIP("Running as root, which permission bits do not stop; the huge file covers a file that is not read");
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    const QString path = QDir(window.programPath).filePath(u"Time.ini"_s);
    TempFolder::writeAt(path, content);
    if (unreadable)
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    auto restore = qScopeGuard([&] { QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner); });

    QVERIFY(window.pauseAt(10.0));
    QTest::mouseClick(window.ui->BitBtn7, Qt::LeftButton);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    if (f9Lands < 0) {
        QCOMPARE(window.desktop.texts(), QStringList{u"'shijian2' is not a valid integer value."_s});
        QCOMPARE(player->currentPosition(), 10.0);
        QCOMPARE(player->playState(), int(PlayStatePaused));
    } else {
        QVERIFY(window.desktop.boxes.isEmpty());
        QCOMPARE(player->currentPosition(), f9Lands);
    }
    window.desktop.boxes.clear();

    TForm3* dialog = openSettings(window);
    QVERIFY(dialog);
    QCOMPARE((QStringList{dialog->Edit2->text(), dialog->Edit3->text(), dialog->Edit1->text()}), shown);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(filesIn(window.programPath), QStringList{u"Time.ini"_s});
    if (saved.isEmpty()) {
        QCOMPARE(window.desktop.texts(), QStringList{u"Unable to write to "_s + path + u'.'});
        QVERIFY(dialog->isVisible());
        dialog->reject();
        restore.dismiss();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(TempFolder::read(path), content);
    } else {
        QCOMPARE(window.desktop.texts(), QStringList{kSettingsSaved});
        QVERIFY(!dialog->isVisible());
        QCOMPARE(TempFolder::read(path).toHex(), saved.toHex());
    }
}

void FaultTableTest::hostileRecordingPath()
{
    QFETCH(QString, name);
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString recording = window.loadRecording(5.0, name);
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), recording); // set only when the player opened it
    window.ui->Memo1->setPlainText(u"中文 abc"_s);
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(filesIn(window.recordings.path()), (QStringList{name, name + u".txt"_s}));
    QCOMPARE(TempFolder::read(recording + u".txt"_s), "\xD6\xD0\xCE\xC4 abc"_ba);
}

void FaultTableTest::hostileTranscriptPath()
{
    QFETCH(QString, name);
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder folder;
    window.desktop.filesToChoose = {folder.write(name + u".txt"_s, "\xD6\xD0\xCE\xC4\r\nabc"_ba)};
    window.ui->N9->trigger();
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(editorText(window.ui->Memo1), u"中文\nabc"_s);
}

void FaultTableTest::hostileProgramFolder()
{
    QFETCH(QString, name);
    WindowUnderTest window(true, u"Time.ini"_s, name);
    QVERIFY(window.show());
    const QString path = QDir(window.programPath).filePath(u"Time.ini"_s);
    TempFolder::writeAt(path, kSection + "\r\nshijian2=4\r\n");
    window.loadRecording(60.0);
    QVERIFY(window.pauseAt(10.0));
    QTest::mouseClick(window.ui->BitBtn7, Qt::LeftButton);
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(window.ui->WindowsMediaPlayer1->currentPosition(), 6.0);

    TForm3* dialog = openSettings(window);
    QVERIFY(dialog);
    QCOMPARE(dialog->Edit2->text(), u"4"_s);
    dialog->Edit1->setText(u"7"_s);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QCOMPARE(window.desktop.texts(), QStringList{kSettingsSaved});
    QCOMPARE(TempFolder::read(path), kSection + "\r\nshijian2=4\r\nshijian3=shijian3\r\nshijian1=7\r\n");
    QCOMPARE(filesIn(window.programPath), QStringList{u"Time.ini"_s});
}

QTEST_MAIN(FaultTableTest)
#include "fault_table_test.moc"
