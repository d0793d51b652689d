#include "speech/model_folder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tavrin;
using Kind = RecognitionModel::Kind;

namespace {

QStringList names(QStringView spaced)
{
    return spaced.toString().split(u' ');
}

} // namespace

class ModelFolderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aModelIsKnownByItsFiles_data();
    void aModelIsKnownByItsFiles();
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
    for (const QString& file : files) {
        QFile made(QDir(folder).filePath(file));
        QVERIFY(made.open(QIODevice::WriteOnly) && made.write("x") == 1);
    }
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

QTEST_APPLESS_MAIN(ModelFolderTest)
#include "model_folder_test.moc"
