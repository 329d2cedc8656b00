#include "editing/WorkingSize.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Core/global/Numeric.h"

namespace vantrel {

Size sizeForSpeedLevel(double level, Size size, Size photoMaxSize) {
    const int width = TiTrunc(size.width);
    const int height = TiTrunc(size.height);
    // Pictures stay under 100 million pixels, so the product fits 32 bits;
    // 64 bits keep a wild size from overflowing.
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
    if (pixels < kScreenPixels || height == 0) return size;
    const double ratio = static_cast<double>(width) / static_cast<double>(height);
    const std::int64_t maxPixels =
        std::min(pixels, TiTrunc64(photoMaxSize.width * photoMaxSize.height));
    const int screenHeight = TiTrunc(std::sqrt(kScreenPixels / ratio));
    const std::int64_t screenPixels =
        static_cast<std::int64_t>(TiTrunc(ratio * screenHeight)) * screenHeight;
    const std::int64_t target = TiTrunc64(static_cast<double>(maxPixels - screenPixels) * level +
                                          static_cast<double>(screenPixels));
    const int newHeight = TiTrunc(std::sqrt(static_cast<double>(target) / ratio) + 0.5);
    const int newWidth = TiTrunc(newHeight * ratio + 0.5);
    return Size{static_cast<float>(newWidth), static_cast<float>(newHeight)};
}

std::vector<SizeChoice> sizeChoicesForLevelOne(Size levelOne, Size photoMaxSize) {
    const double pixels = static_cast<double>(levelOne.width) * levelOne.height;
    if (pixels <= kScreenPixels) return {};
    const auto rounded = [](float side) { return TiTrunc(side + 0.5); };
    std::vector<SizeChoice> choices{{"STR_NOW", rounded(levelOne.width), rounded(levelOne.height)}};
    const int count = std::clamp(TiTrunc(pixels / kScreenPixels * 0.5 + 0.5), 2, 4);
    for (int i = 1; i <= count - 1; ++i) {
        const double level = static_cast<double>(count - 1 - i) / (count - 1);
        const Size size = sizeForSpeedLevel(level, levelOne, photoMaxSize);
        const char* key = i < count - 2 ? "STR_SLOW" : (i < count - 1 ? "STR_COMMON" : "STR_FAST");
        choices.push_back({key, rounded(size.width), rounded(size.height)});
    }
    return choices;
}

std::optional<double> originalScaleForChoice(int index, int buttonCount, Size photoSize,
                                             Size photoMaxSize) {
    if (index < 0 || index >= buttonCount - 1 || buttonCount < 3 || photoSize.width <= 0) {
        return std::nullopt;
    }
    const Size levelOne = sizeForSpeedLevel(1.0, photoSize, photoMaxSize);
    const double level = static_cast<double>(buttonCount - 2 - index) / (buttonCount - 2);
    const Size chosen = sizeForSpeedLevel(level, levelOne, photoMaxSize);
    return static_cast<double>(chosen.width) / photoSize.width;
}

}  // namespace vantrel
