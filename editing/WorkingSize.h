// The working-size rule: the size at which a photo is worked on, and the
// size choice offered when a large photo comes in.
//
// Pictures of 614400 pixels (640 x 960) or more are worked on at a size
// between about 614400 pixels (level 0) and their own size, or the pixel
// count of photoMaxSize if that is smaller (level 1). Every truncation is
// toward zero, in the types the rule gives (32-bit integers, doubles).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/global/Records.h"

namespace vantrel {

inline constexpr int kScreenPixels = 614400;

// The size for `level` (0 to 1) of a photo of `size`: (W, H) as whole
// numbers, or `size` itself when it has fewer than 614400 pixels.
Size sizeForSpeedLevel(double level, Size size, Size photoMaxSize);

// One button of the size sheet: its key ("STR_NOW", "STR_SLOW", "STR_COMMON",
// "STR_FAST") and the rounded size it stands for.
struct SizeChoice {
    std::string key;
    int width = 0;
    int height = 0;
};

// The sheet's buttons before "STR_CANCEL", for a photo whose level-1 size is
// `levelOne`: empty when that size has 614400 pixels or fewer (no sheet).
std::vector<SizeChoice> sizeChoicesForLevelOne(Size levelOne, Size photoMaxSize);

// The originalScale of button `index` in a sheet of `buttonCount` buttons
// (cancel included) for a photo of `photoSize`; nothing for cancel or an
// index out of range.
std::optional<double> originalScaleForChoice(int index, int buttonCount, Size photoSize,
                                             Size photoMaxSize);

}  // namespace vantrel
