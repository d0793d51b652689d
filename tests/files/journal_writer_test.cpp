#include "files/journal_writer.h"
#include "files/recovery_journal.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QtTest>

#include <memory>

using tavrin::JournalWriter;
using tavrin::test::TempFolder;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString replayedText(const QString& path)
{
    return tavrin::replayJournal(fileBytes(path)).text;
}

QByteArray startWith(const QString& text)
{
    return tavrin::journalHeader() + tavrin::journalSnapshot(text);
}

} // namespace

class JournalWriterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsReachTheFileWithoutBeingAsked();
    void writtenAtOnceEvenWhenTheSyncWaits();
    void flushAndRestart();
    void closingWritesWhatIsPending();
    void unwritableFolderFailsQuietly();
    void inUseWhileItsWriterRuns();
};

void JournalWriterTest::editsReachTheFileWithoutBeingAsked()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("a.journal"));
    JournalWriter writer(path, startWith(QStringLiteral("录音")));
    writer.append(tavrin::journalEdit({2, 0, QStringLiteral("整理")}));
    writer.append(tavrin::journalEdit({0, 1, QStringLiteral("听")}));
    // Within about a second, by the writer's own thread.
    QTRY_COMPARE_WITH_TIMEOUT(replayedText(path), QStringLiteral("听音整理"), 10000);
    QCOMPARE(writer.size(), fileBytes(path).size());
    QVERIFY(!writer.failed());
}

// A killed program loses nothing written: the file has each record long before
// the next sync is due.
void JournalWriterTest::writtenAtOnceEvenWhenTheSyncWaits()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("e.journal"));
    JournalWriter writer(path, startWith(QStringLiteral("一")), std::chrono::hours(1));
    writer.flush();
    writer.append(tavrin::journalEdit({1, 0, QStringLiteral("二")}));
    QTRY_COMPARE_WITH_TIMEOUT(replayedText(path), QStringLiteral("一二"), 10000);
    writer.append(tavrin::journalEdit({2, 0, QStringLiteral("三")}));
    QTRY_COMPARE_WITH_TIMEOUT(replayedText(path), QStringLiteral("一二三"), 10000);
}

void JournalWriterTest::flushAndRestart()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("b.journal"));
    JournalWriter writer(path, startWith(QString()), std::chrono::hours(1));
    writer.append(tavrin::journalEdit({0, 0, QStringLiteral("第一句")}));
    writer.flush();
    QCOMPARE(replayedText(path), QStringLiteral("第一句"));
    writer.restart(startWith(QStringLiteral("整理后的文稿")));
    writer.append(tavrin::journalEdit({6, 0, QStringLiteral("。")}));
    writer.flush();
    QCOMPARE(fileBytes(path),
             startWith(QStringLiteral("整理后的文稿")) + tavrin::journalEdit({6, 0, QStringLiteral("。")}));
    QCOMPARE(writer.size(), fileBytes(path).size());
}

void JournalWriterTest::closingWritesWhatIsPending()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("c.journal"));
    {
        JournalWriter writer(path, startWith(QStringLiteral("a")), std::chrono::hours(1));
        writer.flush();
        writer.append(tavrin::journalEdit({1, 0, QStringLiteral("b")}));
    }
    QCOMPARE(replayedText(path), QStringLiteral("ab"));
}

void JournalWriterTest::unwritableFolderFailsQuietly()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("missing/d.journal"));
    JournalWriter writer(path, startWith(QStringLiteral("a")));
    writer.append(tavrin::journalEdit({1, 0, QStringLiteral("b")}));
    writer.flush();
    QVERIFY(writer.failed());
    QVERIFY(!QFile::exists(path));
}

// Another window must not take over a journal that is still being written,
// also across a restart, which puts a new file in its place.
void JournalWriterTest::inUseWhileItsWriterRuns()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("f.journal"));
    {
        JournalWriter writer(path, startWith(QStringLiteral("a")), std::chrono::hours(1));
        writer.flush();
        QVERIFY(tavrin::isJournalInUse(path));
        writer.restart(startWith(QStringLiteral("b")));
        writer.flush();
        QCOMPARE(replayedText(path), QStringLiteral("b"));
        QVERIFY(tavrin::isJournalInUse(path));
    }
    QVERIFY(!tavrin::isJournalInUse(path));
    QVERIFY(!tavrin::isJournalInUse(folder.filePath(QStringLiteral("missing.journal"))));
}

QTEST_GUILESS_MAIN(JournalWriterTest)
#include "journal_writer_test.moc"
