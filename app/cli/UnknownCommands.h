// Telling a command list's names from the command vocabulary, for `vantrel
// apply`: a misspelled name is refused with the nearest known names before
// anything runs, where the dispatcher would pass over it silently (as it
// still does for stored lists, the named actions included).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/Value.h"

namespace vantrel::cli {

// The names of the vocabulary nearest to `name` by edit distance, ignoring
// letter case and a missing "CMD_" prefix: at most three, nearest first
// (ties in vocabulary order), none further than a quarter of the name's
// length (at least two edits).
std::vector<std::string_view> ClosestCommandNames(std::string_view name);

// Why `command` is not a command of the vocabulary, naming `origin` (where
// it came from: "--command 2", a file's path) and the closest names; empty
// when its "cmd" is a known name.
std::string UnknownCommandError(const Dictionary& command, std::string_view origin);

}  // namespace vantrel::cli
