// `vantrel looks`: a contact sheet of every look the lomo and HDR panels
// show, run on one picture.
//
// The input is scaled with the zoom operation so that its shorter side is
// `size` pixels (platform/PictureScaling.h). Each look then runs on that
// picture in a process of its own (platform/ForkedWorkers.h, as many at a
// time as the machine has processors), with
// random() reseeded as a fresh process has it, so a look's grain is the same
// as in any single run. "None" is the picture unprocessed, as its panel
// shows it. Every look is written as "<display name made safe>.png"; then
// index.html shows them under their panel sections in panel order
// (app/cli/LooksPage.h). Every file is written to a temporary name and
// renamed into place.
//
// Failure: a look that fails is reported on the error stream with its name
// and left out of the page (shown there as failed); the exit status is then
// 1. An unreadable input or an output folder that can't be made is 1 with
// nothing written.
#pragma once

#include <ostream>

#include "app/cli/CliArguments.h"
#include "app/cli/LooksPage.h"

namespace vantrel::cli {

// Runs the command; returns the exit status (0 or 1). Reports on `out` what
// it wrote and on `err` what failed.
int RunLooks(const LooksOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vantrel::cli
