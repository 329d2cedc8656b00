// The dispatcher's rows, one per command, named in the command list of
// commands/CommandTable.h and declared here from it. A row runs one typed
// command on run.view (or run.bitmap) and returns whether the command
// succeeded; see commands/Dispatcher.h for the frame around it. The rows are
// defined by family:
//
//   commands/GeometryRows.cpp  the selection and the commands that replace
//                              the bitmap's buffer or work on the whole bitmap
//   commands/ColorRows.cpp     curves, levels, colour balance, HSL, selective
//                              colour and the point colour operations
//   commands/BlendRows.cpp     layer blending and gradients
//   commands/FilterRows.cpp    blurs, sharpening and glow, bokeh, noise,
//                              retinex, shadow and highlight, red-eye removal
//                              and the artistic filters
//   commands/LomoRows.cpp      the lomo looks
//   commands/ActionRows.cpp    named actions
#pragma once

#include "commands/ActionCommands.h"
#include "commands/Dispatcher.h"

namespace vantrel::rows {

#define VANTREL_ROW_DECLARATION(name, row) \
    bool row(const ActionCommand_##name& command, CommandRun& run);
VANTREL_COMMANDS(VANTREL_ROW_DECLARATION)
#undef VANTREL_ROW_DECLARATION

}  // namespace vantrel::rows
