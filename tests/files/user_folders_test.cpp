#include "files/user_folders.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <functional>

#include <sys/stat.h>

using tavrin::test::TempFolder;

class UserFoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsTheBaseDirectoryRules_data();
    void followsTheBaseDirectoryRules();
    void createsMissingFoldersPrivately();
    void aFileInTheWayIsNotAFolder();
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

QTEST_GUILESS_MAIN(UserFoldersTest)
#include "user_folders_test.moc"
