#include "editor/transcript_edit.h"
#include "files/atomic_file.h"
#include "support/wav_file.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

// How a save is made to fail.
enum class SaveFault {
    DiskFullMidway,
    SyncFails,
    RenameFails,
    MediumReadOnly,
    CreateRefused,
    FolderReadOnly,
    NameIsAFolder
};
Q_DECLARE_METATYPE(SaveFault)

namespace {

const QString kLoaded =
    QStringLiteral("加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。");
const QString kLoadFailed = QStringLiteral("加载音视频文件失败！");
const QString kSaveFailed = QStringLiteral("保存失败，请联系客服。");

// A window with a recording loaded through the menu, as a user does it.
struct WindowWithRecording : WindowUnderTest {
    QString recording;

    explicit WindowWithRecording(const QString& name = QStringLiteral("会议 录音.mp3"))
    {
        show();
        recording = loadRecording(20.0, name); // libmpv goes by content, not by name
    }

    QString transcript() const { return recording + QStringLiteral(".txt"); }
};

// All bytes this process has read so far through read() and its kin (the kernel's count).
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/io");
    const QByteArray text = io.readAll();
    const qsizetype at = text.indexOf("rchar: ");
    return text.mid(at + 7, text.indexOf('\n', at) - at - 7).toLongLong();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadingARecording();
    void cancellingEitherDialogOnlyFocusesTheEditor();
    void unplayableRecordingKeepsTheEarlierOne_data();
    void unplayableRecordingKeepsTheEarlierOne();
    void refusedOpeningEndsAndTheNextLoadWorks();
    void saveWritesGbkBesideTheRecording_data();
    void saveWritesGbkBesideTheRecording();
    void savingTwiceReplaces();
    void saveWithoutRecordingWritesNothing();
    void failedSaveKeepsTheOldTranscript_data();
    void failedSaveKeepsTheOldTranscript();
    void loadingATranscript_data();
    void loadingATranscript();
    void unreadableTranscriptKeepsTheText_data();
    void unreadableTranscriptKeepsTheText();
};

void FileCommandsTest::loadingARecording()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder& recordings = window.recordings;
    const QString first = recordings.filePath(QStringLiteral("a.wav"));
    const QString second = recordings.filePath(QStringLiteral("b.wav"));
    test::writeWav(first, 30.0);
    test::writeWav(second, 10.0);
    window.ui->Memo1->setPlainText(QStringLiteral("已经打好的字"));

    window.desktop.filesToChoose = {first};
    window.ui->N8->trigger();
    QCOMPARE(window.desktop.fileDialogTitles, QStringList{QStringLiteral("请选择录音文件")});
    QCOMPARE(window.desktop.texts(), QStringList{kLoaded});
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), first);
    QCOMPARE(window.ui->WindowsMediaPlayer1->playState(), int(PlayStateStopped));
    QVERIFY(window.ui->Timer1->isActive());
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);

    // Loading another while the first plays stops it and keeps the text.
    window.ui->WindowsMediaPlayer1->play();
    window.desktop.filesToChoose = {second};
    window.ui->N8->trigger();
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), second);
    QCOMPARE(window.ui->WindowsMediaPlayer1->playState(), int(PlayStateStopped));
    QCOMPARE(window.ui->WindowsMediaPlayer1->duration(), 10.0);
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("已经打好的字"));
}

void FileCommandsTest::cancellingEitherDialogOnlyFocusesTheEditor()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.ui->Memo1->setPlainText(QStringLiteral("text"));
    for (QAction* item : {window.ui->N8, window.ui->N9}) {
        window.ui->Edit4->setFocus();
        QCOMPARE(QApplication::focusWidget(), window.ui->Edit4);
        item->trigger();
        QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
    }
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("text"));
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), QString());
    QVERIFY(!window.ui->Timer1->isActive());
}

void FileCommandsTest::unplayableRecordingKeepsTheEarlierOne_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text file") << QByteArray("not a recording\n");
    QTest::newRow("zero bytes") << QByteArray();
    QTest::newRow("corrupt header") << QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16);
}

void FileCommandsTest::unplayableRecordingKeepsTheEarlierOne()
{
    QFETCH(QByteArray, content);
    WindowWithRecording window;
    const QString bad = window.recordings.write(QStringLiteral("bad.mp3"), content);
    window.desktop.filesToChoose = {bad};
    window.ui->N8->trigger();
    QCOMPARE(window.desktop.texts(), QStringList{kLoadFailed});
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), window.recording);
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
    // The earlier recording stays the save target.
    window.ui->Memo1->setPlainText(QStringLiteral("abc"));
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QCOMPARE(TempFolder::read(window.transcript()), QByteArray("abc"));
    QVERIFY(!QFile::exists(bad + QStringLiteral(".txt")));

    // With nothing loaded before, nothing is loaded after.
    WindowUnderTest fresh;
    fresh.desktop.filesToChoose = {bad};
    fresh.ui->N8->trigger();
    QCOMPARE(fresh.desktop.texts(), QStringList{kLoadFailed});
    QCOMPARE(fresh.ui->WindowsMediaPlayer1->url(), QString());
    QVERIFY(!fresh.ui->Timer1->isActive());
}

void FileCommandsTest::refusedOpeningEndsAndTheNextLoadWorks()
{
    WindowWithRecording window;
    const QString next = window.recordings.filePath(QStringLiteral("next.wav"));
    test::writeWav(next, 10.0);
    window.desktop.filesToChoose = {next};
    window.playerFaults.loadFileFails = true;
    window.ui->N8->trigger();
    QCOMPARE(window.desktop.texts(), QStringList{kLoadFailed});
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), window.recording);
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);

    window.playerFaults.loadFileFails = false;
    window.desktop.filesToChoose = {next};
    window.ui->N8->trigger();
    QCOMPARE(window.desktop.texts(), (QStringList{kLoadFailed, kLoaded}));
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), next);
    QCOMPARE(window.ui->WindowsMediaPlayer1->duration(), 10.0);
}

void FileCommandsTest::saveWritesGbkBesideTheRecording_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Chinese, ASCII and line breaks")
        << QStringLiteral("第一行 abc\n-00:12:34- 中文\n\n")
        << QByteArray::fromHex("B5DAD2BBD0D0206162630D0A2D30303A31323A33342D20D6D0CEC40D0A0D0A");
    QTest::newRow("empty editor") << QString() << QByteArray();
    QTest::newRow("character outside GBK") << QStringLiteral("\U00020000a") << QByteArray::fromHex("9532823661");
    QTest::newRow("no-break space kept") << QStringLiteral("a\u00A0b") << QByteArray::fromHex("618130843262");
}

void FileCommandsTest::saveWritesGbkBesideTheRecording()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    WindowWithRecording window;
    window.ui->Memo1->setPlainText(text);
    window.ui->Edit4->setFocus();
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    bool exists = false;
    QCOMPARE(TempFolder::read(window.transcript(), &exists).toHex(), bytes.toHex());
    QVERIFY(exists);
    QCOMPARE(filesIn(window.recordings.path()),
             (QStringList{QStringLiteral("会议 录音.mp3"), QStringLiteral("会议 录音.mp3.txt")}));
    QVERIFY(window.ui->Label17->isVisible());
    QCOMPARE(window.ui->Label17->text(), QStringLiteral("保存成功！"));
    QVERIFY(window.desktop.boxes.isEmpty());
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void FileCommandsTest::savingTwiceReplaces()
{
    WindowWithRecording window(QStringLiteral("a.mp3"));
    window.ui->Memo1->setPlainText(QStringLiteral("a much longer first text"));
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    window.ui->Memo1->setPlainText(QStringLiteral("short"));
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QCOMPARE(window.transcript(), window.recordings.filePath(QStringLiteral("a.mp3.txt")));
    QCOMPARE(TempFolder::read(window.transcript()), QByteArray("short"));
}

void FileCommandsTest::saveWithoutRecordingWritesNothing()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder workingFolder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(workingFolder.path());
    window.ui->Memo1->setPlainText(QStringLiteral("text"));
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QDir::setCurrent(before);
    QVERIFY(filesIn(workingFolder.path()).isEmpty());
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().text.contains(QStringLiteral("请先加载音视频文件")));
    QVERIFY(!window.ui->Label17->isVisible());
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void FileCommandsTest::failedSaveKeepsTheOldTranscript_data()
{
    QTest::addColumn<SaveFault>("fault");
    QTest::addColumn<bool>("oldTranscript"); // a transcript saved earlier lies there
    QTest::newRow("disk full midway") << SaveFault::DiskFullMidway << true;
    QTest::newRow("disk full, no transcript yet") << SaveFault::DiskFullMidway << false;
    QTest::newRow("sync fails") << SaveFault::SyncFails << true;
    QTest::newRow("rename fails") << SaveFault::RenameFails << true;
    QTest::newRow("medium read-only") << SaveFault::MediumReadOnly << true;
    QTest::newRow("folder not writable, no transcript yet") << SaveFault::CreateRefused << false;
    QTest::newRow("folder read-only (real)") << SaveFault::FolderReadOnly << true;
    QTest::newRow("name taken by a folder") << SaveFault::NameIsAFolder << false;
}

void FileCommandsTest::failedSaveKeepsTheOldTranscript()
{
    QFETCH(SaveFault, fault);
    QFETCH(bool, oldTranscript);
    if (fault == SaveFault::FolderReadOnly && ::geteuid() == 0)
        QSKIP("Running as root, which permission bits do not stop; the injected rows cover the failure");
    WindowWithRecording window;
    const QByteArray old = "\xBE\xC9\xB5\xC4 old transcript\r\n";
    if (oldTranscript)
        window.recordings.write(QStringLiteral("会议 录音.mp3.txt"), old);
    if (fault == SaveFault::NameIsAFolder)
        QVERIFY(QDir(window.recordings.path()).mkdir(QStringLiteral("会议 录音.mp3.txt")));
    const QStringList filesBefore = filesIn(window.recordings.path());

    window.ui->Memo1->setPlainText(QStringLiteral("new text that does not fit"));
    // The same window, its disk made to fail.
    FileWriteFaults& faults = window.transcriptFaults;
    switch (fault) {
    case SaveFault::DiskFullMidway:
        faults.failWriteAfterBytes = 3;
        faults.writeError = ENOSPC;
        break;
    case SaveFault::SyncFails:
        faults.fsyncError = EIO;
        break;
    case SaveFault::RenameFails:
        faults.renameError = EIO;
        break;
    case SaveFault::MediumReadOnly:
        faults.createError = EROFS;
        break;
    case SaveFault::CreateRefused:
        faults.createError = EACCES;
        break;
    case SaveFault::FolderReadOnly:
        QVERIFY(QFile::setPermissions(window.recordings.path(), QFile::ReadOwner | QFile::ExeOwner));
        break;
    case SaveFault::NameIsAFolder:
        break;
    }
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QFile::setPermissions(window.recordings.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(window.desktop.texts(), QStringList{kSaveFailed});
    QCOMPARE(filesIn(window.recordings.path()), filesBefore); // no temporary file left behind
    bool exists = false;
    const QByteArray after = TempFolder::read(window.transcript(), &exists);
    if (fault == SaveFault::NameIsAFolder)
        QVERIFY(QFileInfo(window.transcript()).isDir());
    else if (oldTranscript)
        QCOMPARE(after, old);
    else
        QVERIFY(!exists);
    QVERIFY(!window.ui->Label17->isVisible());
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("new text that does not fit"));
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void FileCommandsTest::loadingATranscript_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("savedAgain");
    QTest::addColumn<int>("unreadable");
    QTest::newRow("GBK with CR LF") << QByteArray("\xD6\xD0\xCE\xC4\r\nabc") << QStringLiteral("中文\nabc")
                                    << QByteArray("\xD6\xD0\xCE\xC4\r\nabc") << 0;
    QTest::newRow("LF only") << QByteArray("one\ntwo\n\nthree") << QStringLiteral("one\ntwo\n\nthree")
                             << QByteArray("one\r\ntwo\r\n\r\nthree") << 0;
    QTest::newRow("lone CR and LF CR") << QByteArray("a\rb\n\rc") << QStringLiteral("a\nb\n\nc")
                                       << QByteArray("a\r\nb\r\n\r\nc") << 0;
    QTest::newRow("UTF-8 from a Linux editor")
        << QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD\nok\n") << QStringLiteral("你好\nok\n")
        << QByteArray("\xC4\xE3\xBA\xC3\r\nok\r\n") << 0;
    QTest::newRow("outside GBK") << QByteArray("\x95\x32\x82\x36") << QStringLiteral("\U00020000")
                                 << QByteArray("\x95\x32\x82\x36") << 0;
    QTest::newRow("invalid bytes") << QByteArray("ab\xFF\xD6\xD0") << QStringLiteral("ab\uFFFD中")
                                   << QByteArray("ab\x84\x31\xA4\x37\xD6\xD0") << 1;
}

void FileCommandsTest::loadingATranscript()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, savedAgain);
    QFETCH(int, unreadable);
    WindowWithRecording window;
    window.ui->Memo1->setPlainText(QStringLiteral("replaced"));
    window.desktop.filesToChoose = {window.recordings.write(QStringLiteral("earlier.txt"), bytes)};
    window.ui->N9->trigger();
    QCOMPARE(window.ui->Memo1->toPlainText(), text);
    QCOMPARE(window.desktop.boxes.size(), unreadable ? 1 : 0);
    if (unreadable)
        QVERIFY(window.desktop.boxes.first().text.contains(QString::number(unreadable)));
    QCOMPARE(window.desktop.fileDialogTitles.last(), QString());
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), window.recording); // the recording is not touched
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
    QTest::mouseClick(window.ui->BitBtn10, Qt::LeftButton);
    QCOMPARE(TempFolder::read(window.transcript()).toHex(), savedAgain.toHex());
}

void FileCommandsTest::unreadableTranscriptKeepsTheText_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size");     // of a sparse file, for "huge"
    QTest::addColumn<QString>("message"); // %1: the path
    QTest::newRow("missing") << "missing" << qint64(0) << "Cannot open file \"%1\". No such file or directory";
    QTest::newRow("folder") << "folder" << qint64(0) << "Cannot open file \"%1\". Is a directory";
    QTest::newRow("larger than the editor holds") << "huge" << (qint64(300) << 20) << "Text exceeds memo capacity.";
    QTest::newRow("2 GB") << "huge" << (qint64(2) << 30) << "Text exceeds memo capacity.";
}

void FileCommandsTest::unreadableTranscriptKeepsTheText()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(QString, message);
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("稿 子.txt"));
    if (kind == QStringLiteral("folder"))
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("稿 子.txt")));
    if (kind == QStringLiteral("huge")) { // sparse: costs no disk
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    window.ui->Memo1->setPlainText(QStringLiteral("keep me"));
    window.ui->Edit4->setFocus();
    window.desktop.filesToChoose = {path};
    const qint64 readBefore = bytesReadSoFar();
    window.ui->N9->trigger();
    // Refused on its size alone: reading even part of it would keep the user waiting.
    QVERIFY(bytesReadSoFar() - readBefore < (qint64(1) << 20));
    QCOMPARE(window.desktop.boxes.size(), 1);
    QCOMPARE(window.desktop.boxes.first().text, message.contains(u'%') ? message.arg(path) + u'.' : message);
    QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::Stop);
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("keep me"));
    QCOMPARE(QApplication::focusWidget(), window.ui->Edit4); // after an error the focus is not moved
}

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
