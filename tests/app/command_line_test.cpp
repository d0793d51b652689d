#include "app/command_line.h"

#include <QtTest>

using tavrin::CommandLine;
using Action = tavrin::CommandLine::Action;
using namespace Qt::StringLiterals;

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arguments_data();
    void arguments();
    void exportArguments_data();
    void exportArguments();
};

void CommandLineTest::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("recording");
    QTest::addColumn<QString>("transcript");

    // clang-format off
    QTest::newRow("nothing") << QStringList() << Action::Run << QString() << QString();
    QTest::newRow("a recording, relative") << QStringList{u"会议.mp3"_s} << Action::Run << u"/work/会议.mp3"_s << QString();
    QTest::newRow("a transcript alone") << QStringList{u"notes.TXT"_s} << Action::Run << QString() << u"/work/notes.TXT"_s;
    QTest::newRow("both") << QStringList{u"/a/b.wav"_s, u"c.txt"_s} << Action::Run << u"/a/b.wav"_s << u"/work/c.txt"_s;
    QTest::newRow("second is the transcript, whatever its name") << QStringList{u"a.wav"_s, u"b.doc"_s} << Action::Run
        << u"/work/a.wav"_s << u"/work/b.doc"_s;
    QTest::newRow("a file manager's address") << QStringList{u"file:///tmp/%E5%BD%95%E9%9F%B3.m4a"_s} << Action::Run
        << u"/tmp/录音.m4a"_s << QString();
    QTest::newRow("dots taken out") << QStringList{u"../x/./y.ogg"_s} << Action::Run << u"/x/y.ogg"_s << QString();
    QTest::newRow("a name that starts with a dash, after --") << QStringList{u"--"_s, u"-take2.wav"_s} << Action::Run
        << u"/work/-take2.wav"_s << QString();
    QTest::newRow("--help wins") << QStringList{u"a.wav"_s, u"--help"_s} << Action::ShowHelp << QString() << QString();
    QTest::newRow("-h") << QStringList{u"-h"_s} << Action::ShowHelp << QString() << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s} << Action::ShowVersion << QString() << QString();
    QTest::newRow("--help after -- is a file") << QStringList{u"--"_s, u"--help"_s} << Action::Run
        << u"/work/--help"_s << QString();
    QTest::newRow("unknown option") << QStringList{u"--loud"_s} << Action::Refuse << QString() << QString();
    QTest::newRow("three files") << QStringList{u"a"_s, u"b"_s, u"c"_s} << Action::Refuse << QString() << QString();
    QTest::newRow("an empty name") << QStringList{QString()} << Action::Refuse << QString() << QString();
    QTest::newRow("Qt's own options are Qt's") << QStringList{u"-platform"_s, u"offscreen"_s, u"-reverse"_s, u"a.wav"_s}
        << Action::Run << u"/work/a.wav"_s << QString();
    QTest::newRow("Qt's options with two dashes too") << QStringList{u"--style"_s, u"fusion"_s, u"b.txt"_s}
        << Action::Run << QString() << u"/work/b.txt"_s;
    QTest::newRow("after --, a file, not Qt's") << QStringList{u"--"_s, u"-platform"_s} << Action::Run
        << u"/work/-platform"_s << QString();
    // clang-format on
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, recording);
    QFETCH(QString, transcript);
    const CommandLine line = tavrin::parseCommandLine(arguments, u"/work"_s);
    QCOMPARE(line.action, action);
    QCOMPARE(line.recording, recording);
    QCOMPARE(line.transcript, transcript);
    QCOMPARE(line.problem.isEmpty(), action != Action::Refuse);
}

void CommandLineTest::exportArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("outputGiven"); // a link there may be followed
    QTest::addColumn<bool>("force");
    const auto row = [](const char* name, const QStringList& arguments, bool refused, const QString& output, bool given,
                        bool force) { QTest::newRow(name) << arguments << refused << output << given << force; };
    row("beside the transcript", {u"srt"_s, u"会议.mp3.txt"_s}, false, u"/work/会议.mp3.srt"_s, false, false);
    row("plain text never over the transcript", {u"TXT"_s, u"a.txt"_s}, false, u"/work/a.utf8.txt"_s, false, false);
    row("an output given, forced", {u"docx"_s, u"a.txt"_s, u"../out.docx"_s, u"--force"_s}, false, u"/out.docx"_s, true,
        true);
    row("--force first", {u"--force"_s, u"odt"_s, u"/t/a.txt"_s}, false, u"/t/a.odt"_s, false, true);
    row("an unknown format", {u"pdf"_s, u"a.txt"_s}, true, QString(), false, false);
    row("no transcript", {u"csv"_s}, true, QString(), false, false);
    row("one file too many", {u"csv"_s, u"a.txt"_s, u"b.csv"_s, u"c"_s}, true, QString(), false, false);
    row("an unknown option", {u"csv"_s, u"a.txt"_s, u"--quiet"_s}, true, QString(), false, false);
    row("an empty output name", {u"vtt"_s, u"a.txt"_s, QString()}, true, QString(), false, false);
}

void CommandLineTest::exportArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, refused);
    QFETCH(QString, output);
    QFETCH(bool, outputGiven);
    QFETCH(bool, force);
    const CommandLine line = tavrin::parseCommandLine(QStringList{u"--export"_s} + arguments, u"/work"_s);
    QCOMPARE(line.action, refused ? Action::Refuse : Action::Export);
    QCOMPARE(line.problem.isEmpty(), !refused);
    if (!refused) {
        QCOMPARE(line.output, output);
        QCOMPARE(line.outputGiven, outputGiven);
        QCOMPARE(line.force, force);
        QCOMPARE(line.exportFormat, *tavrin::exportFormatNamed(arguments.value(arguments.first() == u"--force"_s)));
    }
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
