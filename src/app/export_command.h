#pragma once

namespace tavrin {

struct CommandLine;

// `tavrin --export`: the transcript file exported with no window and no display.
// Tells on standard error what went wrong, in Chinese; returns the exit status:
// 0 done, 1 refused (a bad transcript, an output that exists without --force) or failed.
int runExportCommand(const CommandLine& line);

} // namespace tavrin
