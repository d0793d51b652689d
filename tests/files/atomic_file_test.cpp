#include "files/atomic_file.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using tavrin::FileWriteFaults;
using tavrin::test::TempFolder;

enum class Failure {
    CreateRefused,
    NoSpaceMidway,
    SyncFails,
    RenameRefused,
    ParentIsFile,
    TargetIsFolder,
    ReadOnlyFolder,
    ReadOnlyFile
};
Q_DECLARE_METATYPE(Failure)

class AtomicFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createsAndReplacesTheWholeFile();
    void keepsPermissionBits();
    void writesThroughASymbolicLink();
    void completesShortAndInterruptedWrites();
    void savesUnderTheLongestPossibleName();
    void savesRacingEachOtherNeverMix();
    void failureLeavesTheOldFileAsItWas_data();
    void failureLeavesTheOldFileAsItWas();
};

static QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

static mode_t permissionBits(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

void AtomicFileTest::createsAndReplacesTheWholeFile()
{
    TempFolder folder;
    const QString path = folder.filePath(u"新.txt"_s);
    tavrin::writeFileAtomically(path, "first, the longer content");
    QCOMPARE(TempFolder::read(path), "first, the longer content"_ba);
    const mode_t umaskBits = ::umask(0);
    ::umask(umaskBits);
    QCOMPARE(permissionBits(path), mode_t(0666 & ~umaskBits));

    tavrin::writeFileAtomically(path, "second");
    QCOMPARE(TempFolder::read(path), "second"_ba);
    tavrin::writeFileAtomically(path, QByteArrayView());
    bool exists = false;
    QCOMPARE(TempFolder::read(path, &exists), QByteArray());
    QVERIFY(exists);
    QCOMPARE(entries(folder.path()), QStringList{u"新.txt"_s});
}

void AtomicFileTest::keepsPermissionBits()
{
    TempFolder folder;
    const QString path = folder.write(u"a.txt"_s, "old");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    tavrin::writeFileAtomically(path, "new");
    QCOMPARE(TempFolder::read(path), "new"_ba);
    QCOMPARE(permissionBits(path), mode_t(0640));
}

void AtomicFileTest::writesThroughASymbolicLink()
{
    TempFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(u"real"_s));
    const QString target = folder.write(u"real/a.txt"_s, "old");
    const QString link = folder.filePath(u"link.txt"_s);
    QCOMPARE(::symlink("real/a.txt", QFile::encodeName(link).constData()), 0);

    tavrin::writeFileAtomically(link, "new");
    QCOMPARE(TempFolder::read(target), "new"_ba);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(entries(folder.path()), (QStringList{u"link.txt"_s, u"real"_s}));
    QCOMPARE(entries(folder.filePath(u"real"_s)), QStringList{u"a.txt"_s});
}

void AtomicFileTest::completesShortAndInterruptedWrites()
{
    TempFolder folder;
    const QString path = folder.filePath(u"a.txt"_s);
    QByteArray content;
    for (int i = 0; i < 1000; ++i)
        content += QByteArray::number(i) + ' ';
    FileWriteFaults faults;
    faults.maxBytesPerWrite = 7;
    faults.interruptedWrites = 3;
    tavrin::writeFileAtomically(path, content, &faults);
    QCOMPARE(TempFolder::read(path), content);
}

void AtomicFileTest::savesUnderTheLongestPossibleName()
{
    TempFolder folder;
    const QString name = u"录"_s.repeated(85); // 255 bytes in UTF-8, the most a name may have
    const QString path = folder.filePath(name);
    tavrin::writeFileAtomically(path, "content");
    QCOMPARE(TempFolder::read(path), "content"_ba);
    QCOMPARE(entries(folder.path()), QStringList{name});
}

void AtomicFileTest::savesRacingEachOtherNeverMix()
{
    TempFolder folder;
    const QString path = folder.filePath(u"a.txt"_s);
    const auto saveRepeatedly = [&path](char c) {
        return QThread::create([&path, c] {
            for (int i = 0; i < 30; ++i)
                tavrin::writeFileAtomically(path, QByteArray(64 * 1024, c));
        });
    };
    std::unique_ptr<QThread> first(saveRepeatedly('a'));
    std::unique_ptr<QThread> second(saveRepeatedly('b'));
    first->start();
    second->start();
    QVERIFY(first->wait(QDeadlineTimer(60000)));
    QVERIFY(second->wait(QDeadlineTimer(60000)));
    const QByteArray result = TempFolder::read(path);
    QVERIFY(result == QByteArray(64 * 1024, 'a') || result == QByteArray(64 * 1024, 'b'));
    QCOMPARE(entries(folder.path()), QStringList{u"a.txt"_s});
}

void AtomicFileTest::failureLeavesTheOldFileAsItWas_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("reason");

    QTest::newRow("medium read-only") << Failure::CreateRefused << u"Read-only file system"_s;
    QTest::newRow("disk full midway") << Failure::NoSpaceMidway << u"No space left on device"_s;
    QTest::newRow("sync fails") << Failure::SyncFails << u"Input/output error"_s;
    QTest::newRow("rename refused") << Failure::RenameRefused << u"Operation not permitted"_s;
    QTest::newRow("folder is a plain file") << Failure::ParentIsFile << u"Not a directory"_s;
    QTest::newRow("target is a folder") << Failure::TargetIsFolder << u"Is a directory"_s;
    QTest::newRow("read-only folder") << Failure::ReadOnlyFolder << u"Permission denied"_s;
    QTest::newRow("read-only file") << Failure::ReadOnlyFile << u"Permission denied"_s;
}

void AtomicFileTest::failureLeavesTheOldFileAsItWas()
{
    QFETCH(Failure, failure);
    QFETCH(QString, reason);

    const bool permissionsBind = ::geteuid() != 0;
    if (!permissionsBind && (failure == Failure::ReadOnlyFolder || failure == Failure::ReadOnlyFile))
        QSKIP("Running as root, which permission bits do not stop; 'folder is a plain file' covers a real failure");

    TempFolder folder;
    const QByteArray old = "old content\r\n旧";
    QString path = folder.write(u"a.txt"_s, old);
    FileWriteFaults faults;
    switch (failure) {
    case Failure::CreateRefused:
        faults.createError = EROFS;
        break;
    case Failure::NoSpaceMidway:
        faults.failWriteAfterBytes = 5;
        break;
    case Failure::SyncFails:
        faults.fsyncError = EIO;
        break;
    case Failure::RenameRefused:
        faults.renameError = EPERM;
        break;
    case Failure::ParentIsFile:
        path += u"/b.txt"_s;
        break;
    case Failure::TargetIsFolder:
        QVERIFY(QDir(folder.path()).mkdir(u"sub"_s));
        path = folder.filePath(u"sub"_s);
        break;
    case Failure::ReadOnlyFolder:
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
        break;
    case Failure::ReadOnlyFile:
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0444), 0);
        break;
    }
    const QStringList before = entries(folder.path());

    QString message;
    try {
        tavrin::writeFileAtomically(path, QByteArray(100, 'x'), &faults);
    } catch (const std::runtime_error& error) {
        message = QString::fromUtf8(error.what());
    }
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);

    QCOMPARE(message, u"Cannot write file \"%1\". %2"_s.arg(path, reason));
    QCOMPARE(TempFolder::read(folder.filePath(u"a.txt"_s)), old);
    QCOMPARE(entries(folder.path()), before);
}

QTEST_GUILESS_MAIN(AtomicFileTest)
#include "atomic_file_test.moc"
