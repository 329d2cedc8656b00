// The value distribution of a bitmap, for the curve editor's histogram.
//
// Pixel contract: reads bytes 0..2 of a 3- or 4-byte bitmap, rows stepped by
// m_pitch (views work); writes nothing.
//
// Failure contract: getValues with a channel outside 0..3 throws
// TiAssertionError; ComputeHistogram returns null for a bitmap of 1 byte per
// pixel or when memory can't be had.
#pragma once

#include <cstdint>
#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel {

// Counts per value of red, green, blue and display gray
// (R * 0.2126 + G * 0.7152 + B * 0.0722 + 0.5 in double, truncated). The
// arrays are stored red, green, blue, gray, while the channel numbering of
// maxCount and getValues puts gray first: 0 gray, 1 red, 2 green, 3 blue.
struct TiHistogram {
    std::int32_t maxCount[4];
    std::int32_t redCounts[256];
    std::int32_t greenCounts[256];
    std::int32_t blueCounts[256];
    std::int32_t lumCounts[256];

    // The count array of `channel` (0..3); its largest count is maxCount[channel].
    std::int32_t* getValues(int channel);
    const std::int32_t* getValues(int channel) const;
};

static_assert(sizeof(TiHistogram) == 4112);

// A new, zero-filled histogram of every pixel of `bitmap`; an empty bitmap
// gives all zeros.
std::unique_ptr<TiHistogram> ComputeHistogram(const TiBitmapData& bitmap);

}  // namespace vantrel
