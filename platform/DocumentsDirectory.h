// The documents directory: the folder where the program keeps its own files
// (the settings, the picture cache, the edit session's pictures and journal).
//
// It is $VANTREL_HOME when that is set and not empty; otherwise
// $XDG_DATA_HOME/vantrel when XDG_DATA_HOME is an absolute path (the XDG
// rules ignore a relative one); otherwise ~/.local/share/vantrel, with ~ from
// $HOME or, without it, the user's entry in the password database.
//
// The folder, and any missing folder above it, is created on first use with
// mode 0700: it holds the user's photos.
//
// Failure: an error text naming the folder; nothing is thrown.
#pragma once

#include <string>

#include "platform/Result.h"

namespace vantrel {

// The folder's path as the environment gives it now; nothing is created.
std::string DocumentsDirectoryPath();

// The folder's path, created when missing. Fails when it can't be created or
// something that is not a folder is in its place.
Result<std::string> DocumentsDirectory();

// Creates `path` and the missing folders above it with `mode`; succeeds when
// it is a folder already.
Result<Done> MakeFolders(const std::string& path, unsigned mode);

// The user's home folder: $HOME, else the password database's entry, else "/".
std::string HomeFolder();

}  // namespace vantrel
