// TiBitmapData: the one in-memory image of the imaging core.
//
// Pixel contract: rows lie top to bottom, pixel (x, y) starts at
// m_data + y * m_pitch + x * m_bpp. Bytes per pixel are TiRGBABpp (R, G, B, A;
// alpha premultiplied when the bitmap came from a picture), TiRGBBpp (R, G, B)
// or 1 (gray or mask). m_pitch may exceed m_width * m_bpp, always so for a view
// narrower than its parent, so every operation steps rows by m_pitch.
//
// Ownership: a bitmap made by Clone, by resampling or from a picture owns its
// buffer (from malloc/TiMalloc, released with free). A view made by
// GetBitmapDataFromRect or GetBitmapDataFromCenterRect points into its
// parent's pixels, never owns them, and must not outlive the parent.
//
// Failure: preconditions throw TiAssertionError; Clone returns null when its
// memory can't be had.
#pragma once

#include <memory>

namespace vantrel {

constexpr int TiRGBBpp = 3;
constexpr int TiRGBABpp = 4;

class TiBitmapData {
public:
    // Stores the fields unchanged and sets m_size = width * height.
    // Requires a non-null buffer and bpp of 3, 4 or 1.
    TiBitmapData(unsigned char* buf, int width, int height, int pitch, int bpp, bool ownsData);
    ~TiBitmapData();

    TiBitmapData(const TiBitmapData&) = delete;
    TiBitmapData& operator=(const TiBitmapData&) = delete;

    unsigned char* GetData() const { return m_data; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetSize() const { return m_size; }
    int GetPitch() const { return m_pitch; }
    int GetBpp() const { return m_bpp; }
    bool OwnsData() const { return m_ownsData; }

    // Address of pixel (x, y); both must lie inside the bitmap.
    unsigned char* GetPixel(int x, int y) const;

    // A view of width x height pixels starting at pixel (x, y), sharing this
    // bitmap's pixels and pitch. The origin must lie inside the bitmap; the far
    // corner is the caller's to keep inside.
    std::unique_ptr<TiBitmapData> GetBitmapDataFromRect(int x, int y, int width, int height) const;

    // A view of width x height centred in this bitmap (origin truncated).
    // Requires 0 < width <= m_width and 0 < height < m_height.
    std::unique_ptr<TiBitmapData> GetBitmapDataFromCenterRect(int width, int height) const;

    // An owning copy of the pixels, or null when memory can't be had.
    // keepPitch true keeps this bitmap's pitch and copies the bytes between
    // its rows as well (for a view, its parent's neighbouring pixels); false
    // makes a packed copy, pitch = width * bpp.
    std::unique_ptr<TiBitmapData> Clone(bool keepPitch = true) const;

    // Takes over other's buffer, geometry and ownership, releasing this
    // bitmap's own buffer if it owned one. The record stays the same object,
    // so pointers to it remain valid; other is left empty and non-owning.
    void TakeOver(TiBitmapData& other);

    unsigned char* m_data;
    int m_width;
    int m_height;
    int m_size;
    int m_pitch;
    int m_bpp;
    bool m_ownsData;
};

// An owning packed bitmap (pitch = width * bpp) of fresh work memory,
// zero-filled when `zeroed`; null when the size overflows, the pitch does not
// fit an int, or memory can't be had.
std::unique_ptr<TiBitmapData> NewPackedBitmap(int width, int height, int bpp, bool zeroed = false);

}  // namespace vantrel
