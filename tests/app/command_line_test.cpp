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

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
