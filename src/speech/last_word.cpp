#include "speech/last_word.h"

#include "speech/draft_event.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavrin {

namespace {

// Told from a signal handler too: a line made beforehand, written with write(2).
char line[4096];
volatile std::sig_atomic_t lineLength = 0;
volatile std::sig_atomic_t armed = 0;

void atExit()
{
    std::fflush(stdout); // whatever was told before goes first
    tellLastWord();
}

[[maybe_unused]] void onCrash(int signal)
{
    tellLastWord();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void tellLastWord()
{
    if (!armed)
        return;
    armed = 0;
    const char* at = line;
    std::size_t left = std::size_t(lineLength);
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, at, left);
        if (written <= 0)
            return;
        at += written;
        left -= std::size_t(written);
    }
}

void armLastWord()
{
    std::atexit(atExit);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(signal, onCrash);
#endif
}

void setLastWord(const QString& message)
{
    const QByteArray encoded = encodeDraftEvent({.kind = DraftEvent::Kind::Failed, .text = message});
    armed = 0;
    // A message too long for the line is not cut mid-event: nothing is told then.
    const bool fits = encoded.size() <= qsizetype(sizeof line);
    lineLength = fits ? std::sig_atomic_t(encoded.size()) : 0;
    if (fits)
        std::memcpy(line, encoded.constData(), std::size_t(encoded.size()));
    armed = 1;
}

void disarmLastWord()
{
    armed = 0;
}

} // namespace tavrin

// The engine ends the process with _Exit on a model it cannot use, which runs no
// handler at exit. The helper exports this definition (see CMakeLists.txt), so
// that the engine's library, opened after, binds to it rather than to the C
// library's: the last word is told, then the process ends as _Exit ends it.
extern "C" [[noreturn]] void _Exit(int status) noexcept
{
    tavrin::tellLastWord();
    ::syscall(SYS_exit_group, status);
    __builtin_unreachable();
}
