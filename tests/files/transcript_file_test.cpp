#include "files/transcript_file.h"
#include "files/unique_fd.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;

enum class Setup {
    Missing,
    Folder,
    Unreadable,
    OverSmallCapacity,
    SparseOverRealCapacity,
    Device,
    NamedPipe
};
Q_DECLARE_METATYPE(Setup)

class TranscriptFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transcriptLiesBesideTheRecording_data();
    void transcriptLiesBesideTheRecording();
    void saveWritesGbkWithCrLfAndReplaces();
    void savedTranscriptLoadsBack();
    void saveWithoutRecordingWritesNothing();
    void saveFailureThrows();
    void loadTakesAFileOfExactlyTheCapacity();
    void loadReadsFilesThatReportNoSize();
    void loadFailureSaysWhy_data();
    void loadFailureSaysWhy();
};

void TranscriptFileTest::transcriptLiesBesideTheRecording_data()
{
    QTest::addColumn<QString>("recording");
    QTest::addColumn<QString>("transcript");

    QTest::newRow("extension kept") << u"a.mp3"_s << u"a.mp3.txt"_s;
    QTest::newRow("chinese names") << u"/录音/会议.mp3"_s << u"/录音/会议.mp3.txt"_s;
    QTest::newRow("no extension") << u"/data/talk"_s << u"/data/talk.txt"_s;
}

void TranscriptFileTest::transcriptLiesBesideTheRecording()
{
    QFETCH(QString, recording);
    QFETCH(QString, transcript);

    QCOMPARE(tavrin::transcriptPathFor(recording), transcript);
}

void TranscriptFileTest::saveWritesGbkWithCrLfAndReplaces()
{
    TempFolder folder;
    const QString recording = folder.write(u"会议.mp3"_s, "not really audio");
    tavrin::saveTranscript(recording, u"中文\nabc"_s);
    const QString transcript = folder.filePath(u"会议.mp3.txt"_s);
    QCOMPARE(TempFolder::read(transcript).toHex(' '), QByteArray::fromHex("D6D0CEC40D0A616263").toHex(' '));

    tavrin::saveTranscript(recording, u"文"_s);
    QCOMPARE(TempFolder::read(transcript).toHex(' '), QByteArray::fromHex("CEC4").toHex(' '));

    tavrin::saveTranscript(recording, QString());
    bool exists = false;
    QCOMPARE(TempFolder::read(transcript, &exists), QByteArray());
    QVERIFY(exists);
    QCOMPARE(TempFolder::read(recording), "not really audio"_ba);
}

void TranscriptFileTest::savedTranscriptLoadsBack()
{
    TempFolder folder;
    const QString recording = folder.filePath(u"a.mp3"_s);
    const QString text = u"第一行\n\n-00:01:23- 😀 €\n"_s;
    tavrin::saveTranscript(recording, text);
    const tavrin::DecodedTranscript loaded = tavrin::loadTranscript(folder.filePath(u"a.mp3.txt"_s));
    QCOMPARE(loaded.text, text);
    QCOMPARE(loaded.encoding, tavrin::TranscriptEncoding::Gbk);
    QCOMPARE(loaded.unreadableBytes, 0);
}

void TranscriptFileTest::saveWithoutRecordingWritesNothing()
{
    TempFolder folder;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    bool threw = false;
    try {
        tavrin::saveTranscript(QString(), u"text"_s);
    } catch (const std::runtime_error&) {
        threw = true;
    }
    QDir::setCurrent(previous);
    QVERIFY(threw);
    QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TranscriptFileTest::saveFailureThrows()
{
    TempFolder folder;
    const QString recording = folder.filePath(u"gone/a.mp3"_s);
    QString message;
    try {
        tavrin::saveTranscript(recording, u"text"_s);
    } catch (const std::runtime_error& error) {
        message = QString::fromUtf8(error.what());
    }
    QCOMPARE(message, u"Cannot write file \"%1.txt\". No such file or directory"_s.arg(recording));
}

void TranscriptFileTest::loadTakesAFileOfExactlyTheCapacity()
{
    TempFolder folder;
    const QString path = folder.write(u"a.txt"_s, "0123456789");
    QCOMPARE(tavrin::loadTranscript(path, 10).text, u"0123456789"_s);
}

void TranscriptFileTest::loadReadsFilesThatReportNoSize()
{
    const QString text = tavrin::loadTranscript(u"/proc/self/status"_s).text;
    QVERIFY2(text.startsWith(u"Name:"_s), qPrintable(text.left(40)));
    QVERIFY(text.contains(u"\nPid:"_s));
}

void TranscriptFileTest::loadFailureSaysWhy_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("reason"); // empty: the capacity message

    QTest::newRow("missing") << Setup::Missing << u"No such file or directory"_s;
    QTest::newRow("folder") << Setup::Folder << u"Is a directory"_s;
    QTest::newRow("unreadable") << Setup::Unreadable << u"Permission denied"_s;
    QTest::newRow("one byte over a small capacity") << Setup::OverSmallCapacity << QString();
    QTest::newRow("sparse file over the real capacity") << Setup::SparseOverRealCapacity << QString();
    // Reading /dev/zero would never end, and a pipe may never give its end.
    QTest::newRow("a device") << Setup::Device << u"Not a regular file"_s;
    QTest::newRow("a named pipe with a writer that never ends") << Setup::NamedPipe << u"Not a regular file"_s;
}

void TranscriptFileTest::loadFailureSaysWhy()
{
    QFETCH(Setup, setup);
    QFETCH(QString, reason);

    TempFolder folder;
    QString path = folder.filePath(u"文稿.txt"_s);
    qint64 capacity = tavrin::kEditorCapacityBytes;
    tavrin::UniqueFd writer;
    switch (setup) {
    case Setup::Missing:
        break;
    case Setup::Folder:
        QVERIFY(QDir(folder.path()).mkdir(u"文稿.txt"_s));
        break;
    case Setup::Unreadable:
        if (::geteuid() == 0)
            QSKIP("Running as root, which permission bits do not stop");
        folder.write(u"文稿.txt"_s, "text");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0), 0);
        break;
    case Setup::OverSmallCapacity:
        folder.write(u"文稿.txt"_s, "01234567890");
        capacity = 10;
        break;
    case Setup::SparseOverRealCapacity: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(3) * 1024 * 1024 * 1024)); // sparse: costs no disk
        break;
    }
    case Setup::Device:
        path = u"/dev/zero"_s;
        break;
    case Setup::NamedPipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        writer.reset(::open(QFile::encodeName(path).constData(), O_RDWR)); // holds it open, writes nothing
        QVERIFY(writer.get() >= 0);
        break;
    }

    QString message;
    try {
        tavrin::loadTranscript(path, capacity);
    } catch (const std::runtime_error& error) {
        message = QString::fromUtf8(error.what());
    }
    QCOMPARE(message,
             reason.isEmpty() ? u"Text exceeds memo capacity"_s : u"Cannot open file \"%1\". %2"_s.arg(path, reason));
}

QTEST_GUILESS_MAIN(TranscriptFileTest)
#include "transcript_file_test.moc"
