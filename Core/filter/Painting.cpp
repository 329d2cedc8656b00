#include "Core/filter/Painting.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Painting";

// The unchanged picture, one word per pixel: R, G, B and the pixel's level
// in the fourth byte, so that a window step reads one word per pixel.
struct Canvas {
    const std::uint8_t* pixels;
    int width;
    int height;
    int levels;
};

// The histogram of the window: pixel count and colour sums per level. The
// sums are 64-bit so that a window as large as the picture can't overflow.
class Window {
public:
    explicit Window(const Canvas& canvas) : m_canvas(canvas) {}

    // Adds (sign 1) or removes (sign -1) the pixels of column x, rows y0..y1,
    // or of row y, columns x0..x1; coordinates outside the picture are clipped.
    void Column(int x, int y0, int y1, int sign) {
        if (x < 0 || x >= m_canvas.width) return;
        for (int y = std::max(y0, 0); y <= std::min(y1, m_canvas.height - 1); ++y) Add(x, y, sign);
    }
    void Row(int y, int x0, int x1, int sign) {
        if (y < 0 || y >= m_canvas.height) return;
        for (int x = std::max(x0, 0); x <= std::min(x1, m_canvas.width - 1); ++x) Add(x, y, sign);
    }

    // The most common level's mean colour; the lowest level wins a tie.
    void Paint(std::uint8_t* pixel) const {
        int winner = 0;
        for (int l = 1; l < m_canvas.levels; ++l) {
            if (m_count[l] > m_count[winner]) winner = l;
        }
        // Sums and counts stay far below 2^45, where a double quotient
        // truncates to the exact integer quotient, and divides faster.
        const double count = static_cast<double>(m_count[winner]);
        for (int c = 0; c < 3; ++c) {
            pixel[c] = static_cast<std::uint8_t>(static_cast<double>(m_sum[winner][c]) / count);
        }
    }

private:
    void Add(int x, int y, int sign) {
        const std::uint8_t* p =
            m_canvas.pixels + (static_cast<std::size_t>(y) * m_canvas.width + x) * 4;
        m_count[p[3]] += sign;
        for (int c = 0; c < 3; ++c) m_sum[p[3]][c] += sign * p[c];
    }

    const Canvas& m_canvas;
    std::array<std::int64_t, 256> m_count{};
    std::array<std::array<std::int64_t, 3>, 256> m_sum{};
};

// Rows begin..end-1 along a serpentine path: the window is built once, at
// the band's first pixel, and then moved one column or one row at a time,
// so each step costs O(radius).
void PaintBand(TiBitmapData& bitmap, const Canvas& canvas, int r, int begin, int end) {
    Window window(canvas);
    for (int y = begin - r; y <= begin + r; ++y) window.Row(y, -r, r, 1);
    int x = 0;
    for (int y = begin; y < end; ++y) {
        const bool rightwards = (y - begin) % 2 == 0;
        std::uint8_t* row = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int step = 0; step < canvas.width; ++step) {
            if (step > 0) {
                const int next = rightwards ? x + 1 : x - 1;
                window.Column(rightwards ? x - r : x + r, y - r, y + r, -1);
                window.Column(rightwards ? next + r : next - r, y - r, y + r, 1);
                x = next;
            }
            window.Paint(row + static_cast<std::ptrdiff_t>(x) * bitmap.GetBpp());
        }
        if (y + 1 < end) {
            window.Row(y - r, x - r, x + r, -1);
            window.Row(y + 1 + r, x - r, x + r, 1);
        }
    }
}

// Reads the picture into the canvas, with every pixel's intensity level.
void DrawCanvas(const TiBitmapData& bitmap, int smoothness, std::uint8_t* canvas) {
    std::array<std::uint8_t, 256> levelOf{};
    const float scale = static_cast<float>(smoothness) * 0.00390625f;
    for (int i = 0; i < 256; ++i) {
        levelOf[i] = static_cast<std::uint8_t>(TiTrunc(static_cast<float>(i) * scale));
    }
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        const std::uint8_t* p =
            bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < bitmap.GetWidth(); ++x, p += bitmap.GetBpp(), canvas += 4) {
            const int intensity = (0x4CCD * p[0] + 0x970A * p[1] + 0x1C29 * p[2]) >> 16;
            canvas[0] = p[0];
            canvas[1] = p[1];
            canvas[2] = p[2];
            canvas[3] = levelOf[intensity];
        }
    }
}

}  // namespace

int Painting(TiBitmapData& bitmap, int radius, int smoothness) {
    TI_ASSERT(radius >= 0, "radius >= 0", 17);
    TI_ASSERT(smoothness >= 0, "smoothness >= 0", 18);
    TI_ASSERT(smoothness >= 1 && smoothness <= 256, "smoothness >= 1 && smoothness <= 256", 18);
    const int bpp = bitmap.GetBpp();
    if (bpp != TiRGBBpp && bpp != TiRGBABpp) return 0;
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (width <= 0 || height <= 0) return 1;

    const TiBuffer<std::uint8_t> pixels(TiByteCount(width, height, 4));
    if (!pixels) return 0;
    DrawCanvas(bitmap, smoothness, pixels.get());
    const Canvas canvas{pixels.get(), width, height, smoothness};
    // A window wider than the picture is clipped to the same pixels.
    const int r = std::min(radius, std::max(width, height));
    ParallelRows(height, static_cast<long>(width) * (2L * r + 1) * 4,
                 [&](int begin, int end) { PaintBand(bitmap, canvas, r, begin, end); });
    return 1;
}

}  // namespace vantrel
