#include "encoding/gbk_codec.h"
#include "settings/draft_options.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;

Q_DECLARE_METATYPE(tavrin::DraftOptions)

namespace {

void writeSettings(const QString& folder, const QString& text)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Time.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(encodeGbk(text)); // the settings file is GBK, section names and all
}

DraftOptions options(const QString& model, const QString& language, bool punctuation, int threads,
                     bool toSimplified = false)
{
    return DraftOptions{model, language, punctuation, threads, toSimplified};
}

} // namespace

class DraftOptionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readAsStored_data();
    void readAsStored();
    void writtenAndReadBack();
    void threadsForTheRecogniser();
};

void DraftOptionsTest::readAsStored_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<DraftOptions>("expected");
    QTest::addColumn<int>("problems");
    const QString header = QStringLiteral("[时间]\nkey1=3\n[自动初稿]\n");
    QTest::newRow("no section: the defaults") << QStringLiteral("[时间]\nkey1=3\n") << DraftOptions{} << 0;
    QTest::newRow("all given") << header
            + QStringLiteral("modelFolder=/home/人/模型\nlanguage=yue\npunctuation=0\nthreads=3\ntoSimplified=1\n")
                               << options(QStringLiteral("/home/人/模型"), QStringLiteral("yue"), false, 3, true) << 0;
    QTest::newRow("damaged values read as defaults, each told")
        << header + QStringLiteral("language=klingon\npunctuation=yes\nthreads=-2\ntoSimplified=2\n") << DraftOptions{}
        << 4;
    QTest::newRow("too many threads") << header + QStringLiteral("threads=1000\n") << DraftOptions{} << 1;
    QTest::newRow("spaces around values") << header + QStringLiteral("modelFolder= /m \nlanguage= en \n")
                                          << options(QStringLiteral("/m"), QStringLiteral("en"), true, 0) << 0;
}

void DraftOptionsTest::readAsStored()
{
    QFETCH(QString, section);
    QFETCH(DraftOptions, expected);
    QFETCH(int, problems);
    TempFolder folder;
    writeSettings(folder.path(), section);
    const StoredDraftOptions stored = readDraftOptions(folder.path());
    QVERIFY(stored.options == expected);
    QCOMPARE(stored.problems.size(), problems);
}

void DraftOptionsTest::writtenAndReadBack()
{
    TempFolder folder;
    writeSettings(folder.path(), QStringLiteral("[时间]\nkey1=3\n"));
    const DraftOptions chosen = options(QStringLiteral("/opt/模型/sense-voice"), QStringLiteral("ja"), false, 2, true);
    writeDraftOptions(folder.path(), chosen);
    QVERIFY(readDraftOptions(folder.path()).options == chosen);
    // The step settings beside it stay.
    QVERIFY(TempFolder::read(QDir(folder.path()).filePath(QStringLiteral("Time.ini")))
                .startsWith("[\xCA\xB1\xBC\xE4]\nkey1=3"));
}

void DraftOptionsTest::threadsForTheRecogniser()
{
    QCOMPARE(draftThreads(0, 8), 7);
    QCOMPARE(draftThreads(0, 1), 1);
    QCOMPARE(draftThreads(0, 0), 1);
    QCOMPARE(draftThreads(3, 8), 3);
}

QTEST_APPLESS_MAIN(DraftOptionsTest)
#include "draft_options_test.moc"
