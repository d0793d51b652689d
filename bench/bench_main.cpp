// tavrin_bench keys <recording> <repetitions> [speech recording, drafted while keys are pressed]
// tavrin_bench text <transcript> <repetitions>
// tavrin_bench memory idle|recording|transcript|bare [file]
// tavrin_bench journal typing|soak|recovery <transcript> <keystrokes|edits|records>
// tavrin_bench sound <seconds of voice> <repetitions>
// tavrin_bench marks <keystrokes>
// tavrin_bench waveform <recording> <repetitions>
// tavrin_bench dropouts <recording> <seconds> idle|computing
// tavrin_bench draft <long speech recording> <short speech recording> [model folder]
// tavrin_bench passages <recording> <repetitions>
// tavrin_bench export <transcript> <repetitions>
// tavrin_bench video <recording with a picture> <seconds> (on an X display)
// Each figure is printed as a line of JSON; scripts/bench gathers them into a table.
#include "app/app_style.h"
#include "app/memory_tuning.h"

#include <QApplication>

#include <cstdio>

namespace tavrin::bench {
int runKeyLatency(const QString& recording, int repetitions, const QString& speech);
int runTextOperations(const QString& transcript, int repetitions);
int runMemory(const QString& mode, const QString& file);
int runJournalCost(const QString& part, const QString& transcript, int count);
int runListeningAidsCost(int seconds, int repetitions);
int runMarkTicksCost(int keystrokes);
int runWaveformCost(const QString& recording, int repetitions);
int runDropouts(const QString& recording, int seconds, bool computing);
int runDraftCost(const QString& longRecording, const QString& shortRecording, const QString& model);
int runPassageCost(const QString& recording, int repetitions);
int runExportCost(const QString& transcript, int repetitions);
int runVideoCost(const QString& recording, int seconds);
} // namespace tavrin::bench

int main(int argc, char* argv[])
{
    // The program's own memory set-up, so that its figures are the program's.
    tavrin::returnLargeBuffersToTheSystem();
    QApplication application(argc, argv);
    tavrin::installAppStyle(application);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.value(0);
    if (command == QStringLiteral("draft") && (arguments.size() == 3 || arguments.size() == 4))
        return tavrin::bench::runDraftCost(arguments[1], arguments[2], arguments.value(3));
    if (command == QStringLiteral("video") && arguments.size() == 3)
        return tavrin::bench::runVideoCost(arguments[1], arguments[2].toInt());
    if (command == QStringLiteral("export") && arguments.size() == 3)
        return tavrin::bench::runExportCost(arguments[1], arguments[2].toInt());
    if (command == QStringLiteral("passages") && arguments.size() == 3)
        return tavrin::bench::runPassageCost(arguments[1], arguments[2].toInt());
    if (command == QStringLiteral("keys") && (arguments.size() == 3 || arguments.size() == 4))
        return tavrin::bench::runKeyLatency(arguments[1], arguments[2].toInt(), arguments.value(3));
    if (command == QStringLiteral("text") && arguments.size() == 3)
        return tavrin::bench::runTextOperations(arguments[1], arguments[2].toInt());
    if (command == QStringLiteral("memory") && arguments.size() >= 2)
        return tavrin::bench::runMemory(arguments[1], arguments.value(2));
    if (command == QStringLiteral("journal") && arguments.size() == 4)
        return tavrin::bench::runJournalCost(arguments[1], arguments[2], arguments[3].toInt());
    if (command == QStringLiteral("sound") && arguments.size() == 3)
        return tavrin::bench::runListeningAidsCost(arguments[1].toInt(), arguments[2].toInt());
    if (command == QStringLiteral("marks") && arguments.size() == 2)
        return tavrin::bench::runMarkTicksCost(arguments[1].toInt());
    if (command == QStringLiteral("waveform") && arguments.size() == 3)
        return tavrin::bench::runWaveformCost(arguments[1], arguments[2].toInt());
    if (command == QStringLiteral("dropouts") && arguments.size() == 4)
        return tavrin::bench::runDropouts(arguments[1], arguments[2].toInt(),
                                          arguments[3] == QStringLiteral("computing"));
    std::fprintf(
        stderr,
        "usage: tavrin_bench keys|text|memory|journal|sound|marks|waveform|dropouts|draft|passages|export|video ...\n");
    return 2;
}
