#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// What the program was asked on its command line:
//   tavrin [--help | --version] [RECORDING] [TRANSCRIPT]
// A ".txt" given alone is a transcript; given second, the file is the transcript.
struct CommandLine {
    enum class Action {
        Run,
        ShowHelp,
        ShowVersion,
        Refuse, // `problem` says why
    };
    Action action = Action::Run;
    QString recording;  // absolute; empty when none was given
    QString transcript; // absolute; empty when none was given
    QString problem;
};

// `arguments` without the program's own name; relative paths are taken from
// `workingFolder`, and file:// addresses (as some file managers pass) are local paths.
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder);

// The text --help prints.
QString commandLineHelp();

} // namespace tavrin
