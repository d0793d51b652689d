#pragma once

#include "export/transcript_export.h"

#include <QString>
#include <QStringList>

namespace tavrin {

// What the program was asked on its command line:
//   tavrin [--help | --version] [RECORDING] [TRANSCRIPT]
//   tavrin --export FORMAT TRANSCRIPT [OUTPUT] [--force]
// A ".txt" given alone is a transcript; given second, the file is the transcript.
struct CommandLine {
    enum class Action {
        Run,
        ShowHelp,
        ShowVersion,
        Export, // the transcript into `output`, with no window
        Refuse, // `problem` says why
    };
    Action action = Action::Run;
    QString recording;  // absolute; empty when none was given
    QString transcript; // absolute; empty when none was given
    QString problem;
    ExportFormat exportFormat = ExportFormat::PlainText;
    QString output;           // absolute; beside the transcript unless given
    bool outputGiven = false; // named by the user, so a link there may be followed
    bool force = false;       // an existing output may be replaced
};

// `arguments` without the program's own name; relative paths are taken from
// `workingFolder`, and file:// addresses (as some file managers pass) are local paths.
// Qt's own options (-platform NAME, -reverse and the like) are passed over: Qt takes
// them when the window starts, while the line is judged before that, with no display.
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder);

// The text --help prints.
QString commandLineHelp();

} // namespace tavrin
