// `vantrel looks`: a contact sheet of every look the lomo and HDR panels
// show, run on one picture.
//
// The input is scaled with the zoom operation so that its shorter side is
// `size` pixels (platform/PictureScaling.h), at most kMaxLooksSize and never
// more than the input's own shorter side: a larger size is held to those, and
// the output says so. Each look then runs on that picture in a process of its
// own (platform/ForkedWorkers.h, as many at a time as the machine has
// processors), with random() reseeded as a fresh process has it, so a look's
// grain is the same as in any single run. "None" is the picture unprocessed,
// as its panel shows it. Every look is written as "<display name made
// safe>.png"; then index.html shows them under their panel sections in panel
// order (app/cli/LooksPage.h). Every file is written to a temporary name and
// renamed into place.
//
// Failure: a look that fails is named in a warning on the error stream and
// shown on the page as failed; the sheet is still done (exit status 0)
// unless no look at all could be written. An unreadable input or an output
// folder that can't be made is 1 with nothing written.
#pragma once

#include <ostream>

#include "app/cli/CliArguments.h"
#include "app/cli/LooksPage.h"

namespace vantrel::cli {

// Runs the command; returns the exit status (0 or 1). Reports on `out` what
// it wrote and on `err` what failed.
int RunLooks(const LooksOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vantrel::cli
