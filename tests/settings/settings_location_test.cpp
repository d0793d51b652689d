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

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "settings_location_test.moc"
