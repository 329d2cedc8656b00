#include "Core/filter/RadialBlur.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TargetClones.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/RadialBlur";

// Sample offsets by quality, as fractions of the sampling distance.
constexpr float kQuality1[] = {-0.09f, -0.065f, -0.04f, -0.02f, 0.02f, 0.04f, 0.065f, 0.09f};
constexpr float kQuality2[] = {-0.09f, -0.08f, -0.07f, -0.06f, -0.04f, -0.02f,
                               0.02f,  0.04f,  0.06f,  0.07f,  0.08f,  0.09f};
constexpr float kQuality3[] = {-0.09f, -0.08f, -0.07f, -0.06f, -0.05f, -0.04f,
                               -0.03f, -0.02f, -0.01f, 0.01f,  0.02f,  0.03f,
                               0.04f,  0.05f,  0.06f,  0.07f,  0.08f,  0.09f};

constexpr int kMaxTaps = 18;
// The sum of a pixel and its samples is at most this.
constexpr int kMaxSum = (kMaxTaps + 1) * 255;

// Pixels whose sample places are worked out together, a row's worth at most.
constexpr int kChunk = 64;

// An index 0..last from a sample position already shifted by 0.5: truncated
// toward zero, negatives and NaN to 0, positions past the end to the last.
class SampleIndex {
public:
    explicit SampleIndex(int size) : m_last(size - 1), m_lastFloat(static_cast<float>(m_last)) {
        // The largest float not above the last index, so that every position
        // up to it converts inside the range.
        if (static_cast<double>(m_lastFloat) > m_last) {
            m_lastFloat = std::nextafter(m_lastFloat, 0.0f);
        }
    }
    int operator()(float position) const {
        const float p = position > 0.0f ? position : 0.0f;
        return p > m_lastFloat ? m_last : static_cast<int>(p);
    }

private:
    int m_last;
    float m_lastFloat;
};

struct RadialPass {
    std::uint8_t* data;
    std::ptrdiff_t pitch;
    int bpp;
    int width;
    int centerX;
    int centerY;
    float reach;  // width / scale: the distance at which samples spread by their whole offset
    int tapCount;
    float taps[kMaxTaps];  // the offsets times amount * 4
    SampleIndex column;
    SampleIndex row;
    std::array<std::uint8_t, kMaxSum + 1> average;  // low byte of trunc(sum * weight)
};

using ChunkOffsets = std::ptrdiff_t[kMaxTaps][kChunk];

// Byte offsets of the samples of `count` pixels from (x0, y). The unit vector
// toward the centre and the distance factor are float steps, one pixel at a
// time, so every instruction set gives the same places.
void SampleOffsets(const RadialPass& pass, int x0, int y, int count, ChunkOffsets& offsets) {
    float ux[kChunk];
    float uy[kChunk];
    float k[kChunk];
    const float vy = static_cast<float>(pass.centerY - y);
    for (int i = 0; i < count; ++i) {
        const float vx = static_cast<float>(pass.centerX - (x0 + i));
        const float len = std::sqrt(vx * vx + vy * vy);
        ux[i] = vx / len;  // the centre pixel's NaNs are never used
        uy[i] = vy / len;
        k[i] = len / pass.reach;
    }
    const float py0 = static_cast<float>(y);
    for (int tap = 0; tap < pass.tapCount; ++tap) {
        const float t = pass.taps[tap];
        for (int i = 0; i < count; ++i) {
            const float bx = (ux[i] * t) * k[i];
            const float by = (uy[i] * t) * k[i];
            const float px = static_cast<float>(x0 + i) + bx;
            const float py = py0 + by;
            offsets[tap][i] = pass.row(py + 0.5f) * pass.pitch +
                              static_cast<std::ptrdiff_t>(pass.column(px + 0.5f)) * pass.bpp;
        }
    }
}

std::uint32_t LoadWord(const std::uint8_t* p) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Four-byte pixels: red and blue sum in the two halves of one word, green in
// another (19 * 255 fits 16 bits); the result goes back as one word, so that
// the next pixel's samples of it are forwarded from the store.
void AverageChunk4(const RadialPass& pass, const ChunkOffsets& offsets, int x0, int y, int count) {
    std::uint8_t* p = pass.data + y * pass.pitch + static_cast<std::ptrdiff_t>(x0) * 4;
    for (int i = 0; i < count; ++i, p += 4) {
        if (y == pass.centerY && x0 + i == pass.centerX) continue;
        const std::uint32_t own = LoadWord(p);
        std::uint32_t redBlue = own & 0x00FF00FF;
        std::uint32_t green = own & 0x0000FF00;
        for (int tap = 0; tap < pass.tapCount; ++tap) {
            const std::uint32_t sample = LoadWord(pass.data + offsets[tap][i]);
            redBlue += sample & 0x00FF00FF;
            green += sample & 0x0000FF00;
        }
        const std::uint32_t result = pass.average[redBlue & 0xFFFF] |
                                     pass.average[green >> 8] << 8 |
                                     pass.average[redBlue >> 16] << 16 | (own & 0xFF000000);
        std::memcpy(p, &result, sizeof result);
    }
}

void AverageChunk3(const RadialPass& pass, const ChunkOffsets& offsets, int x0, int y, int count) {
    std::uint8_t* p = pass.data + y * pass.pitch + static_cast<std::ptrdiff_t>(x0) * 3;
    for (int i = 0; i < count; ++i, p += 3) {
        if (y == pass.centerY && x0 + i == pass.centerX) continue;
        int red = p[0], green = p[1], blue = p[2];
        for (int tap = 0; tap < pass.tapCount; ++tap) {
            const std::uint8_t* sample = pass.data + offsets[tap][i];
            red += sample[0];
            green += sample[1];
            blue += sample[2];
        }
        p[0] = pass.average[red];
        p[1] = pass.average[green];
        p[2] = pass.average[blue];
    }
}

// Cloned for AVX-512 and AVX2, where the sample places are worked out eight
// or sixteen pixels at a time; IEEE float steps without contraction, so
// every version gives the same places.
TI_TARGET_CLONES void BlurRow(const RadialPass& pass, int y) {
    ChunkOffsets offsets;
    for (int x0 = 0; x0 < pass.width; x0 += kChunk) {
        const int count = pass.width - x0 < kChunk ? pass.width - x0 : kChunk;
        SampleOffsets(pass, x0, y, count, offsets);
        if (pass.bpp == TiRGBABpp) {
            AverageChunk4(pass, offsets, x0, y, count);
        } else {
            AverageChunk3(pass, offsets, x0, y, count);
        }
    }
}

bool SelectTaps(int quality, RadialPass& pass) {
    const float* table = nullptr;
    switch (quality) {
        case 1:
            table = kQuality1;
            pass.tapCount = static_cast<int>(std::size(kQuality1));
            break;
        case 2:
            table = kQuality2;
            pass.tapCount = static_cast<int>(std::size(kQuality2));
            break;
        case 3:
            table = kQuality3;
            pass.tapCount = static_cast<int>(std::size(kQuality3));
            break;
        default:
            return false;
    }
    for (int i = 0; i < pass.tapCount; ++i) pass.taps[i] = table[i];
    return true;
}

}  // namespace

int RadialBlur(TiBitmapData& bitmap, int amount, float scale, int quality) {
    const int bpp = bitmap.GetBpp();
    TI_ASSERT(bpp == TiRGBBpp || bpp == TiRGBABpp, "bpp == TiRGBBpp || bpp == TiRGBABpp", 29);
    RadialPass pass{bitmap.GetData(),
                    bitmap.GetPitch(),
                    bpp,
                    bitmap.GetWidth(),
                    bitmap.GetWidth() / 2,
                    bitmap.GetHeight() / 2,
                    static_cast<float>(bitmap.GetWidth()) / scale,
                    0,
                    {},
                    SampleIndex(bitmap.GetWidth()),
                    SampleIndex(bitmap.GetHeight()),
                    {}};
    if (!SelectTaps(quality, pass)) return 0;
    if (PixelCount(bitmap) == 0) return 1;

    const double spread = amount * 4.0;
    for (int i = 0; i < pass.tapCount; ++i) {
        pass.taps[i] = static_cast<float>(pass.taps[i] * spread);
    }
    // The pixel itself counts as one sample.
    const float weight = static_cast<float>(1.0 / (pass.tapCount + 1));
    for (int sum = 0; sum <= kMaxSum; ++sum) {
        pass.average[sum] = static_cast<std::uint8_t>(TiTrunc(sum * static_cast<double>(weight)));
    }
    // Serial on purpose: samples read the results of earlier rows and pixels.
    for (int y = 0; y < bitmap.GetHeight(); ++y) BlurRow(pass, y);
    return 1;
}

}  // namespace vantrel
