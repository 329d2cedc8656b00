// Dispatcher rows of the selection and of the commands that work on the
// whole bitmap: clip, flip, zoom and rotate, which reset the selection to the
// whole (new) bitmap. Those that change the bitmap's size allocate exactly
// one new buffer and swap it into the bitmap record (TakeOver), so that
// callers' pointers to the bitmap stay valid.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numbers>
#include <optional>

#include "Core/base/Flip.h"
#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"
#include "commands/DispatchRows.h"
#include "platform/Picture.h"

namespace vantrel::rows {
namespace {

constexpr const char kMemoryError[] = "Can not allocate memory!";

// A new packed, owning bitmap of width x height, or null when its memory
// can't be had; zero-filled when asked, for operations that leave some
// pixels untouched.
std::unique_ptr<TiBitmapData> NewBitmap(int width, int height, int bpp, bool zeroed) {
    std::unique_ptr<TiBitmapData> bitmap = NewPackedBitmap(width, height, bpp, zeroed);
    if (bitmap) {
        TiLog("申请内存 %lld kb",
              static_cast<long long>(std::int64_t{width} * height * bpp / 1024));
    }
    return bitmap;
}

// A result size that makes a picture: at least one pixel, within the
// picture limit. Other sizes are refused before any memory is asked for,
// naming the size asked for.
bool IsPictureSize(std::int64_t width, std::int64_t height) {
    return PictureSizeError(width, height).empty();
}

// A parameter as the command's text form writes it ("%f").
std::string Printed(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

bool FailSize(const CommandRun& run, float amount, std::int64_t width, std::int64_t height) {
    return FailCommand(std::string(run.name) + " by " + Printed(amount) +
                       " asks for a picture of " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels; a picture has 1 to " +
                       std::to_string(kMaxPictureSide) + " pixels a side and at most " +
                       std::to_string(kMaxPicturePixels) + " pixels.");
}

// The bitmap record takes over `result`; the selection covers it whole.
bool Replace(CommandRun& run, TiBitmapData& result) {
    run.bitmap.TakeOver(result);
    run.selection = Rect{};
    return true;
}

// A whole number of quarter turns, 0 included: rearranged without
// resampling, so that no pixel is blended or lost at the edges.
bool RotateByQuarterTurns(float degrees, CommandRun& run) {
    const int turns = static_cast<int>(std::fmod(static_cast<double>(degrees), 360.0) / 90.0);
    if (turns == 0) {
        run.selection = Rect{};
        return true;
    }
    const std::unique_ptr<TiBitmapData> turned = RotateQuarterTurns(run.bitmap, turns);
    if (!turned) return FailCommand(kMemoryError);
    return Replace(run, *turned);
}

}  // namespace

// Stores the rectangle, scaled and clamped, as the region of the following
// commands.
bool SetSelection(const ActionCommand_SET_SELECTION& command, CommandRun& run) {
    const Rect asked = command.getSelection();
    TiLog("原始区域 %f,%f,%f,%f", asked.x, asked.y, asked.width, asked.height);
    const Rect& r = run.selection = ClampRegion(ParamFor<CMD_SET_SELECTION, 0>(asked, run),
                                                run.bitmap.GetWidth(), run.bitmap.GetHeight());
    TiLog("缩略区域 %f,%f,%f,%f", r.x, r.y, r.width, r.height);
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

// Mirrors the whole bitmap, whatever the selection.
bool Flip(const ActionCommand_FLIP& command, CommandRun& run) {
    const int result = FlipBitmap(run.bitmap, command.getFlipH(), command.getFlipV());
    run.selection = Rect{};
    return OperationResult(result, run);
}

// Resamples the whole bitmap to its size times the scale, each side a float
// product truncated; the preview scale does not apply.
bool Zoom(const ActionCommand_ZOOM& command, CommandRun& run) {
    TiBitmapData& bitmap = run.bitmap;
    const float scale = command.getScale();
    const std::int64_t width = TiTrunc64(static_cast<float>(bitmap.GetWidth()) * scale);
    const std::int64_t height = TiTrunc64(static_cast<float>(bitmap.GetHeight()) * scale);
    TiLog("将图片 %d,%d 按比例 %f 缩放到 %lld,%lld", bitmap.GetWidth(), bitmap.GetHeight(), scale,
          static_cast<long long>(width), static_cast<long long>(height));
    if (!(std::isfinite(scale) && scale > 0)) {
        return FailCommand(std::string(run.name) + " needs a scale above 0, not " + Printed(scale));
    }
    if (!IsPictureSize(width, height)) return FailSize(run, scale, width, height);
    // ImageZoom writes every pixel of its destination: no need to clear it.
    const std::unique_ptr<TiBitmapData> zoomed =
        NewBitmap(static_cast<int>(width), static_cast<int>(height), bitmap.GetBpp(), false);
    if (!zoomed) return FailCommand(kMemoryError);
    if (!ImageZoom(bitmap, *zoomed, static_cast<int>(width), static_cast<int>(height))) {
        return FailCommand(kMemoryError);
    }
    return Replace(run, *zoomed);
}

// Turns the whole bitmap by "degrees" counter-clockwise into the bounding
// box of the turned picture, its centre on the box's centre; the corners
// outside the picture are transparent black. The box is sized from the
// exact angle, the turn itself uses the angle truncated to whole degrees.
bool Rotate(const ActionCommand_ROTATE& command, CommandRun& run) {
    TiBitmapData& bitmap = run.bitmap;
    const float degrees = command.getDegrees();
    if (!std::isfinite(degrees)) {
        return FailCommand(std::string(run.name) + " needs a finite angle, not " +
                           Printed(degrees));
    }
    if (std::fmod(degrees, 90.0f) == 0.0f) return RotateByQuarterTurns(degrees, run);

    const int oldWidth = bitmap.GetWidth();
    const int oldHeight = bitmap.GetHeight();
    const double radians = static_cast<double>(degrees) * std::numbers::pi / 180.0;
    const double cosine = std::fabs(std::cos(radians));
    const double sine = std::fabs(std::sin(radians));
    const std::int64_t width = TiTrunc64(oldWidth * cosine + oldHeight * sine);
    const std::int64_t height = TiTrunc64(oldWidth * sine + oldHeight * cosine);
    TiLog("将图片 %d,%d 按角度 %f 旋转到 %lld,%lld", oldWidth, oldHeight, degrees,
          static_cast<long long>(width), static_cast<long long>(height));
    if (!IsPictureSize(width, height)) return FailSize(run, degrees, width, height);
    if (bitmap.GetBpp() != TiRGBABpp) {
        return FailCommand(std::string(run.name) + " turns only pictures of 4 bytes per pixel");
    }
    const std::unique_ptr<TiBitmapData> rotated =
        NewBitmap(static_cast<int>(width), static_cast<int>(height), TiRGBABpp, true);
    if (!rotated) return FailCommand(kMemoryError);

    int wholeDegrees = TiTrunc(degrees) % 360;
    if (wholeDegrees < 0) wholeDegrees += 360;
    const double angle = static_cast<double>(wholeDegrees) * std::numbers::pi / 180.0;
    RotateBitmap(*rotated, bitmap, angle, 1.0, 1.0, static_cast<double>(width - oldWidth) * 0.5,
                 static_cast<double>(height - oldHeight) * 0.5);
    return Replace(run, *rotated);
}

}  // namespace vantrel::rows
