#include "speech/model_folder.h"

#include "speech/model_files.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace {

ModelFolder refused(const QString& problem)
{
    ModelFolder folder;
    folder.problem = problem;
    return folder;
}

// The first of `names` that is there in `folder`, of whatever kind (what it is,
// is checked after); empty: none.
QString firstFile(const QDir& folder, const QStringList& names)
{
    for (const QString& name : names) {
        const QFileInfo file(folder.filePath(name));
        if ((file.exists() || file.isSymLink()) && !file.isDir())
            return file.filePath();
    }
    return {};
}

// The first entry matching the patterns, taken in their order; empty: none.
// Whisper's files carry the model's name in front: tiny-encoder.onnx and the like.
QString firstMatching(const QDir& folder, const QStringList& patterns)
{
    for (const QString& pattern : patterns) {
        const QStringList found = folder.entryList({pattern}, QDir::Files | QDir::System, QDir::Name);
        if (!found.isEmpty())
            return folder.filePath(found.first());
    }
    return {};
}

// The files found, checked before the engine reads them.
ModelFolder checked(ModelFolder found)
{
    QString problem;
    for (const QString& model : {found.model.model, found.model.encoder, found.model.decoder}) {
        if (problem.isEmpty() && !model.isEmpty())
            problem = onnxModelProblem(model, Links::Refused);
    }
    if (problem.isEmpty())
        problem = tokensFileProblem(found.model.tokens);
    if (!problem.isEmpty())
        return refused(QStringLiteral("识别模型无法读取：") + problem);
    found.usable = true;
    return found;
}

// The quantised one first, as with the other kinds.
QStringList eitherPrecision(const QString& stem)
{
    return {QStringLiteral("*%1.int8.onnx").arg(stem), QStringLiteral("*%1.onnx").arg(stem)};
}

ModelFolder whisper(const QDir& folder)
{
    ModelFolder found;
    found.model.kind = RecognitionModel::Kind::Whisper;
    found.model.encoder = firstMatching(folder, eitherPrecision(QStringLiteral("-encoder")));
    found.model.decoder = firstMatching(folder, eitherPrecision(QStringLiteral("-decoder")));
    found.model.tokens = firstMatching(folder, {QStringLiteral("*-tokens.txt")});
    const QString missing = found.model.decoder.isEmpty() ? QStringLiteral("*-decoder.onnx")
        : found.model.tokens.isEmpty()                    ? QStringLiteral("*-tokens.txt")
                                                          : QString();
    if (!missing.isEmpty())
        return refused(
            QStringLiteral("模型文件夹中缺少 %1（Whisper 模型需要编码器、解码器和 tokens 文件）。").arg(missing));
    return checked(found);
}

} // namespace

ModelFolder inspectModelFolder(const QString& path)
{
    const QDir folder(path);
    if (path.isEmpty() || !folder.exists())
        return refused(QStringLiteral("找不到模型文件夹：%1").arg(QDir::toNativeSeparators(path)));
    if (!QFileInfo(path).isReadable())
        return refused(QStringLiteral("无法读取模型文件夹：%1").arg(QDir::toNativeSeparators(path)));
    if (!firstMatching(folder, eitherPrecision(QStringLiteral("-encoder"))).isEmpty())
        return whisper(folder);

    ModelFolder found;
    found.model.model = firstFile(folder, {QStringLiteral("model.int8.onnx"), QStringLiteral("model.onnx")});
    found.model.tokens = firstFile(folder, {QStringLiteral("tokens.txt")});
    if (found.model.model.isEmpty())
        return refused(QStringLiteral("模型文件夹中缺少 model.onnx 或 model.int8.onnx。"));
    if (found.model.tokens.isEmpty())
        return refused(QStringLiteral("模型文件夹中缺少 tokens.txt。"));
    found.model.kind = folder.dirName().contains(QLatin1String("paraformer"), Qt::CaseInsensitive)
        ? RecognitionModel::Kind::Paraformer
        : RecognitionModel::Kind::SenseVoice;
    return checked(found);
}

} // namespace tavrin
