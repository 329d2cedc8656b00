// Curves, levels and the point colour operations with parameters straight
// from the fuzzer's bytes (NaN, infinities, huge and negative values): no
// undefined behaviour, no write outside the bitmap or the sampled table, and
// a refusal leaves the pixels as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T Take() {
        T value{};
        const std::size_t n = m_size - m_used < sizeof(T) ? m_size - m_used : sizeof(T);
        std::memcpy(&value, m_data + m_used, n);
        m_used += n;
        return value;
    }
    std::uint8_t Next() { return m_used < m_size ? m_data[m_used++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

void SampleIntoGuardedTable(Bytes& in) {
    CurveSpline spline;
    const int count = in.Next() % 12;
    for (int i = 0; i < count; ++i) spline.AppendPoint(in.Take<Vec3>());
    const int size = in.Take<std::uint16_t>() % 1024;
    const int samples = in.Take<std::uint16_t>() % 4096;
    const int low = in.Take<int>();
    const int high = in.Take<int>();
    std::vector<unsigned char> guarded(size + 128, 0x5A);
    SampleCurveTable(spline, guarded.data() + 64, size, samples, low, high);
    for (int i = 0; i < 64; ++i) {
        if (guarded[i] != 0x5A || guarded[64 + size + i] != 0x5A) std::abort();
    }
    spline.Evaluate(in.Take<float>());
}

// Parameters are taken in a fixed order before each call (the order in which
// function arguments are evaluated is unspecified).
int RunOperation(int which, Bytes& in, TiBitmapData& bitmap) {
    if (which == 0) {
        std::vector<Vec3> points(in.Next() % 16);
        for (Vec3& point : points) point = in.Take<Vec3>();
        const int channel = in.Take<int>();
        return AdjustCurveBySplinePoints(bitmap, points.data(), static_cast<int>(points.size()),
                                         channel);
    }
    if (which == 1) {
        const int low = in.Take<int>();
        const int high = in.Take<int>();
        const double gamma = in.Take<double>();
        return AdjustLevels(bitmap, low, high, gamma, in.Take<int>());
    }
    if (which == 6) {
        const float brightness = in.Take<float>();
        return AdjustBrightnessContrast(bitmap, brightness, in.Take<float>());
    }
    switch (which) {
        case 2:
            return AutoLevels(bitmap);
        case 3:
            return ConvertToGray(bitmap);
        case 4:
            return InvertColor(bitmap);
        case 5:
            return ComplementColor(bitmap);
        case 7:
            return AdjustExposure(bitmap, in.Take<float>());
        case 8:
            return Posterize(bitmap, in.Take<int>());
        case 9:
            return Threshold(bitmap, in.Take<int>());
        case 10:
            return Equalize(bitmap, in.Take<int>());
        case 11:
            return MixChannels(bitmap, in.Take<TinyChannelMixer>());
        default:
            return MixChannelsToGray(bitmap, in.Take<TinyChannelMixScale>());
    }
}

}  // namespace
}  // namespace vantrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantrel;
    Bytes in(data, size);
    const int which = in.Next() % 14;
    if (which == 13) {
        SampleIntoGuardedTable(in);
        return 0;
    }
    const int width = in.Next() % 24;
    const int height = in.Next() % 24;
    const int format = in.Next() % 3;
    const int bpp = format == 0 ? 1 : (format == 1 ? TiRGBBpp : TiRGBABpp);
    const int pitch = width * bpp + in.Next() % 5;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(pitch) * height + 1);
    for (unsigned char& byte : pixels) byte = in.Next();
    const std::vector<unsigned char> before = pixels;
    TiBitmapData bitmap(pixels.data(), width, height, pitch, bpp, false);
    int result = 1;
    try {
        result = RunOperation(which, in, bitmap);
    } catch (const TiAssertionError&) {
        result = 0;  // a curve channel outside 0..3: stopped before any pixel
    }
    if (result == 0 && pixels != before) std::abort();
    // Whatever the result: the bytes between rows and alpha are never written.
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * pitch;
        for (int x = width * bpp; x < pitch; ++x) {
            if (pixels[row + x] != before[row + x]) std::abort();
        }
        for (int x = 0; bpp == TiRGBABpp && x < width; ++x) {
            if (pixels[row + 4 * x + 3] != before[row + 4 * x + 3]) std::abort();
        }
    }
    return 0;
}
