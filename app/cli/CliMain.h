// The `vantrel` command as a function of its arguments, so that tests run it
// in-process; app/cli/main.cpp only hands it the process's arguments.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace vantrel::cli {

// Runs the command line `args` (without the program's name) and returns the
// exit status: 0 done, 1 failed, 2 bad arguments (with the usage on `err`).
int Main(std::span<const std::string_view> args, std::string_view version, std::ostream& out,
         std::ostream& err);

}  // namespace vantrel::cli
