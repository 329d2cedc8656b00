// Dispatcher rows of the selection and of the commands that work on the
// whole bitmap: clip, flip, zoom and rotate, which reset the selection to the
// whole (new) bitmap. Those that change the bitmap's size allocate exactly
// one new buffer and swap it into the bitmap record (TakeOver), so that
// callers' pointers to the bitmap stay valid.
#include <memory>

#include "commands/DispatchRows.h"

namespace vantrel::rows {

// Stores the rectangle, scaled and clamped, as the region of the following
// commands.
bool SetSelection(const ActionCommand_SET_SELECTION& command, CommandRun& run) {
    run.selection = ClampRegion(ParamFor<CMD_SET_SELECTION, 0>(command.getSelection(), run),
                                run.bitmap.GetWidth(), run.bitmap.GetHeight());
    return true;
}

// Cuts out the rectangle, scaled and clamped, as a packed copy. A rectangle
// narrower or lower than one whole pixel is refused rather than leaving an
// empty bitmap behind.
bool Clip(const ActionCommand_CLIP& command, CommandRun& run) {
    const Rect rect = ClampRegion(ParamFor<CMD_CLIP, 0>(command.getRect(), run),
                                  run.bitmap.GetWidth(), run.bitmap.GetHeight());
    run.selection = Rect{};
    const int width = TiTrunc(rect.width);
    const int height = TiTrunc(rect.height);
    if (width < 1 || height < 1) {
        return FailCommand(std::string(run.name) + " was given a rectangle without a whole pixel");
    }
    const std::unique_ptr<TiBitmapData> region =
        run.bitmap.GetBitmapDataFromRect(TiTrunc(rect.x), TiTrunc(rect.y), width, height);
    const std::unique_ptr<TiBitmapData> copy = region->Clone(false);
    if (!copy) return FailCommand("Can not allocate memory!");
    run.bitmap.TakeOver(*copy);
    return true;
}

}  // namespace vantrel::rows
