#include "settings/settings_location.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QtTest>

using tavrin::test::TempFolder;

class SettingsLocationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheFileInAnyLetterCase_data();
    void findsTheFileInAnyLetterCase();
    void aFolderNamedLikeTheFileDoesNotCount();
    void newFileIsNamedTimeIni();
    void installedSettingsMoveToTheUser_data();
    void installedSettingsMoveToTheUser();
};

void SettingsLocationTest::findsTheFileInAnyLetterCase_data()
{
    QTest::addColumn<QString>("present");
    QTest::addColumn<bool>("found");
    QTest::newRow("Time.ini") << "Time.ini" << true;
    QTest::newRow("time.ini") << "time.ini" << true;
    QTest::newRow("TIME.INI") << "TIME.INI" << true;
    QTest::newRow("tImE.iNi") << "tImE.iNi" << true;
    QTest::newRow("Time.ini.bak") << "Time.ini.bak" << false;
    QTest::newRow("Time.in") << "Time.in" << false;
    QTest::newRow("nothing") << "" << false;
}

void SettingsLocationTest::findsTheFileInAnyLetterCase()
{
    QFETCH(QString, present);
    QFETCH(bool, found);
    TempFolder folder;
    if (!present.isEmpty())
        folder.write(present, "[x]\r\n");
    const QString result = tavrin::findSettingsFile(folder.path());
    QCOMPARE(result.isEmpty(), !found);
    if (found)
        QCOMPARE(QFileInfo(result).fileName(), present);
}

void SettingsLocationTest::aFolderNamedLikeTheFileDoesNotCount()
{
    TempFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("time.ini")));
    QVERIFY(tavrin::findSettingsFile(folder.path()).isEmpty());
}

void SettingsLocationTest::newFileIsNamedTimeIni()
{
    TempFolder folder;
    QCOMPARE(tavrin::settingsFilePath(folder.path()), QDir(folder.path()).filePath(QStringLiteral("Time.ini")));
    folder.write(QStringLiteral("TIME.INI"), "");
    QCOMPARE(tavrin::settingsFilePath(folder.path()), QDir(folder.path()).filePath(QStringLiteral("TIME.INI")));
}

void SettingsLocationTest::installedSettingsMoveToTheUser_data()
{
    QTest::addColumn<bool>("programFolderWritable");
    QTest::addColumn<QByteArray>("installed"); // beside the executable; empty: none
    QTest::addColumn<QByteArray>("users");     // in the user's folder; empty: none
    QTest::addColumn<bool>("usesUsersFolder");
    QTest::addColumn<QByteArray>("usersAfter");

    const QByteArray shipped = "[x]\r\nshijian2=3\r\n";
    const QByteArray own = "[x]\r\nshijian2=7\r\n";
    // clang-format off
    QTest::newRow("portable: beside the executable") << true << shipped << own << false << own;
    QTest::newRow("portable, none yet: still beside it") << true << QByteArray() << QByteArray() << false << QByteArray();
    QTest::newRow("installed, first start: a copy") << false << shipped << QByteArray() << true << shipped;
    QTest::newRow("installed, later: the user's own stays") << false << shipped << own << true << own;
    QTest::newRow("installed without a file: the user's alone") << false << QByteArray() << own << true << own;
    QTest::newRow("installed, neither: nothing made") << false << QByteArray() << QByteArray() << true << QByteArray();
    // clang-format on
}

void SettingsLocationTest::installedSettingsMoveToTheUser()
{
    QFETCH(bool, programFolderWritable);
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, users);
    QFETCH(bool, usesUsersFolder);
    QFETCH(QByteArray, usersAfter);
    TempFolder program;
    TempFolder config;
    const QString user = config.filePath(QStringLiteral("tavrin"));
    if (!installed.isEmpty())
        program.write(QStringLiteral("Time.ini"), installed);
    if (!users.isEmpty() && QDir().mkpath(user))
        TempFolder::writeAt(QDir(user).filePath(QStringLiteral("Time.ini")), users);
    const auto writable = [&](const QString& folder) { return folder == program.path() && programFolderWritable; };

    const tavrin::SettingsPlace place = tavrin::chooseSettingsPlace(program.path(), user, writable);
    QCOMPARE(place.folder, usesUsersFolder ? user : program.path());
    QCOMPARE(place.searched.size(), usesUsersFolder ? 2 : 1);
    QCOMPARE(place.copied, users.isEmpty() && !usersAfter.isEmpty());
    bool exists = false;
    const QByteArray after = TempFolder::read(QDir(user).filePath(QStringLiteral("Time.ini")), &exists);
    QCOMPARE(exists, !usersAfter.isEmpty());
    QCOMPARE(after, usersAfter);
    QCOMPARE(TempFolder::read(program.filePath(QStringLiteral("Time.ini"))), installed); // never touched
}

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "settings_location_test.moc"
