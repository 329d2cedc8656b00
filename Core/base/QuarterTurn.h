// Lossless turns by whole quarter turns.
//
// RotateQuarterTurns rearranges the pixels of a bitmap turned by a multiple
// of 90 degrees, with no resampling: every source pixel lands whole on exactly
// one destination pixel. One turn is 90 degrees counter-clockwise on screen
// (the direction of a positive rotation angle): the source's top row becomes
// the result's left column, read from the bottom up. An odd number of turns
// swaps width and height.
//
// Pixel contract: 1, 3 or 4 bytes per pixel; the source is read by its m_pitch, so
// it may be a view; the result is a new owning, packed bitmap.
//
// Failure contract: null when the result's memory can't be had (or its size
// can't be represented) and for any other bytes per pixel; the source is
// never changed.
#pragma once

#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel {

// `source` turned by `turns` quarter turns counter-clockwise; any integer is
// taken modulo 4 (-1 is three turns, a quarter turn clockwise). Zero turns
// give a packed copy.
std::unique_ptr<TiBitmapData> RotateQuarterTurns(const TiBitmapData& source, int turns);

}  // namespace vantrel
