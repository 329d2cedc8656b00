// Converting RGBA pixels between straight alpha (as PNG files store them)
// and premultiplied alpha (as pictures and bitmaps hold them).
//
// Premultiplying rounds c * a / 255 to nearest; un-premultiplying rounds
// c * 255 / a to nearest and clamps to 255, and gives 0 where alpha is 0.
// With both rounded to nearest, un-premultiplying and premultiplying again
// returns every valid premultiplied pixel (colour <= alpha) exactly, so a
// picture saved as PNG and read back is unchanged.
//
// Alpha bytes are never changed. Both passes are table lookups.
#pragma once

#include <cstddef>

namespace vantrel {

// Straight to premultiplied, in place, over `pixels` RGBA pixels.
void PremultiplyPixels(unsigned char* rgba, std::size_t pixels);

// Premultiplied to straight, from `source` into `target` (which may be the
// same memory), over `pixels` RGBA pixels.
void UnpremultiplyPixels(const unsigned char* source, unsigned char* target, std::size_t pixels);

// Whether every alpha byte of `pixels` RGBA pixels is 255.
bool IsOpaque(const unsigned char* rgba, std::size_t pixels);

// c * a / 255 rounded to nearest, for 0 <= c, a <= 255.
constexpr unsigned char MultiplyBytes(unsigned c, unsigned a) {
    return static_cast<unsigned char>((c * a + 127) / 255);
}

}  // namespace vantrel
