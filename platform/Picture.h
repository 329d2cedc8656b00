// Picture: an immutable, shared picture of packed RGBA pixels.
//
// Pixel contract: bytes R, G, B, A per pixel, 8 bits each, alpha
// premultiplied into the colour channels (every colour byte <= its alpha),
// rows top to bottom with no gap between them (pitch = width * 4). This is
// the layout of a bitmap made from a picture, so drawing a picture into an
// RGBA buffer is a copy.
//
// A Picture is a small value: copies share the same pixels, which nobody can
// change. A default-constructed Picture is empty and stands for "no picture".
//
// Size limit: no picture is wider or taller than kMaxPictureSide pixels or
// holds more than kMaxPicturePixels pixels. Decoders refuse larger pictures
// from their headers, before any pixel memory is taken, so that a small file
// claiming a huge size cannot take the machine's memory.
//
// Failure: PixelBuffer::Allocate and the bitmap conversions return an empty
// result when the size is refused or memory can't be had; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "Core/global/BitmapData.h"

namespace vantrel {

constexpr std::int64_t kMaxPicturePixels = 100'000'000;
constexpr std::int64_t kMaxPictureSide = 65535;

// Why a picture of width x height can't be made under a limit of maxPixels
// pixels, or an empty text when it can.
std::string PictureSizeError(std::int64_t width, std::int64_t height,
                             std::int64_t maxPixels = kMaxPicturePixels);

class Picture;

// The pixels of a picture while its maker writes them: uniquely owned,
// writable, packed RGBA. Finish() hands them to an immutable Picture.
class PixelBuffer {
public:
    PixelBuffer() = default;

    // width * height * 4 bytes of work memory (TiMalloc), not initialised; an
    // empty buffer when PictureSizeError refuses the size or memory is short.
    static PixelBuffer Allocate(int width, int height);

    bool empty() const { return !m_pixels; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    unsigned char* data() { return m_pixels.get(); }
    const unsigned char* data() const { return m_pixels.get(); }
    std::size_t byteCount() const { return static_cast<std::size_t>(m_width) * m_height * 4; }

    // The finished picture; this buffer is left empty. The picture is empty
    // when the buffer was, or when its small shared record can't be had.
    Picture Finish();

private:
    struct Release {
        void operator()(unsigned char* pixels) const;
    };

    std::unique_ptr<unsigned char, Release> m_pixels;
    int m_width = 0;
    int m_height = 0;
};

class Picture {
public:
    Picture() = default;

    bool empty() const { return !m_pixels; }
    explicit operator bool() const { return !empty(); }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int pitch() const { return m_width * 4; }
    std::size_t byteCount() const { return static_cast<std::size_t>(m_width) * m_height * 4; }

    // Packed RGBA, premultiplied; null for an empty picture.
    const unsigned char* data() const { return m_pixels.get(); }
    const unsigned char* pixel(int x, int y) const {
        return m_pixels.get() + (static_cast<std::size_t>(y) * m_width + x) * 4;
    }

private:
    friend class PixelBuffer;

    std::shared_ptr<const unsigned char> m_pixels;
    int m_width = 0;
    int m_height = 0;
};

// A picture as a bitmap the imaging core can work on: an owning TiRGBABpp
// bitmap of the picture's size, pitch width * 4, holding a copy of its
// premultiplied pixels. Null for an empty picture or when memory is short.
std::unique_ptr<TiBitmapData> BitmapFromPicture(const Picture& picture);

// A bitmap as a picture: a copy of the width * height * 4 bytes of a packed
// 4-byte bitmap (pitch == width * 4), which is what every processed bitmap
// is. Any other layout (3 or 1 bytes per pixel, a view with a wider pitch, a
// size outside the picture limit) is refused with an empty picture, as is a
// copy for which memory is short.
Picture PictureFromBitmap(const TiBitmapData& bitmap);

}  // namespace vantrel
