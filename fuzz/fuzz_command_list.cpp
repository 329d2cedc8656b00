// Command lists run on pixels: one byte choosing the bitmap's format and the
// preview scale, then JSON text whose "commands" array runs through the
// effects processor on a small bitmap. Nothing may crash, leak or reach
// undefined behaviour, whatever the parameters, and a failed list must leave
// the bitmap a valid one.
//
// Sizes: lists whose zooms and rotations could grow the bitmap past a small
// bound are skipped before they run, so that the fuzzer explores parameters
// rather than allocating gigabytes of legitimate pictures.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Core/global/BitmapData.h"
#include "Core/global/Numeric.h"
#include "commands/ActionCommands.h"
#include "commands/EffectsProcesser.h"
#include "commands/Json.h"

namespace {

using namespace vantrel;

constexpr std::int64_t kMaxPixels = 1 << 16;
constexpr int kWidth = 24;
constexpr int kHeight = 16;
constexpr double kScales[] = {1.0, 0.5, 0.37, 2.0};

// An upper bound of the bitmap's size after each command, or false as soon
// as it could pass kMaxPixels.
bool SizesStayBounded(const Array& list, std::int64_t width, std::int64_t height) {
    for (const std::unique_ptr<ActionCommand>& command : toActionCommandsArray(list)) {
        if (const auto* zoom = dynamic_cast<const ActionCommand_ZOOM*>(command.get())) {
            const float scale = zoom->getScale();
            if (!std::isfinite(scale)) continue;  // refused by the command
            width = TiTrunc64(static_cast<double>(static_cast<float>(width) * std::fabs(scale)));
            height = TiTrunc64(static_cast<double>(static_cast<float>(height) * std::fabs(scale)));
        } else if (command->getCmd() == CMD_ROTATE) {
            width = height = width + height;  // the rotated bounding box fits in this
        }
        if (width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels) return false;
    }
    return true;
}

std::unique_ptr<TiBitmapData> MakeBitmap(int bpp) {
    const int pitch = kWidth * bpp;
    auto* data =
        static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(pitch) * kHeight));
    for (int i = 0; i < pitch * kHeight; ++i) data[i] = static_cast<unsigned char>(i * 37 + i / 7);
    return std::make_unique<TiBitmapData>(data, kWidth, kHeight, pitch, bpp, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int bpp = (data[0] & 1) ? TiRGBBpp : TiRGBABpp;
    const double scale = kScales[(data[0] >> 1) & 3];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::optional<Dictionary> object = dictionaryWithJSONString(text);
    const Value* commands = object ? object->find("commands") : nullptr;
    if (!commands || !commands->array()) return 0;
    if (!SizesStayBounded(*commands->array(), kWidth, kHeight)) return 0;

    static EffectsProcesser processor;
    processor.setParamScale(scale);
    const std::unique_ptr<TiBitmapData> bitmap = MakeBitmap(bpp);
    processor.runCommands(*commands->array(), *bitmap);
    // Whatever happened, the record describes a readable buffer.
    volatile unsigned sum = 0;
    for (int y = 0; y < bitmap->GetHeight(); ++y) {
        const unsigned char* row =
            bitmap->GetData() + static_cast<std::size_t>(y) * bitmap->GetPitch();
        for (int x = 0; x < bitmap->GetWidth() * bitmap->GetBpp(); ++x) sum = sum + row[x];
    }
    return 0;
}
