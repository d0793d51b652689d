#pragma once

#include <QString>

namespace tavrin {

// The user's own folders for this program, after the XDG base directory rules:
// $XDG_STATE_HOME/tavrin (else ~/.local/state/tavrin) for what the program keeps
// between runs, $XDG_CACHE_HOME/tavrin (else ~/.cache/tavrin) for what it can
// compute again, $XDG_CONFIG_HOME/tavrin (else ~/.config/tavrin) for settings.
// A variable that is unset, empty or not an absolute path is ignored, as the
// rules ask. Nothing is created here: see ensureUserFolder().
QString stateFolder();
QString cacheFolder();
QString configFolder();

// Creates `folder` and its parents, private to the user (0700), when missing.
// True when it exists as a folder afterwards.
bool ensureUserFolder(const QString& folder);

} // namespace tavrin
