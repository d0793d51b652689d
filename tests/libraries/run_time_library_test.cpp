#include "libraries/run_time_library.h"

#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

using namespace tavrin;

class RunTimeLibraryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyFailureNamesTheLibraryAndTheRemedy_data();
    void everyFailureNamesTheLibraryAndTheRemedy();
    void theFirstFailureIsTheOneTold();
};

namespace {

const QString kRemedy = QStringLiteral("请安装 zlib1g。");

} // namespace

void RunTimeLibraryTest::everyFailureNamesTheLibraryAndTheRemedy_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QString>("told"); // empty: loaded, and the function taken
    const QString zlib = QStringLiteral("libz.so.1");
    QTest::newRow("there, with the function") << QStringList{zlib} << QByteArray("zlibVersion") << QString();
    QTest::newRow("the function in the second file")
        << QStringList{QStringLiteral("libdl.so.2"), zlib} << QByteArray("zlibVersion") << QString();
    QTest::newRow("no such library") << QStringList{QStringLiteral("libtavrin-absent.so.9")}
                                     << QByteArray("zlibVersion")
                                     << QStringLiteral("无法加载压缩库（libtavrin-absent.so.9）：");
    QTest::newRow("no file at a full path")
        << QStringList{QStringLiteral("/nonexistent/libz.so")} << QByteArray("zlibVersion")
        << QStringLiteral("找不到压缩库（/nonexistent/libz.so）。请安装 zlib1g。");
    QTest::newRow("a function it lacks") << QStringList{zlib} << QByteArray("tavrin_absent")
                                         << QStringLiteral(
                                                "压缩库（libz.so.1）缺少函数 tavrin_absent。请安装 zlib1g。");
}

void RunTimeLibraryTest::everyFailureNamesTheLibraryAndTheRemedy()
{
    QFETCH(QStringList, files);
    QFETCH(QByteArray, function);
    QFETCH(QString, told);
    RunTimeLibrary library({QStringLiteral("压缩库"), files, kRemedy});
    decltype(&::zlibVersion) taken = nullptr;
    library.take(function.constData(), taken);
    if (told.isEmpty()) {
        QVERIFY2(library.problem().isEmpty(), qPrintable(library.problem()));
        QVERIFY(taken);
        QCOMPARE(QString::fromLatin1(taken()), QString::fromLatin1(zlibVersion()));
        return;
    }
    QVERIFY(!taken);
    QVERIFY2(library.problem().startsWith(told), qPrintable(library.problem()));
    QVERIFY2(library.problem().endsWith(u'。' + kRemedy), qPrintable(library.problem()));
}

void RunTimeLibraryTest::theFirstFailureIsTheOneTold()
{
    // A file that is not a library at all: nothing after it is taken, and what is
    // told is why it would not open, not the functions it then lacked.
    QTemporaryDir folder;
    const QString notALibrary = folder.filePath(QStringLiteral("libtext.so"));
    QFile file(notALibrary);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a library") > 0);
    file.close();
    RunTimeLibrary library({QStringLiteral("压缩库"), {notALibrary, QStringLiteral("libz.so.1")}, kRemedy});
    decltype(&::zlibVersion) taken = nullptr;
    library.take("zlibVersion", taken);
    library.refuse(QStringLiteral("的版本不对"));
    QVERIFY(!taken);
    QVERIFY2(library.problem().startsWith(QStringLiteral("无法加载压缩库（%1）：").arg(notALibrary)),
             qPrintable(library.problem()));

    RunTimeLibrary refused({QStringLiteral("压缩库"), {QStringLiteral("libz.so.1")}, kRemedy});
    refused.refuse(QStringLiteral("的版本是 0.9，本程序需要 1.2"));
    refused.take("zlibVersion", taken);
    QCOMPARE(refused.problem(), QStringLiteral("压缩库（libz.so.1）的版本是 0.9，本程序需要 1.2。请安装 zlib1g。"));
}

QTEST_GUILESS_MAIN(RunTimeLibraryTest)
#include "run_time_library_test.moc"
