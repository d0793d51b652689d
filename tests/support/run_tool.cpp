#include "run_tool.h"

#include <QProcess>

namespace tavrin::test {

void runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        qFatal("cannot start %s: install it (scripts/setup lists it)", qPrintable(program));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
}

void writeSenseVoiceLikeModel(const QString& folder, bool int8, const QString& word)
{
    QStringList arguments{QStringLiteral(TAVRIN_MAKE_SENSE_VOICE_LIKE), folder, QStringLiteral("--word"), word};
    if (int8)
        arguments << QStringLiteral("--int8");
    runTool(QStringLiteral("/usr/bin/python3"), arguments);
}

} // namespace tavrin::test
