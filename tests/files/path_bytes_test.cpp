#include "files/dropped_files.h"
#include "files/file_memory.h"
#include "files/path_bytes.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;

namespace {

// "中文" in GBK, as a name unpacked from a Windows zip archive holds it.
const QByteArray kGbkName = "\xD6\xD0\xCE\xC4";

// Makes a file whose name has exactly these bytes, in `folder`.
QByteArray makeFile(const TempFolder& folder, const QByteArray& name, const QByteArray& content = "x")
{
    const QByteArray path = QFile::encodeName(folder.path()) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, content.constData(), size_t(content.size())) != content.size() || ::close(fd) != 0)
        qFatal("cannot make %s", path.constData());
    return path;
}

} // namespace

class PathBytesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytesComeBackAsTheyWere_data();
    void bytesComeBackAsTheyWere();
    void foreignNamesReachTheFileSystem();
    void toolkitNamesAreLookedUpAgain_data();
    void toolkitNamesAreLookedUpAgain();
    void droppedAndRememberedByTheirBytes();
};

void PathBytesTest::bytesComeBackAsTheyWere_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("foreign"); // holds bytes that are not UTF-8
    QTest::addColumn<QString>("shown");

    QTest::newRow("ASCII") << "/tmp/a b.wav"_ba << false << u"a b.wav"_s;
    QTest::newRow("UTF-8 Chinese") << u"/录音/会议 😀.mp3"_s.toUtf8() << false << u"会议 😀.mp3"_s;
    QTest::newRow("GBK from a zip archive") << "/x/" + kGbkName + ".wav" << true << u"中文.wav"_s;
    // CC B8 of 谈 is valid UTF-8 too (U+0338): the name reads as GBK as a whole.
    QTest::newRow("GBK that holds a UTF-8 pair") << "\xB7\xC3\xCC\xB8.wav"_ba << true << u"访谈.wav"_s;
    QTest::newRow("GBK beside UTF-8") << u"/录音/"_s.toUtf8() + kGbkName + u"-会议.wav"_s.toUtf8() << true
                                      << u"中文-会议.wav"_s;
    QTest::newRow("a lone continuation byte") << "a\x80z"_ba << true << QString();
    QTest::newRow("a surrogate written as UTF-8") << "\xED\xA0\x80"_ba << true << QString();
    QTest::newRow("an overlong slash") << "\xC0\xAF"_ba << true << QString();
    QTest::newRow("UTF-8 cut short at the end") << "\xE4\xB8"_ba << true << QString();
    QTest::newRow("0xFF") << "\xFF"_ba << true << QString();
}

// Every byte string is a name, and comes back byte for byte; valid UTF-8 reads as Qt reads it.
void PathBytesTest::bytesComeBackAsTheyWere()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, foreign);
    QFETCH(QString, shown);
    const QString path = tavrin::decodePath(bytes);
    QCOMPARE(tavrin::encodePath(path), bytes);
    QCOMPARE(tavrin::hasForeignBytes(path), foreign);
    if (!foreign)
        QCOMPARE(path, QString::fromUtf8(bytes));
    QCOMPARE(tavrin::encodePath(tavrin::pathFromArgument(tavrin::pathArgument(path).toUtf8())), bytes);
    QCOMPARE(tavrin::pathArgument(path).startsWith(u"file://"_s), foreign);
    const QUrl address =
        QUrl::fromEncoded("file://" + (bytes.startsWith('/') ? bytes : '/' + bytes).toPercentEncoding("/"));
    QCOMPARE(tavrin::encodePath(tavrin::pathFromUrl(address)), bytes.startsWith('/') ? bytes : '/' + bytes);
    if (!shown.isEmpty())
        QCOMPARE(tavrin::displayName(path), shown);
}

// The program's own file calls reach a file whose name is GBK; Qt's would not.
void PathBytesTest::foreignNamesReachTheFileSystem()
{
    TempFolder folder;
    const QByteArray bytes = makeFile(folder, kGbkName + ".wav");
    const QString path = tavrin::decodePath(bytes);
    QVERIFY(tavrin::isRegularFile(path));
    QVERIFY(tavrin::pathExists(path));
    QVERIFY(!tavrin::isFolder(path));
    QVERIFY(!QFileInfo::exists(QFile::decodeName(bytes))); // what Qt's decoding names is no file
}

void PathBytesTest::toolkitNamesAreLookedUpAgain_data()
{
    QTest::addColumn<QByteArrayList>("names"); // made in the folder; the first is the one chosen
    QTest::addColumn<bool>("found");

    QTest::newRow("a GBK name") << QByteArrayList{kGbkName + ".wav"} << true;
    QTest::newRow("a GBK folder and a GBK name") << QByteArrayList{kGbkName + "/" + kGbkName + ".txt"} << true;
    QTest::newRow("a UTF-8 name") << QByteArrayList{u"会议.wav"_s.toUtf8()} << true;
    // Both read as "\uFFFD\uFFFD.wav" to Qt: which one was meant cannot be told.
    QTest::newRow("two names Qt shows alike") << QByteArrayList{"\xD6\xD0.wav", "\xCE\xC4.wav"} << false;
}

// Qt's own file dialog shows (and returns) a GBK name with U+FFFD in place of its bytes;
// the name is found again in its folder when exactly one name there shows so.
void PathBytesTest::toolkitNamesAreLookedUpAgain()
{
    QFETCH(QByteArrayList, names);
    QFETCH(bool, found);
    TempFolder folder;
    for (const QByteArray& name : names) {
        if (name.contains('/'))
            QCOMPARE(::mkdir((QFile::encodeName(folder.path()) + '/' + name.left(name.indexOf('/'))).constData(), 0700),
                     0);
        makeFile(folder, name);
    }
    const QByteArray chosen = QFile::encodeName(folder.path()) + '/' + names.first();
    const QString shown = QString::fromUtf8(chosen); // as Qt decodes it
    const QString path = tavrin::pathFromToolkit(shown);
    QCOMPARE(tavrin::encodePath(path) == chosen, found);
    if (!found)
        QCOMPARE(path, shown);
}

// A drop gives the file's address; the memory of files keeps the name's own bytes,
// which JSON's text cannot hold.
void PathBytesTest::droppedAndRememberedByTheirBytes()
{
    TempFolder folder;
    const QByteArray recording = makeFile(folder, kGbkName + ".wav");
    const QByteArray transcript = makeFile(folder, kGbkName + ".wav.txt", "text");
    const tavrin::DroppedFile dropped =
        tavrin::decideDrop({QUrl::fromEncoded("file://" + transcript.toPercentEncoding("/"))});
    QCOMPARE(dropped.kind, tavrin::DroppedFile::Kind::Transcript);
    QCOMPARE(tavrin::encodePath(dropped.path), transcript);

    tavrin::FileMemory memory(folder.filePath(u"files.json"_s));
    memory.rememberPosition(tavrin::decodePath(recording), 4200);
    memory.rememberContent(dropped.path, tavrin::transcriptDigest("text"));
    // Another name that Qt would decode alike is another file.
    const QString other = tavrin::decodePath(makeFile(folder, "\xCE\xC4\xD6\xD0.wav"));
    QCOMPARE(tavrin::FileMemory(folder.filePath(u"files.json"_s)).positionMs(tavrin::decodePath(recording)),
             std::optional<qint64>(4200));
    QCOMPARE(memory.positionMs(other), std::nullopt);
    QVERIFY(memory.holdsWhatWasLastSeen(dropped.path));
}

QTEST_GUILESS_MAIN(PathBytesTest)
#include "path_bytes_test.moc"
