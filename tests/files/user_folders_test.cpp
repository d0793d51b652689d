#include "files/user_folders.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using tavrin::test::TempFolder;

class UserFoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsTheBaseDirectoryRules_data();
    void followsTheBaseDirectoryRules();
    void createsMissingFoldersPrivately();
    void aFileInTheWayIsNotAFolder();
    void aFolderOthersMayWriteToIsNotUsed_data();
    void aFolderOthersMayWriteToIsNotUsed();
};

using FolderOf = std::function<QString()>;
Q_DECLARE_METATYPE(FolderOf)

void UserFoldersTest::followsTheBaseDirectoryRules_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<FolderOf>("folderOf");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected"); // "~" stands for the home folder
    const FolderOf state = tavrin::stateFolder, cache = tavrin::cacheFolder, config = tavrin::configFolder;
    // clang-format off
    QTest::newRow("state set") << QByteArray("XDG_STATE_HOME") << state << QByteArray("/x/state") << "/x/state/tavrin";
    QTest::newRow("state unset") << QByteArray("XDG_STATE_HOME") << state << QByteArray() << "~/.local/state/tavrin";
    QTest::newRow("state relative") << QByteArray("XDG_STATE_HOME") << state << QByteArray("rel") << "~/.local/state/tavrin";
    QTest::newRow("cache set, trailing slash") << QByteArray("XDG_CACHE_HOME") << cache << QByteArray("/c/") << "/c/tavrin";
    QTest::newRow("cache unset") << QByteArray("XDG_CACHE_HOME") << cache << QByteArray() << "~/.cache/tavrin";
    QTest::newRow("config set") << QByteArray("XDG_CONFIG_HOME") << config << QByteArray("/k") << "/k/tavrin";
    QTest::newRow("config empty") << QByteArray("XDG_CONFIG_HOME") << config << QByteArray("") << "~/.config/tavrin";
    // clang-format on
}

void UserFoldersTest::followsTheBaseDirectoryRules()
{
    QFETCH(QByteArray, variable);
    QFETCH(FolderOf, folderOf);
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv(variable.constData());
    const bool wasSet = qEnvironmentVariableIsSet(variable.constData());
    if (value.isNull())
        qunsetenv(variable.constData());
    else
        qputenv(variable.constData(), value);
    const QString folder = folderOf();
    if (wasSet)
        qputenv(variable.constData(), saved);
    else
        qunsetenv(variable.constData());
    QCOMPARE(folder, QString(expected).replace(u'~', QDir::homePath()));
}

void UserFoldersTest::createsMissingFoldersPrivately()
{
    TempFolder home;
    const QString folder = home.filePath(QStringLiteral("a/b/tavrin"));
    QVERIFY(tavrin::ensureUserFolder(folder));
    QVERIFY(QFileInfo(folder).isDir());
    for (const QString& made : {home.filePath(QStringLiteral("a")), folder}) {
        struct stat status { };
        QCOMPARE(::stat(QFile::encodeName(made).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));
    }
    QVERIFY(tavrin::ensureUserFolder(folder)); // already there
}

void UserFoldersTest::aFileInTheWayIsNotAFolder()
{
    TempFolder home;
    home.write(QStringLiteral("state"), "not a folder");
    QVERIFY(!tavrin::ensureUserFolder(home.filePath(QStringLiteral("state/tavrin"))));
}

void UserFoldersTest::aFolderOthersMayWriteToIsNotUsed_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("someoneElses");
    QTest::addColumn<int>("parentMode");
    QTest::addColumn<bool>("used");
    QTest::addColumn<bool>("madeBeside"); // a missing folder beside it is made
    QTest::addColumn<QString>("blamed");  // the folder unsafeFolderFor names: "", "tavrin" or its parent, "home"

    QTest::newRow("the user's alone") << 0700 << false << 0700 << true << true << "";
    QTest::newRow("others may read") << 0755 << false << 0755 << true << true << "";
    QTest::newRow("the group may write") << 0770 << false << 0700 << false << true << "tavrin";
    QTest::newRow("anyone may write") << 0777 << false << 0700 << false << true << "tavrin";
    QTest::newRow("shared like /tmp") << 01777 << false << 0700 << false << true << "tavrin";
    QTest::newRow("someone else's") << 0700 << true << 0700 << false << true << "tavrin";
    QTest::newRow("in a folder anyone may write to") << 0700 << false << 0777 << false << false << "home";
    QTest::newRow("in a sticky folder like /tmp") << 0700 << false << 01777 << true << true << "";
}

// Anyone who may write to the state folder could plant links or files among the
// program's own; such a folder, or another user's, is not used.
void UserFoldersTest::aFolderOthersMayWriteToIsNotUsed()
{
    QFETCH(int, mode);
    QFETCH(bool, someoneElses);
    QFETCH(int, parentMode);
    QFETCH(bool, used);
    QFETCH(bool, madeBeside);
    QFETCH(QString, blamed);
    if (someoneElses && ::geteuid() != 0)
        QSKIP("Only root can give a folder to another user");
    TempFolder home;
    const QString folder = home.filePath(QStringLiteral("tavrin"));
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("tavrin")));
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode_t(mode)), 0);
    if (someoneElses)
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(QFile::encodeName(home.path()).constData(), mode_t(parentMode)), 0);
    const bool isPrivate = tavrin::isPrivateFolder(folder);
    const bool ensured = tavrin::ensureUserFolder(folder);
    const QString beside = home.filePath(QStringLiteral("beside"));
    const bool besideEnsured = tavrin::ensureUserFolder(beside);
    const QString blamedFolder = tavrin::unsafeFolderFor(folder);
    const QString blamedForBeside = tavrin::unsafeFolderFor(beside);
    ::chmod(QFile::encodeName(home.path()).constData(), 0700);
    const QString expected = blamed.isEmpty() ? QString() : blamed == QStringLiteral("home") ? home.path() : folder;
    QCOMPARE(blamedFolder, expected);
    QCOMPARE(blamedForBeside, blamed == QStringLiteral("home") ? home.path() : QString());
    QCOMPARE(isPrivate, used);
    QCOMPARE(ensured, used);
    QCOMPARE(besideEnsured, madeBeside);
    QCOMPARE(QFileInfo::exists(beside), madeBeside);
}

QTEST_GUILESS_MAIN(UserFoldersTest)
#include "user_folders_test.moc"
