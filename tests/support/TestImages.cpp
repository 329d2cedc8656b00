#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "Core/global/TiMemory.h"

namespace vantrel::test {

Bitmap MakeBitmap(int width, int height, int bpp, const PixelRule& rule) {
    const int pitch = width * bpp;
    auto* data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(pitch) * height + 1));
    auto bitmap = std::make_unique<TiBitmapData>(data, width, height, pitch, bpp, true);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c) data[y * pitch + x * bpp + c] = rule(x, y, c);
    return bitmap;
}

Bitmap Constant(int width, int height, int bpp, std::vector<std::uint8_t> pixel) {
    return MakeBitmap(width, height, bpp, [pixel](int, int, int c) { return pixel.at(c); });
}

Bitmap Gradient(int width, int height, int bpp) {
    return MakeBitmap(width, height, bpp, [width, height](int x, int y, int c) {
        const int w = width > 1 ? width - 1 : 1, h = height > 1 ? height - 1 : 1;
        const int channels[4] = {x * 255 / w, y * 255 / h, (x + y) * 255 / (w + h), 255};
        return static_cast<std::uint8_t>(channels[c]);
    });
}

Bitmap Noise(int width, int height, int bpp, std::uint32_t seed) {
    return MakeBitmap(width, height, bpp, [width, bpp, seed](int x, int y, int c) {
        std::uint32_t v = seed * 2654435761u ^ ((y * width + x) * bpp + c) * 2246822519u;
        v ^= v >> 15;
        v *= 2654435769u;
        v ^= v >> 13;
        return static_cast<std::uint8_t>(v >> 24);
    });
}

Bitmap RgbCube(int width, int height, int bpp) {
    return MakeBitmap(width, height, bpp, [width](int x, int y, int c) {
        const int index = (y * width + x) % 4913;
        const int channels[4] = {index % 17 * 15, index / 17 % 17 * 15, index / 289 * 15, 255};
        return static_cast<std::uint8_t>(channels[c]);
    });
}

Bitmap Strip(int bpp, const std::vector<Rgba>& pixels) {
    return MakeBitmap(static_cast<int>(pixels.size()), 1, bpp,
                      [&pixels](int x, int, int c) { return pixels.at(x).at(c); });
}

Rgba PixelAt(const TiBitmapData& bitmap, int x, int y) {
    Rgba pixel{};
    for (int c = 0; c < bitmap.GetBpp() && c < 4; ++c) pixel[c] = bitmap.GetPixel(x, y)[c];
    return pixel;
}

std::vector<Rgba> Row(const TiBitmapData& bitmap, int y) {
    std::vector<Rgba> row;
    for (int x = 0; x < bitmap.GetWidth(); ++x) row.push_back(PixelAt(bitmap, x, y));
    return row;
}

std::vector<Rgba> Applied(int bpp, const std::vector<Rgba>& pixels, const Operation& operation) {
    Bitmap strip = Strip(bpp, pixels);
    EXPECT_EQ(operation(*strip), 1);
    return Row(*strip);
}

std::vector<int> ValueMap(const Operation& operation, int byte, int bpp) {
    Bitmap strip = MakeBitmap(256, 1, bpp, [](int x, int, int c) { return c == 3 ? 200 : x; });
    EXPECT_EQ(operation(*strip), 1);
    std::vector<int> map;
    for (int x = 0; x < 256; ++x) map.push_back(strip->GetPixel(x, 0)[byte]);
    return map;
}

std::vector<std::uint8_t> Pixels(const TiBitmapData& bitmap) {
    std::vector<std::uint8_t> bytes;
    const size_t row = static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetBpp();
    bytes.reserve(row * bitmap.GetHeight());
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        const unsigned char* p = bitmap.GetData() + static_cast<ptrdiff_t>(y) * bitmap.GetPitch();
        bytes.insert(bytes.end(), p, p + row);
    }
    return bytes;
}

std::vector<std::uint8_t> Buffer(const TiBitmapData& bitmap) {
    const size_t bytes = static_cast<size_t>(bitmap.GetHeight()) * bitmap.GetPitch();
    return std::vector<std::uint8_t>(bitmap.GetData(), bitmap.GetData() + bytes);
}

int ExpectRefusalsLeaveBitmapUnchanged(const std::function<Bitmap()>& make,
                                       const std::function<int(TiBitmapData&)>& operation) {
    int refused = 0;
    for (long n = 1; n < 1000; ++n) {
        Bitmap bitmap = make();
        const std::vector<std::uint8_t> before = Pixels(*bitmap);
        TiMemoryTestHook::FailAllocation(n);
        const int result = operation(*bitmap);
        const long allocations = TiMemoryTestHook::AllocationCount();
        TiMemoryTestHook::Reset();
        if (allocations < n) {
            EXPECT_NE(result, 0) << "succeeds once no allocation fails";
            return refused;
        }
        if (result == 0) {
            ++refused;
            EXPECT_EQ(Pixels(*bitmap), before) << "refused at allocation " << n;
        }
    }
    ADD_FAILURE() << "operation kept allocating";
    return refused;
}

void ExpectViewMatchesPackedCopy(const std::function<Bitmap()>& make, int x, int y, int width,
                                 int height, const std::function<int(TiBitmapData&)>& operation) {
    Bitmap parent = make();
    const Bitmap original = parent->Clone(false);
    auto view = parent->GetBitmapDataFromRect(x, y, width, height);
    Bitmap packed = view->Clone(false);
    EXPECT_EQ(operation(*view), operation(*packed));
    EXPECT_EQ(Pixels(*view), Pixels(*packed)) << "region differs from the packed run";
    const int bpp = parent->GetBpp();
    for (int row = 0; row < parent->GetHeight(); ++row) {
        for (int col = 0; col < parent->GetWidth(); ++col) {
            if (col >= x && col < x + width && row >= y && row < y + height) continue;
            ASSERT_EQ(0, std::memcmp(parent->GetPixel(col, row), original->GetPixel(col, row), bpp))
                << "pixel outside the region changed at " << col << "," << row;
        }
    }
}

void ExpectAlphaUnchanged(const TiBitmapData& before, const TiBitmapData& after) {
    ASSERT_EQ(before.GetBpp(), TiRGBABpp);
    ASSERT_EQ(after.GetBpp(), TiRGBABpp);
    for (int y = 0; y < before.GetHeight(); ++y)
        for (int x = 0; x < before.GetWidth(); ++x)
            ASSERT_EQ(before.GetPixel(x, y)[3], after.GetPixel(x, y)[3]) << x << "," << y;
}

}  // namespace vantrel::test
