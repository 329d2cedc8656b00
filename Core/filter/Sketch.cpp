#include "Core/filter/Sketch.h"

#include <cstdint>

#include "Core/base/BlendMode.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/filter/GasBlur.h"
#include "Core/global/TiMemory.h"

namespace vantrel {

int Sketch(TiBitmapData& bitmap, int radius) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    // The copy is the gray picture, inverted and blurred. Gray works pixel by
    // pixel, so graying the copy and the picture apart gives the same bytes
    // as copying the gray picture, and lets every refusal come before the
    // picture changes.
    const auto copy = bitmap.Clone(false);
    if (!copy) return 0;
    const TiBuffer<unsigned char> table(kBlendTableSize);
    if (!table) return 0;
    ConvertToGray(*copy);
    InvertColor(*copy);
    if (!GasBlur(*copy, radius)) return 0;
    GenerateLookupTable(table.get(), kBlendColorDodge, 1.0);
    ConvertToGray(bitmap);
    AdjustBlendModeCurve(bitmap, 0, *copy, 0, table.get());
    AdjustLevels(bitmap, 150, 255, 1.0, 0);
    return 1;
}

}  // namespace vantrel
