// Channel mixer and gray channel mix.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; bytes 0..2 are rewritten, alpha is never read or written.
// The per-pixel work is integer table lookups and additions; where every
// entry is in the clamp's reach and every scale finite, the entries are
// computed afresh in vector lanes instead, by the tables' own float product
// and truncation, which gives the same bytes.
//
// Failure: 0 (bitmap unchanged) when the work block of integer tables can't
// be had, or for a 1-byte bitmap; otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"

namespace vantrel {

// New red from red, green and blue by mixer.red's scales (1.0 = 100 %), then
// new green by mixer.green's, then new blue by mixer.blue's. Each result is
// written back before the next is mixed: green's red share reads the new
// red, blue's red and green shares the new red and green.
int MixChannels(TiBitmapData& bitmap, const TinyChannelMixer& mixer);

// One gray from red, green and blue by the three scales, written to all
// three colour bytes.
int MixChannelsToGray(TiBitmapData& bitmap, const TinyChannelMixScale& scale);

}  // namespace vantrel
