#include "child_run.h"

#include <QFile>

#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace tavrin::test {

ChildRun runToEnd(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        texts.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    int status = 0;
    rusage usage{};
    // wait4 tells this child's own peak, where getrusage would tell the largest of all children.
    if (started != 0 || wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakResidentMiB = usage.ru_maxrss / 1024.0;
    return run;
}

} // namespace tavrin::test
