// Bokeh: a sharp circle of focus in a blurred picture.
//
// A tent-blurred copy of the picture is laid over it through a soft radial
// mask: the mask is white at the focus centre, half-way at `centerRadius`
// and black from about `centerRadius` + `extendWidth` on (a two-stop radial
// gradient), and the blurred copy shows where the mask is dark.
// BokehFilter does it all at once; a Bokeher keeps the blurred copy so that
// the focus can move without blurring again.
//
// Blend rule, per pixel: w = max(0, blurred alpha - mask) (alpha 255 for a
// 3-byte copy); a = w / 255 as a float; each of bytes 0..2 becomes
// picture * (1 - a) + blurred * a in float, clamped to 0..255 and truncated.
// So a transparent blurred pixel leaves the picture's pixel as it was.
//
// Pixel contract: 3- or 4-byte pixels; bytes 0..2 (R, G, B) of the picture
// are rewritten, its alpha never is. Works in place on a bitmap or a view;
// the blurred copy is only read.
//
// Failure contract: 0, picture unchanged, when the copy, its blur's line
// buffers or the mask can't be had, for 1-byte pixels, and when the blurred
// copy's size differs from the picture's; else 1. A Bokeher without a
// picture fails its preconditions (TiAssertionError).
#pragma once

#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel {

// Positions and lengths in pixels of the picture, x to the right, y down.
struct BokehParams {
    int cx = 0;  // focus centre
    int cy = 0;
    int blurRadius = 0;  // the tent blur's radius
    int degrees = 0;     // the gradient's angle; it sets the length a radius is measured against
    int centerRadius = 0;
    int extendWidth = 0;
};

// Copies the picture, blurs the copy at blurRadius and blends it back. A
// centre radius plus extend width of 0 leaves no focus: the whole picture
// takes the blurred copy.
int BokehFilter(TiBitmapData& bitmap, int cx, int cy, int blurRadius, int degrees, int centerRadius,
                int extendWidth);

// Blends `blurred` (the picture's width and height, 3 or 4 bytes per pixel)
// onto `bitmap` through the focus mask.
int BlendBokeh(TiBitmapData& bitmap, const TiBitmapData& blurred, int cx, int cy, int degrees,
               int centerRadius, int extendWidth);

// The bokeh of the interactive editor: blurs once per blur radius and picture
// size, then renders any focus from that blur.
class Bokeher {
public:
    // `bitmap` is the picture rendered into (required); with `ownsBitmap` it
    // is deleted with this object. No blur is made yet.
    Bokeher(TiBitmapData* bitmap, int cx, int cy, int blurRadius, int degrees, int centerRadius,
            int extendWidth, bool ownsBitmap);
    ~Bokeher();
    Bokeher(const Bokeher&) = delete;
    Bokeher& operator=(const Bokeher&) = delete;

    // Drops any blur and blurs a packed copy of the picture. 0 (no blur kept)
    // when the copy or its blur can't be had.
    int PrepareBlur();

    // Blurs first when there is no blur of the picture's size, then blends
    // it onto the picture in place with the current parameters. The editor
    // hands in a fresh view of an untouched copy before each run.
    int Run();

    void ReleaseBlur() { m_blurred.reset(); }
    bool HasBlur() const { return m_blurred != nullptr; }

    // A new picture to render into, of the same photo (the blur is kept
    // while its size matches). Releases the old one if it was owned.
    void SetBitmap(TiBitmapData* bitmap, bool ownsBitmap);

    // New parameters; a new blur radius drops the blur.
    void SetParams(const BokehParams& params);
    const BokehParams& GetParams() const { return m_params; }

private:
    std::unique_ptr<TiBitmapData> m_blurred;
    bool m_ownsBitmap;
    BokehParams m_params;
    TiBitmapData* m_bitmap;
};

}  // namespace vantrel
