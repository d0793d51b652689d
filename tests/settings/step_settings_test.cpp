#include "settings/step_settings.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;

namespace {
// 时间 in GBK.
const QByteArray kSection = QByteArray("[\xCA\xB1\xBC\xE4]");
} // namespace

class StepSettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reading_data();
    void reading();
    void readingSeesEveryChange();
    void writing_data();
    void writing();
    void writeFailureNamesTheFile();
};

void StepSettingsTest::reading_data()
{
    QTest::addColumn<QString>("fileName"); // empty: no file
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QByteArray shipped = kSection + "\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n";
    // clang-format off
    QTest::newRow("shipped F9") << "Time.ini" << shipped << "shijian2" << "3";
    QTest::newRow("shipped F12") << "Time.ini" << shipped << "shijian1" << "5";
    QTest::newRow("other letter case of file and key")
        << "TIME.INI" << QByteArray(kSection + "\nSHIJIAN2=-3\n") << "shijian2" << "-3";
    QTest::newRow("no file") << QString() << QByteArray() << "shijian2" << "shijian2";
    QTest::newRow("empty file") << "Time.ini" << QByteArray() << "shijian1" << "shijian1";
    QTest::newRow("no section") << "Time.ini" << QByteArray("[other]\r\nshijian2=3\r\n") << "shijian2" << "shijian2";
    QTest::newRow("no key") << "Time.ini" << QByteArray(kSection + "\r\nshijian2=3\r\n") << "shijian1" << "shijian1";
    QTest::newRow("empty value") << "Time.ini" << QByteArray(kSection + "\r\nshijian2=\r\n") << "shijian2" << "";
    QTest::newRow("GBK value") << "Time.ini" << QByteArray(kSection + "\r\nshijian2=\xCE\xE5\r\n") << "shijian2"
                               << QStringLiteral("五");
    QTest::newRow("binary file") << "Time.ini" << QByteArray("\x00\xFF\xFE[\x01", 5) << "shijian2" << "shijian2";
    QTest::newRow("section repeated: the first wins")
        << "Time.ini" << QByteArray(kSection + "\r\nshijian2=4\r\n" + kSection + "\r\nshijian2=9\r\n") << "shijian2"
        << "4";
    QTest::newRow("section repeated: the second is not read")
        << "Time.ini" << QByteArray(kSection + "\r\nshijian1=5\r\n" + kSection + "\r\nshijian2=9\r\n") << "shijian2"
        << "shijian2";
    QTest::newRow("huge file") << "Time.ini" << QByteArray(kSection + "\r\nshijian2=3\r\n" + QByteArray(2 << 20, ';'))
                               << "shijian2" << "shijian2";
    // clang-format on
}

void StepSettingsTest::reading()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TempFolder folder;
    if (!fileName.isEmpty())
        folder.write(fileName, content);
    QCOMPARE(readStepSetting(folder.path(), key), value);
}

void StepSettingsTest::readingSeesEveryChange()
{
    TempFolder folder;
    folder.write(QStringLiteral("Time.ini"), kSection + "\r\nshijian2=3\r\n");
    QCOMPARE(readStepSetting(folder.path(), kStepBackKey), QStringLiteral("3"));
    folder.write(QStringLiteral("Time.ini"), kSection + "\r\nshijian2=7\r\n"); // another program's change
    QCOMPARE(readStepSetting(folder.path(), kStepBackKey), QStringLiteral("7"));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("Time.ini"))));
    QCOMPARE(readStepSetting(folder.path(), kStepBackKey), QStringLiteral("shijian2"));
}

void StepSettingsTest::writing_data()
{
    QTest::addColumn<QString>("fileName"); // empty: no file yet
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after"); // shijian2 := 4, shijian3 := shijian3, shijian1 := " 6"
    // clang-format off
    QTest::newRow("shipped file, replaced in place")
        << "Time.ini" << QByteArray(kSection + "\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n")
        << QByteArray(kSection + "\r\nshijian1= 6\r\nshijian2=4\r\nshijian3=shijian3\r\n");
    QTest::newRow("no file: created in the order written")
        << QString() << QByteArray()
        << QByteArray(kSection + "\r\nshijian2=4\r\nshijian3=shijian3\r\nshijian1= 6\r\n");
    QTest::newRow("LF file with foreign sections and comments")
        << "time.ini"
        << QByteArray("; made by hand\n[Window]\nleft=10\n" + kSection + "\nSHIJIAN2=3\n\n; end\n[more]\nx=1")
        << QByteArray("; made by hand\n[Window]\nleft=10\n" + kSection
                      + "\nSHIJIAN2=4\nshijian3=shijian3\nshijian1= 6\n\n; end\n[more]\nx=1");
    QTest::newRow("section missing: appended at the end")
        << "Time.ini" << QByteArray("[other]\r\nk=v")
        << QByteArray("[other]\r\nk=v\r\n" + kSection + "\r\nshijian2=4\r\nshijian3=shijian3\r\nshijian1= 6\r\n");
    // clang-format on
}

void StepSettingsTest::writing()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TempFolder folder;
    if (!fileName.isEmpty())
        folder.write(fileName, before);
    writeStepSetting(folder.path(), kStepBackKey, u"4");
    writeStepSetting(folder.path(), kSpareStepKey, u"shijian3");
    writeStepSetting(folder.path(), kStepForwardKey, u" 6");
    const QString written = fileName.isEmpty() ? QStringLiteral("Time.ini") : fileName;
    QCOMPARE(TempFolder::read(folder.filePath(written)), after);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{written});
}

void StepSettingsTest::writeFailureNamesTheFile()
{
    TempFolder folder;
    // A folder where the file should be: no file of that name can be written.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Time.ini")));
    const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("Time.ini"));
    try {
        writeStepSetting(folder.path(), kStepBackKey, u"4");
        QFAIL("the write did not fail");
    } catch (const std::runtime_error& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Unable to write to ") + path);
    }
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_GUILESS_MAIN(StepSettingsTest)
#include "step_settings_test.moc"
