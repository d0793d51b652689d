#include "files/atomic_file.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/xattr.h>
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
    void followsOnlyTheLinksItsRuleAllows_data();
    void followsOnlyTheLinksItsRuleAllows();
    void keepsExtendedAttributesAndTheAcl();
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

// Who owns what in a row of followsOnlyTheLinksItsRuleAllows: the user running the
// test, or another user (which only root can arrange).
enum class Owner {
    User,
    Other
};
Q_DECLARE_METATYPE(Owner)
Q_DECLARE_METATYPE(tavrin::LinkRule)

static constexpr uid_t kOtherUser = 65534; // nobody

static bool giveTo(const QString& path, Owner owner)
{
    return owner == Owner::User || ::lchown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser) == 0;
}

void AtomicFileTest::followsOnlyTheLinksItsRuleAllows_data()
{
    using tavrin::LinkRule;
    QTest::addColumn<LinkRule>("rule");
    QTest::addColumn<Owner>("linkOwner");
    QTest::addColumn<Owner>("fileOwner");
    QTest::addColumn<bool>("dangling");
    QTest::addColumn<QString>("linkFolderMode"); // "sticky": a folder like /tmp, owned by root
    QTest::addColumn<bool>("followed");
    const auto row = [](const char* name, LinkRule rule, Owner link, Owner file, bool dangling, const char* folder,
                        bool followed) {
        QTest::newRow(name) << rule << link << file << dangling << QString::fromLatin1(folder) << followed;
    };
    // clang-format off
    row("none: the user's own link", LinkRule::FollowNone, Owner::User, Owner::User, false, "", false);
    row("none: a link that leads nowhere", LinkRule::FollowNone, Owner::User, Owner::User, true, "", false);
    row("own: the user's own link to the user's file", LinkRule::FollowOwn, Owner::User, Owner::User, false, "", true);
    row("own: a link that leads nowhere", LinkRule::FollowOwn, Owner::User, Owner::User, true, "", false);
    row("own: another user's link", LinkRule::FollowOwn, Owner::Other, Owner::User, false, "", false);
    row("own: the user's link to another user's file", LinkRule::FollowOwn, Owner::User, Owner::Other, false, "", false);
    row("named: the user's own link", LinkRule::FollowNamed, Owner::User, Owner::User, false, "", true);
    row("named: a link that leads nowhere", LinkRule::FollowNamed, Owner::User, Owner::User, true, "", false);
    row("named: another user's link in an ordinary folder", LinkRule::FollowNamed, Owner::Other, Owner::User, false, "", true);
    row("named: another user's link in a sticky shared folder", LinkRule::FollowNamed, Owner::Other, Owner::User, false, "sticky", false);
    row("named: the user's own link in a sticky shared folder", LinkRule::FollowNamed, Owner::User, Owner::User, false, "sticky", true);
    // clang-format on
}

// A link at the path written is followed only as the caller's rule allows; a refused
// one throws LinkRefused, and the link, the file it points to and the folders stay.
void AtomicFileTest::followsOnlyTheLinksItsRuleAllows()
{
    QFETCH(tavrin::LinkRule, rule);
    QFETCH(Owner, linkOwner);
    QFETCH(Owner, fileOwner);
    QFETCH(bool, dangling);
    QFETCH(QString, linkFolderMode);
    QFETCH(bool, followed);
    if ((linkOwner == Owner::Other || fileOwner == Owner::Other) && ::geteuid() != 0)
        QSKIP("Only root can give a file to another user");

    TempFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(u"links"_s));
    QVERIFY(QDir(folder.path()).mkdir(u"real"_s));
    const QString links = folder.filePath(u"links"_s);
    if (linkFolderMode == u"sticky"_s)
        QCOMPARE(::chmod(QFile::encodeName(links).constData(), 01777), 0);
    const QString target = folder.filePath(u"real/a.txt"_s);
    if (!dangling) {
        TempFolder::writeAt(target, "old");
        QVERIFY(giveTo(target, fileOwner));
    }
    const QString link = folder.filePath(u"links/link.txt"_s);
    QCOMPARE(::symlink("../real/a.txt", QFile::encodeName(link).constData()), 0);
    QVERIFY(giveTo(link, linkOwner));

    QString refusal;
    try {
        tavrin::writeFileAtomically(link, "new", rule);
    } catch (const tavrin::LinkRefused& refused) {
        refusal = QString::fromUtf8(refused.what());
    }
    QCOMPARE(refusal.isEmpty(), followed);
    if (!followed)
        QVERIFY2(refusal.contains(link) && refusal.contains(u"符号链接"_s), qPrintable(refusal));
    bool exists = false;
    QCOMPARE(TempFolder::read(target, &exists), followed ? "new"_ba : dangling ? QByteArray() : "old"_ba);
    QCOMPARE(exists, !dangling || followed);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(entries(links), QStringList{u"link.txt"_s});
    QCOMPARE(entries(folder.filePath(u"real"_s)), dangling && !followed ? QStringList() : QStringList{u"a.txt"_s});
}

// Where user attributes can be kept: the test folder, else one beside the test
// program; empty when neither's file system holds them.
static QString folderHoldingUserAttributes(const TempFolder& folder, std::unique_ptr<QTemporaryDir>& other)
{
    const auto holds = [](const QString& where) {
        const QString probe = QDir(where).filePath(u"probe"_s);
        TempFolder::writeAt(probe, "");
        const bool held = ::setxattr(QFile::encodeName(probe).constData(), "user.probe", "1", 1, 0) == 0;
        QFile::remove(probe);
        return held;
    };
    if (holds(folder.path()))
        return folder.path();
    other = std::make_unique<QTemporaryDir>(QCoreApplication::applicationDirPath() + u"/xattr-XXXXXX"_s);
    return other->isValid() && holds(other->path()) ? other->path() : QString();
}

static QByteArray toolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

// A colleague given access to a shared transcript through its ACL keeps it, and
// so do the file's own user attributes (a file manager's tags, say).
void AtomicFileTest::keepsExtendedAttributesAndTheAcl()
{
    TempFolder folder;
    std::unique_ptr<QTemporaryDir> other;
    const QString where = folderHoldingUserAttributes(folder, other);
    if (where.isEmpty())
        QSKIP("Neither the temporary folder's file system nor the build folder's holds user attributes");
    const QString path = QDir(where).filePath(u"共享.txt"_s);
    TempFolder::writeAt(path, "old");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    toolOutput(u"setfattr"_s, {u"-n"_s, u"user.xdg.tags"_s, u"-v"_s, u"访谈"_s, path});
    toolOutput(u"setfacl"_s, {u"-m"_s, u"u:nobody:rw"_s, path});
    const QByteArray aclBefore = toolOutput(u"getfacl"_s, {u"-c"_s, path});
    QVERIFY2(aclBefore.contains("user:nobody:rw-"), aclBefore.constData());

    tavrin::writeFileAtomically(path, "new");

    QCOMPARE(TempFolder::read(path), "new"_ba);
    QCOMPARE(toolOutput(u"getfacl"_s, {u"-c"_s, path}), aclBefore);
    QCOMPARE(toolOutput(u"getfattr"_s, {u"--only-values"_s, u"-n"_s, u"user.xdg.tags"_s, path}), u"访谈"_s.toUtf8());
    // The mode as it was, the group's bits being the ACL's mask.
    QCOMPARE(permissionBits(path), mode_t(0660));
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
    tavrin::writeFileAtomically(path, content, tavrin::LinkRule::FollowNone, &faults);
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
        tavrin::writeFileAtomically(path, QByteArray(100, 'x'), tavrin::LinkRule::FollowNone, &faults);
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
