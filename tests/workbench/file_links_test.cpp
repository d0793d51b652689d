// Links someone else plants where the window writes: the transcript beside the
// recording follows only a link of the user's own, the memory of files follows
// none, and a state folder others may write to is not used at all.
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/file_memory.h"
#include "files/transcript_codec.h"
#include "support/window_under_test.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;
using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

const QString kSaved = u"保存成功！"_s;
constexpr uid_t kOtherUser = 65534; // nobody

bool giveToAnotherUser(const QString& path)
{
    return ::lchown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser) == 0;
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class FileLinksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transcriptLinkIsFollowedOnlyWhenItIsTheUsers_data();
    void transcriptLinkIsFollowedOnlyWhenItIsTheUsers();
    void aLinkPlantedAsTheMemoryOfFilesIsNeverFollowed();
    void aStateFolderOthersMayWriteToIsNotUsed();
};

void FileLinksTest::transcriptLinkIsFollowedOnlyWhenItIsTheUsers_data()
{
    QTest::addColumn<bool>("linkIsAnotherUsers");
    QTest::addColumn<bool>("fileIsAnotherUsers");
    QTest::addColumn<bool>("leadsNowhere");
    QTest::addColumn<bool>("followed");

    QTest::newRow("the user's own link to the user's file, as into a shared folder") << false << false << false << true;
    QTest::newRow("a link that leads nowhere (planted)") << false << false << true << false;
    QTest::newRow("another user's link (planted)") << true << false << false << false;
    QTest::newRow("the user's link to another user's file") << false << true << false << false;
}

// `<recording>.txt` is a name the program derives, not one the user gave: a link
// there is followed (for loading and saving) only when the link and its file are the
// user's own, and otherwise the user is told why nothing was written.
void FileLinksTest::transcriptLinkIsFollowedOnlyWhenItIsTheUsers()
{
    QFETCH(bool, linkIsAnotherUsers);
    QFETCH(bool, fileIsAnotherUsers);
    QFETCH(bool, leadsNowhere);
    QFETCH(bool, followed);
    if ((linkIsAnotherUsers || fileIsAnotherUsers) && ::geteuid() != 0)
        QSKIP("Only root can give a file to another user");
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder elsewhere;
    const QString target = elsewhere.filePath(u"共享文稿.txt"_s);
    const QByteArray old = encodeTranscript(u"旧的文稿"_s);
    if (!leadsNowhere)
        TempFolder::writeAt(target, old);
    if (fileIsAnotherUsers)
        QVERIFY(giveToAnotherUser(target));
    const QString transcript = window.recordings.filePath(u"会议.wav.txt"_s);
    QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(transcript).constData()), 0);
    if (linkIsAnotherUsers)
        QVERIFY(giveToAnotherUser(transcript));

    window.loadRecording(5.0, u"会议.wav"_s);
    QCOMPARE(editorText(window.ui->Memo1), followed ? u"旧的文稿"_s : QString());
    window.ui->Memo1->setPlainText(u"新的文字"_s);
    window.ui->BitBtn10->click();

    bool exists = false;
    QCOMPARE(TempFolder::read(target, &exists),
             followed           ? encodeTranscript(u"新的文字"_s)
                 : leadsNowhere ? QByteArray()
                                : old);
    QCOMPARE(exists, !leadsNowhere || followed);
    QVERIFY(QFileInfo(transcript).isSymLink());
    QCOMPARE(window.ui->Label17->isVisible() && window.ui->Label17->text() == kSaved, followed);
    if (!followed) {
        QCOMPARE(window.desktop.boxes.size(), 1);
        const QString told = window.desktop.boxes.first().text;
        QVERIFY2(told.contains(transcript) && told.contains(u"符号链接"_s) && told.contains(u"文稿没有保存"_s),
                 qPrintable(told));
    }
    QCOMPARE(editorText(window.ui->Memo1), u"新的文字"_s);
    QVERIFY(window.ui->Memo1->hasFocus());
}

// A link in place of files.json (to any file of the user's) would have the memory
// written over that file; the memory is written in its own place instead, never at
// all, and the transcript is saved as ever.
void FileLinksTest::aLinkPlantedAsTheMemoryOfFilesIsNeverFollowed()
{
    TempFolder state;
    TempFolder home;
    const QString victim = home.write(u".bash_aliases"_s, "alias ll='ls -l'\n");
    const QString memoryFile = state.filePath(u"files.json"_s);
    QCOMPARE(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(memoryFile).constData()), 0);
    WindowUnderTest window(true, u"Time.ini"_s, QString(), state.path());
    QVERIFY(window.show());
    const QString recording = window.loadRecording(5.0);
    QTest::keyClicks(window.ui->Memo1, u"abc"_s);
    window.ui->BitBtn10->click();

    QCOMPARE(TempFolder::read(recording + u".txt"_s), "abc"_ba);
    QCOMPARE(TempFolder::read(victim), "alias ll='ls -l'\n"_ba);
    QVERIFY(QFileInfo(memoryFile).isSymLink());
}

// A state folder others may write to could hold a memory of files or journals
// someone else wrote: it is neither read nor written, and the user hears once why
// there is no recovery journal.
void FileLinksTest::aStateFolderOthersMayWriteToIsNotUsed()
{
    TempFolder parent;
    const QString state = parent.filePath(u"tavrin"_s);
    QVERIFY(QDir(parent.path()).mkdir(u"tavrin"_s));
    WindowUnderTest window(true, u"Time.ini"_s, QString(), state);
    QVERIFY(window.show());
    const QString recording = window.loadRecording(5.0);
    // Another program writes the transcript, and a memory that says it was saved
    // here, which would spare the save its question.
    const QString transcript = recording + u".txt"_s;
    const QByteArray planted = "written by someone else"_ba;
    TempFolder::writeAt(transcript, planted);
    FileMemory(QDir(state).filePath(u"files.json"_s)).rememberContent(transcript, transcriptDigest(planted));
    QCOMPARE(::chmod(QFile::encodeName(state).constData(), 0777), 0);
    const QStringList stateBefore = entriesOf(state);
    const QByteArray memoryBefore = TempFolder::read(QDir(state).filePath(u"files.json"_s));

    QTest::keyClicks(window.ui->Memo1, u"abc"_s);
    QTest::keyClicks(window.ui->Memo1, u"def"_s);
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY2(window.desktop.boxes.first().text.contains(state)
                 && window.desktop.boxes.first().text.contains(u"其他用户也能写入"_s),
             qPrintable(window.desktop.boxes.first().text));
    window.ui->BitBtn10->click();

    // The memory is not believed, so the save asks; No keeps the other bytes.
    QCOMPARE(window.desktop.boxes.size(), 2);
    QVERIFY(window.desktop.boxes.last().question);
    QCOMPARE(TempFolder::read(transcript), planted);
    QCOMPARE(entriesOf(state), stateBefore);
    QCOMPARE(TempFolder::read(QDir(state).filePath(u"files.json"_s)), memoryBefore);
    ::chmod(QFile::encodeName(state).constData(), 0700);
}

QTEST_MAIN(FileLinksTest)
#include "file_links_test.moc"
