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
// True when it exists afterwards as a private folder (isPrivateFolder).
bool ensureUserFolder(const QString& folder);

// True when `folder` (links followed) is a folder that belongs to the user running the
// program and that no one else may write to, standing in a folder of the user's or
// root's that no one else may write to either, or that is sticky (as /tmp is). Anyone
// else who could write there could plant links or files among the program's own, or
// put another folder in its place: such a folder is neither written nor read.
bool isPrivateFolder(const QString& folder);

// When ensureUserFolder(folder) failed for safety's sake, the folder to blame: `folder`
// itself, or the folder it stands or would stand in. Empty when safety was not the
// reason (a file in the way, a disk that cannot be written).
QString unsafeFolderFor(const QString& folder);

} // namespace tavrin
