#include "speech/model_files.h"
#include "speech/model_folder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace tavrin;
using Kind = RecognitionModel::Kind;

namespace {

QStringList names(QStringView spaced)
{
    return spaced.toString().split(u' ');
}

// The smallest file whose top level reads as an ONNX model's: a version and an
// empty graph.
const QByteArray kOnnxLike = QByteArray::fromHex("08083a00");
const QByteArray kTokens = "<blk> 0\n\xe5\xa5\xbd 1\n\xe2\x96\x81the 2\n 3\n";

// What a model folder's file holds: an ONNX-like model, tokens, or anything.
QByteArray contentFor(const QString& name)
{
    if (name.endsWith(QLatin1String(".onnx")))
        return kOnnxLike;
    return name.endsWith(QLatin1String("tokens.txt")) ? kTokens : QByteArray("x");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class ModelFolderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aModelIsKnownByItsFiles_data();
    void aModelIsKnownByItsFiles();
    void whatTheEngineWouldChokeOnIsToldFirst_data();
    void whatTheEngineWouldChokeOnIsToldFirst();
};

void ModelFolderTest::aModelIsKnownByItsFiles_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("chosen"); // the model (or encoder) file taken; or a part of the problem told
    const QString senseVoice = QStringLiteral("sherpa-onnx-sense-voice-zh-en-ja-ko-yue-2024-07-17");
    QTest::newRow("SenseVoice, both precisions: the quantised one")
        << senseVoice << names(u"model.onnx model.int8.onnx tokens.txt") << true << int(Kind::SenseVoice)
        << QStringLiteral("model.int8.onnx");
    QTest::newRow("SenseVoice, full precision") << senseVoice << names(u"model.onnx tokens.txt") << true
                                                << int(Kind::SenseVoice) << QStringLiteral("model.onnx");
    QTest::newRow("Paraformer by its folder's name")
        << QStringLiteral("sherpa-onnx-paraformer-zh-2023-09-14") << names(u"model.int8.onnx tokens.txt") << true
        << int(Kind::Paraformer) << QStringLiteral("model.int8.onnx");
    QTest::newRow("Whisper") << QStringLiteral("sherpa-onnx-whisper-small")
                             << names(u"small-encoder.onnx small-encoder.int8.onnx small-decoder.onnx small-tokens.txt")
                             << true << int(Kind::Whisper) << QStringLiteral("small-encoder.int8.onnx");
    QTest::newRow("Whisper without its decoder")
        << QStringLiteral("whisper") << names(u"tiny-encoder.onnx tiny-tokens.txt") << false << 0
        << QStringLiteral("*-decoder.onnx");
    QTest::newRow("tokens missing") << senseVoice << names(u"model.onnx") << false << 0
                                    << QStringLiteral("缺少 tokens.txt");
    QTest::newRow("no model") << senseVoice << names(u"tokens.txt README.md") << false << 0
                              << QStringLiteral("缺少 model.onnx");
    QTest::newRow("not there") << QString() << names(u"") << false << 0 << QStringLiteral("找不到模型文件夹");
}

void ModelFolderTest::aModelIsKnownByItsFiles()
{
    QFETCH(QString, folderName);
    QFETCH(QStringList, files);
    QFETCH(bool, usable);
    QFETCH(int, kind);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    const QString folder = root.filePath(folderName.isEmpty() ? QStringLiteral("gone") : folderName);
    if (!folderName.isEmpty())
        QVERIFY(QDir().mkpath(folder));
    for (const QString& file : files)
        write(QDir(folder).filePath(file), contentFor(file));
    const ModelFolder found = inspectModelFolder(folder);
    QCOMPARE(found.usable, usable);
    if (!usable) {
        QVERIFY2(found.problem.contains(chosen), qPrintable(found.problem));
        return;
    }
    QCOMPARE(int(found.model.kind), kind);
    const QString taken = kind == int(Kind::Whisper) ? found.model.encoder : found.model.model;
    QCOMPARE(QFileInfo(taken).fileName(), chosen);
    QVERIFY(QFileInfo(found.model.tokens).isFile());
    if (kind == int(Kind::Whisper))
        QVERIFY(QFileInfo(found.model.decoder).isFile());
}

void ModelFolderTest::whatTheEngineWouldChokeOnIsToldFirst_data()
{
    QTest::addColumn<QString>("file"); // the file made hostile
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("told"); // empty: usable
    const QByteArray random = QByteArray::fromHex("d0a340e1952304468996dcfc93d1cc6f33ff00fe0a7f");
    QTest::newRow("tokens: random bytes") << QStringLiteral("tokens.txt") << QStringLiteral("file") << random
                                          << QStringLiteral("tokens.txt 不是 UTF-8 文本");
    QTest::newRow("tokens: text, but a line of three fields")
        << QStringLiteral("tokens.txt") << QStringLiteral("file") << QByteArray("a 0\nb c 1\n")
        << QStringLiteral("tokens.txt 第 2 行");
    QTest::newRow("tokens: a control character") << QStringLiteral("tokens.txt") << QStringLiteral("file")
                                                 << QByteArray("a 0\n\x1b[2J 1\n") << QStringLiteral("第 2 行");
    QTest::newRow("tokens: an id beyond 32 bits") << QStringLiteral("tokens.txt") << QStringLiteral("file")
                                                  << QByteArray("a 4294967296\n") << QStringLiteral("第 1 行");
    QTest::newRow("tokens: a blank line among them") << QStringLiteral("tokens.txt") << QStringLiteral("file")
                                                     << QByteArray("a 0\n\nb 1\n") << QStringLiteral("第 2 行");
    QTest::newRow("tokens: Windows line ends, tabs, blank lines at the end")
        << QStringLiteral("tokens.txt") << QStringLiteral("file") << QByteArray("a\t0\r\nb 1\r\n\r\n\n") << QString();
    QTest::newRow("tokens: empty") << QStringLiteral("tokens.txt") << QStringLiteral("file") << QByteArray()
                                   << QStringLiteral("tokens.txt 是空文件");
    QTest::newRow("tokens: larger than any model's")
        << QStringLiteral("tokens.txt") << QStringLiteral("large") << QByteArray() << QStringLiteral("超过 16 MB");
    QTest::newRow("tokens: a named pipe")
        << QStringLiteral("tokens.txt") << QStringLiteral("pipe") << QByteArray() << QStringLiteral("不是普通文件");
    QTest::newRow("tokens: a link") << QStringLiteral("tokens.txt") << QStringLiteral("link") << kTokens
                                    << QStringLiteral("不是普通文件");
    QTest::newRow("model: empty") << QStringLiteral("model.onnx") << QStringLiteral("file") << QByteArray()
                                  << QStringLiteral("model.onnx 是空文件");
    QTest::newRow("model: a web page") << QStringLiteral("model.onnx") << QStringLiteral("file")
                                       << QByteArray("<html>not a model</html>")
                                       << QStringLiteral("不完整，或者不是 ONNX 模型");
    QTest::newRow("model: cut short") << QStringLiteral("model.onnx") << QStringLiteral("file")
                                      << QByteArray::fromHex("08083a10") << QStringLiteral("不完整");
    QTest::newRow("model: no graph") << QStringLiteral("model.onnx") << QStringLiteral("file")
                                     << QByteArray::fromHex("0808") << QStringLiteral("不完整");
    QTest::newRow("model: a named pipe") << QStringLiteral("model.onnx") << QStringLiteral("pipe") << QByteArray()
                                         << QStringLiteral("model.onnx 不是普通文件");
    QTest::newRow("model: a link") << QStringLiteral("model.onnx") << QStringLiteral("link") << kOnnxLike
                                   << QStringLiteral("不是普通文件");
    QTest::newRow("model: larger than ONNX allows")
        << QStringLiteral("model.onnx") << QStringLiteral("large") << QByteArray() << QStringLiteral("超过 2 GB");
}

// The engine ends its process on a tokens line it cannot read, blocks on a named
// pipe and reads whatever it is given: the folder's files are checked first.
void ModelFolderTest::whatTheEngineWouldChokeOnIsToldFirst()
{
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    QTemporaryDir folder;
    write(folder.filePath(QStringLiteral("model.onnx")), kOnnxLike);
    write(folder.filePath(QStringLiteral("tokens.txt")), kTokens);
    const QString path = folder.filePath(file);
    QVERIFY(QFile::remove(path));
    if (kind == QLatin1String("file")) {
        write(path, bytes);
    } else if (kind == QLatin1String("large")) {
        write(path, contentFor(file));
        const qint64 most = file.endsWith(QLatin1String(".onnx")) ? kLargestModelBytes : kLargestTokensBytes;
        QVERIFY(QFile::resize(path, most + 1)); // sparse: no disk taken
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        write(folder.filePath(QStringLiteral("elsewhere")), bytes);
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("elsewhere")), path));
    }
    const ModelFolder found = inspectModelFolder(folder.path());
    QCOMPARE(found.usable, told.isEmpty());
    QVERIFY2(found.problem.contains(told), qPrintable(found.problem));
    if (!told.isEmpty())
        QVERIFY2(found.problem.startsWith(QStringLiteral("识别模型无法读取：")), qPrintable(found.problem));
}

QTEST_APPLESS_MAIN(ModelFolderTest)
#include "model_folder_test.moc"
