// `vantrel apply`: a command list run on a picture file, the result written
// to another.
//
// The commands of every source join one list in argument order; the list
// runs through the effects processor's synchronous path on the picture (made
// upright and premultiplied, as a device picture is drawn) at the given
// paramScale. The output is written to a temporary name and renamed into
// place, and only when every command succeeded.
//
// Before anything runs, every command's "cmd" must be a name of the
// vocabulary (exit status 2, naming the command, where it came from and the
// closest names: the dispatcher would pass over it silently), an --actions
// file must be readable and hold an "actions" array, and OUTPUT must not
// exist or be a regular file (platform/Files.h).
//
// Failure: exit status 1 with the reason on the error stream (the error the
// failing command recorded, or what went wrong with a file); nothing is
// written.
#pragma once

#include <ostream>
#include <span>

#include "app/cli/CliArguments.h"
#include "commands/Value.h"
#include "platform/Result.h"

namespace vantrel::cli {

// The command dictionaries of `sources`, in order: each file's "commands"
// array, each JSON text's one dictionary. Fails on a file that can't be read
// or holds no such array, on an element that is not a dictionary and on JSON
// text that is not an object.
Result<Array> LoadCommandList(std::span<const CommandSource> sources);

// Runs apply; returns the exit status, 0, 1 or 2. Reports what it wrote on `out`.
int RunApply(const ApplyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vantrel::cli
