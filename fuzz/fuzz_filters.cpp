// Every filter on small pictures, with parameters taken straight from the
// input: wild radii, widths, amounts and angles must never crash or reach
// undefined behaviour. Refused preconditions (assertions) are fine.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/Sketch.h"
#include "Core/global/TiAssert.h"

namespace {

using namespace vantrel;

// Reads the input front to back; zeros once it runs out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    template <typename T>
    T Value() {
        std::uint8_t bytes[sizeof(T)] = {};
        for (std::uint8_t& b : bytes) b = Byte();
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    const std::uint8_t* Rest(std::size_t* size) const {
        *size = m_size - m_at;
        return m_data + m_at;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// A parameter usually near the panels' ranges, sometimes anything at all.
int Parameter(Input& in) {
    const auto raw = in.Value<std::int32_t>();
    return in.Byte() % 4 == 0 ? raw : raw % 300;
}

int RunFilter(TiBitmapData& bitmap, int filter, Input& in) {
    const int a = Parameter(in);
    const int b = Parameter(in);
    const auto f = in.Value<float>();
    switch (filter) {
        case 0:
            return GasBlur(bitmap, a, b);
        case 1:
            return AddNoise(bitmap, a, b & 1);
        case 2:
            return ReduceNoise(bitmap, a);
        case 3:
            return RedEyeRemoval(bitmap, a);
        case 4:
            return Emboss(bitmap, f, a, b);
        case 5:
            return Painting(bitmap, a, b);
        case 6:
            return Mosaics(bitmap, a);
        case 7:
            return Dot(bitmap, a);
        case 8:
            return Diffuse(bitmap, a, b);
        case 9:
            return Sketch(bitmap, a);
        default: {
            auto surround = bitmap.Clone(false);
            if (!surround) return 0;
            GasBlur(*surround, RetinexBlurRadius(a % 32));
            return retinex(bitmap, *surround, a, b, f);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const int filter = in.Byte() % 11;
    const int width = 1 + in.Byte() % 40;
    const int height = 1 + in.Byte() % 40;
    constexpr int kPixelSizes[] = {1, TiRGBBpp, TiRGBABpp};
    const int bpp = kPixelSizes[in.Byte() % 3];
    const int pitch = width * bpp + in.Byte() % 5;  // views have wider rows
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pitch) * height);
    std::size_t restSize = 0;
    const std::uint8_t* rest = in.Rest(&restSize);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = restSize ? rest[i % restSize] : static_cast<std::uint8_t>(i);
    }
    TiBitmapData bitmap(pixels.data(), width, height, pitch, bpp, false);
    try {
        RunFilter(bitmap, filter, in);
    } catch (const TiAssertionError&) {
    }
    return 0;
}
