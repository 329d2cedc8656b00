// The dispatcher: how one command becomes imaging calls on the processor's
// bitmap (EffectsProcesser::runActionCommand).
//
// The common frame clamps the current selection to the bitmap, makes a view
// of that region and hands the command to its row, a small function per
// command number. A row reads its parameters through the command's typed
// getters, scales the spatial ones by the processor's paramScale (the command
// table's scale marks say which), and calls its operation on the view, or on
// the whole bitmap where the command says so. Rows are grouped by family in
// commands/*Rows.cpp and listed once in the table of Dispatcher.cpp.
//
// Results: a row whose operation "may fail" succeeds when the operation
// returns non-zero; rows of the corrections that always apply succeed
// whatever their operation returns. A number without a row (including -1)
// succeeds and changes nothing.
//
// Failure: a failing row records a message for the user in ErrorManager
// ("Can not allocate memory!", "Not find Action!", "CMD_SHARPEN is not
// available in this build", ...). A precondition of the imaging core that
// does not hold (TiAssertionError) fails the command with its condition,
// function, file and line recorded; so does memory that can't be had.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "Core/global/BitmapData.h"
#include "Core/global/Numeric.h"
#include "Core/global/Records.h"
#include "commands/CommandTable.h"

namespace vantrel {

class ActionCommand;
class EffectsProcesser;

// What a row works on while one command runs.
struct CommandRun {
    EffectsProcesser& processor;
    TiBitmapData& bitmap;   // the whole bitmap being processed
    TiBitmapData& view;     // the selected region of it
    Rect& selection;        // the selection in the bitmap's pixels; rows may change it
    double paramScale;      // the preview scale of spatial parameters
    std::string_view name;  // the command's name, for messages
};

// The region clamp, in float: a rectangle (all zero for the whole bitmap)
// brought inside a width x height bitmap. The frame clamps the selection with
// it; SET_SELECTION and CLIP clamp their rectangle, scaled first.
Rect ClampRegion(const Rect& rect, int width, int height);

// A spatial parameter at the preview scale: an integer truncated from the
// double product, a float narrowed from it, each field of a point or a
// rectangle likewise.
int ScaledParam(int value, double paramScale);
float ScaledParam(float value, double paramScale);
Point ScaledParam(const Point& value, double paramScale);
Rect ScaledParam(const Rect& value, double paramScale);

// Parameter I of command N as the operation takes it: scaled when the command
// table marks it, unchanged otherwise.
template <CommandNumber N, std::size_t I, typename T>
T ParamFor(const T& value, const CommandRun& run) {
    static_assert(I < kCommandParams[N].size(), "the command has no such parameter");
    if constexpr (kCommandParams[N][I].scaling == Scaling::Scaled) {
        return ScaledParam(value, run.paramScale);
    } else {
        return value;
    }
}

// Whether this build has the operation of command `number`; commands
// without it fail as "not available in this build". False for numbers
// outside the command table.
bool IsCommandAvailable(int number);

// Records `message` in the shared error record; returns false, the result of
// the failed command.
bool FailCommand(const std::string& message);

// The result of a row whose operation may fail: true for non-zero; for 0 a
// message naming the command is recorded.
bool OperationResult(int result, const CommandRun& run);

}  // namespace vantrel
