// Private histograms of the point operations: how many pixels hold each value
// of red, green and blue. Counted in parallel row bands; the counts are exact
// whatever the banding.
#pragma once

#include <array>
#include <cstdint>

#include "Core/global/BitmapData.h"

namespace vantrel {

using ChannelHistogram = std::array<std::int64_t, 256>;

// Indexed 0 = red, 1 = green, 2 = blue.
using ColorHistograms = std::array<ChannelHistogram, 3>;

// Counts of a 3- or 4-byte bitmap or view; all zero when it has no pixels.
ColorHistograms CountColorValues(const TiBitmapData& bitmap);

}  // namespace vantrel
