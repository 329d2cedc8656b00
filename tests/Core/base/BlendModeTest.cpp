#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Core/base/BlendMode.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::ExpectAssertion;

constexpr const char kFile[] = "Core/base/BlendMode";

std::vector<unsigned char> Table(int mode, double opacity) {
    std::vector<unsigned char> table(kBlendTableSize);
    GenerateLookupTable(table.data(), mode, opacity);
    return table;
}

unsigned char Entry(const std::vector<unsigned char>& table, int a, int b) {
    return table[a * 256 + b];
}

struct TableCase {
    int mode, base, blend;
    double opacity;
    int expected;
};

// Expected entries come from a separate reference of the formulas (exact
// single-precision rounding where the colour burn asks for it). The entries
// at opacity 0.3 / 0.55 / 0.7 include ones that come out differently when the
// mix, or a real-valued mode, is computed in single precision, or when the
// colour burn is computed in double or truncated before the mix: e.g.
// Multiply(3, 255) at 0.3 is 2, since 3 * 0.7 + 3 * 0.3 is just below 3 in
// double.
TEST(BlendTable, EntriesOfEveryModeMatchTheReference) {
    // clang-format off
    const TableCase cases[] = {
        {1, 90, 200, 1.0, 90}, {1, 200, 90, 1.0, 90}, {1, 200, 90, 0.3, 167},
        {2, 90, 200, 1.0, 200}, {2, 200, 90, 1.0, 200}, {2, 90, 200, 0.7, 167},
        {3, 200, 100, 1.0, 78}, {3, 3, 255, 0.3, 2}, {3, 11, 24, 0.3, 7},
        {4, 200, 100, 1.0, 222}, {4, 30, 60, 0.7, 67}, {4, 77, 0, 1.0, 77},
        {5, 100, 200, 1.0, 255}, {5, 10, 254, 1.0, 255}, {5, 100, 255, 0.3, 146}, {5, 60, 128, 0.55, 93},
        {6, 100, 200, 1.0, 57}, {6, 200, 30, 1.0, 0}, {6, 80, 225, 0.3, 72}, {6, 45, 245, 0.7, 39},
        {7, 100, 200, 1.0, 255}, {7, 40, 60, 1.0, 100}, {7, 40, 60, 0.3, 58},
        {8, 100, 200, 1.0, 45}, {8, 40, 60, 1.0, 0}, {8, 200, 180, 0.7, 147},
        {9, 100, 200, 1.0, 156}, {9, 200, 100, 1.0, 189}, {9, 34, 15, 0.3, 24}, {9, 102, 240, 0.7, 164},
        {10, 17, 15, 1.0, 3}, {10, 51, 65, 1.0, 30}, {10, 200, 220, 1.0, 218}, {10, 51, 65, 0.3, 44},
        {10, 170, 75, 0.3, 162},
        {11, 100, 200, 1.0, 189}, {11, 200, 100, 1.0, 156}, {11, 2, 223, 0.3, 58}, {11, 2, 193, 0.7, 92},
        {12, 100, 60, 1.0, 0}, {12, 200, 60, 1.0, 138}, {12, 100, 200, 1.0, 231}, {12, 1, 251, 0.3, 9},
        {12, 1, 251, 0.7, 22}, {12, 3, 129, 0.3, 2},
        {13, 100, 200, 1.0, 245}, {13, 100, 60, 1.0, 0}, {13, 100, 150, 0.3, 113},
        {14, 145, 200, 1.0, 145}, {14, 20, 200, 1.0, 145}, {14, 250, 60, 1.0, 120}, {14, 20, 200, 0.7, 107},
        {15, 100, 155, 1.0, 255}, {15, 100, 154, 1.0, 0}, {15, 100, 155, 0.3, 146},
        {16, 100, 200, 1.0, 255}, {16, 40, 60, 1.0, 100}, {16, 40, 60, 0.7, 82},
        {17, 100, 30, 1.0, 0}, {17, 30, 100, 1.0, 70}, {17, 30, 100, 0.3, 42},
        {18, 30, 100, 1.0, 70}, {18, 100, 30, 1.0, 70}, {18, 30, 100, 0.7, 58},
        {19, 100, 200, 1.0, 144}, {19, 128, 128, 1.0, 128}, {19, 100, 200, 0.3, 113},
        {20, 100, 200, 1.0, 222}, {20, 128, 128, 1.0, 192}, {20, 100, 200, 0.7, 185},
    };
    // clang-format on
    for (const TableCase& c : cases) {
        EXPECT_EQ(Entry(Table(c.mode, c.opacity), c.base, c.blend), c.expected)
            << "mode " << c.mode << " (" << c.base << ", " << c.blend << ") at " << c.opacity;
    }
}

TEST(BlendTable, ModeBoundaries) {
    const auto multiply = Table(kBlendMultiply, 1.0);
    const auto screen = Table(kBlendScreen, 1.0);
    const auto burn = Table(kBlendColorBurn, 1.0);
    const auto vivid = Table(kBlendVividLight, 1.0);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(Entry(multiply, a, 255), a);
        EXPECT_EQ(Entry(screen, a, 0), a);
        EXPECT_EQ(Entry(burn, a, 0), 0);
        EXPECT_EQ(Entry(vivid, a, 0), 0);
        EXPECT_EQ(Entry(burn, 255, a == 0 ? 1 : a), 255);
    }
    EXPECT_EQ(Entry(Table(kBlendPinLight, 1.0), 145, 200), 145);  // on the lower bound
    EXPECT_EQ(Entry(Table(kBlendSub, 1.0), 100, 30), 0);
    EXPECT_EQ(Entry(Table(kBlendSub, 1.0), 30, 100), 70);
    EXPECT_EQ(Entry(Table(kBlendOverlay, 1.0), 128, 255), 255);
    EXPECT_EQ(Entry(Table(kBlendHardLight, 1.0), 255, 128), 255);
    EXPECT_EQ(Table(kBlendAdd, 0.6), Table(kBlendLinearDodge, 0.6));
}

TEST(BlendTable, OpacityZeroIsTheIdentityForEveryMode) {
    for (int mode = 1; mode <= 20; ++mode) {
        const auto table = Table(mode, 0.0);
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; b += 17) ASSERT_EQ(Entry(table, a, b), a) << "mode " << mode;
    }
}

TEST(BlendTable, RefusesModesAndOpacitiesOutOfRange) {
    std::vector<unsigned char> table(kBlendTableSize, 7);
    for (int mode : {0, 21, -3}) {
        ExpectAssertion([&] { GenerateLookupTable(table.data(), mode, 0.5); }, "false",
                        "GenerateLookupTable", kFile, 161);
    }
    EXPECT_EQ(Entry(table, 200, 3), 200) << "the identity is written before the checks";
    for (double opacity : {-0.01, 1.01, std::nan("")}) {
        ExpectAssertion([&] { GenerateLookupTable(table.data(), kBlendScreen, opacity); },
                        "opacity >= 0 && opacity <= 1.0", "GenerateLookupTable", kFile, 96);
    }
    struct Own {
        void (*generator)(unsigned char*, double);
        const char* name;
        int line;
    };
    const Own own[] = {{GLT_Darken, "GLT_Darken", 300},
                       {GLT_ColorBurn, "GLT_ColorBurn", 375},
                       {GLT_SoftLight, "GLT_SoftLight", 467},
                       {GLT_VividLight, "GLT_VividLight", 490},
                       {GLT_SoftGlow, "GLT_SoftGlow", 637}};
    for (const Own& g : own) {
        ExpectAssertion([&] { g.generator(table.data(), 2.0); }, "opacity >= 0 && opacity <= 1.0",
                        g.name, kFile, g.line);
    }
    ExpectAssertion([] { ConvertRGBIndex(5); }, "false", "ConvertRGBIndex", kFile, 185);
    ExpectAssertion([] { ConvertRGBIndex(0); }, "false", "ConvertRGBIndex", kFile, 185);
    EXPECT_EQ(ConvertRGBIndex(1), 0);
    EXPECT_EQ(ConvertRGBIndex(4), 3);
}

Bitmap Pixel(std::vector<std::uint8_t> bytes) {
    const int bpp = static_cast<int>(bytes.size());
    return test::Constant(1, 1, bpp, bytes);
}

std::vector<std::uint8_t> BytesOf(const TiBitmapData& bitmap) {
    return test::Pixels(bitmap);
}

// The four ways of pairing channel selectors, on one pixel with Add, so that
// re-reading a rewritten byte shows in the result.
TEST(BlendModePass, ChannelSelectorCases) {
    auto both = Pixel({100, 50, 20, 9});
    const auto layer = Pixel({100, 10, 30});
    ASSERT_EQ(BlendMode(*both, 0, *layer, 0, kBlendAdd, 1.0), 1);
    EXPECT_EQ(BytesOf(*both), (std::vector<std::uint8_t>{200, 60, 50, 9}));

    // Red as base for all three: red becomes 200 first, green and blue then
    // read that new red.
    auto byRed = Pixel({100, 50, 20, 9});
    ASSERT_EQ(BlendMode(*byRed, 1, *layer, 0, kBlendAdd, 1.0), 1);
    EXPECT_EQ(BytesOf(*byRed), (std::vector<std::uint8_t>{200, 210, 230, 9}));

    // Green as base: red reads the old green, green becomes 60, blue reads that.
    auto byGreen = Pixel({100, 50, 20, 9});
    ASSERT_EQ(BlendMode(*byGreen, 2, *layer, 0, kBlendAdd, 1.0), 1);
    EXPECT_EQ(BytesOf(*byGreen), (std::vector<std::uint8_t>{150, 60, 90, 9}));

    auto byBlendBlue = Pixel({100, 50, 20, 9});
    ASSERT_EQ(BlendMode(*byBlendBlue, 0, *layer, 3, kBlendAdd, 1.0), 1);
    EXPECT_EQ(BytesOf(*byBlendBlue), (std::vector<std::uint8_t>{130, 80, 50, 9}));

    auto alphaOnly = Pixel({100, 50, 20, 9});
    ASSERT_EQ(BlendMode(*alphaOnly, 4, *layer, 2, kBlendAdd, 1.0), 1);
    EXPECT_EQ(BytesOf(*alphaOnly), (std::vector<std::uint8_t>{100, 50, 20, 19}));
}

TEST(BlendModePass, ABitmapBlendsWithItself) {
    auto bitmap = Pixel({200, 100, 40, 255});
    ASSERT_EQ(BlendMode(*bitmap, 0, *bitmap, 0, kBlendMultiply, 1.0), 1);
    EXPECT_EQ(BytesOf(*bitmap), (std::vector<std::uint8_t>{156, 39, 6, 255}));

    // Red burnt by itself, as a negative-film look does.
    auto burnt = Pixel({100, 50, 20, 255});
    ASSERT_EQ(BlendMode(*burnt, 1, *burnt, 1, kBlendColorBurn, 1.0), 1);
    EXPECT_EQ(BytesOf(*burnt), (std::vector<std::uint8_t>{0, 50, 20, 255}));
}

// Every pairing of pixel sizes, large enough to be split across threads,
// against one table lookup per byte; alpha untouched.
class BlendModeSizes : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(BlendModeSizes, EveryColourByteIsOneLookup) {
    const auto [dstBpp, srcBpp] = GetParam();
    const auto before = test::Noise(640, 480, dstBpp, 3);
    const auto layer = test::Noise(640, 480, srcBpp, 4);
    auto bitmap = before->Clone();
    ASSERT_EQ(BlendMode(*bitmap, 0, *layer, 0, kBlendSoftLight, 0.8), 1);
    const auto table = Table(kBlendSoftLight, 0.8);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const unsigned char* was = before->GetPixel(x, y);
            const unsigned char* got = bitmap->GetPixel(x, y);
            const unsigned char* over = layer->GetPixel(x, y);
            for (int n = 0; n < 3; ++n) ASSERT_EQ(got[n], Entry(table, was[n], over[n]));
            if (dstBpp == 4) {
                ASSERT_EQ(got[3], was[3]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, BlendModeSizes,
                         ::testing::Combine(::testing::Values(3, 4), ::testing::Values(3, 4)));

TEST(BlendModePass, RefusesWhatItCannotBlend) {
    auto rgb = test::Gradient(4, 3, 3);
    auto rgba = test::Gradient(4, 3, 4);
    auto gray = test::Gradient(4, 3, 1);
    const auto original = test::Pixels(*rgb);
    EXPECT_EQ(BlendMode(*rgb, 4, *rgba, 0, kBlendScreen, 1.0), 0) << "no alpha to blend";
    EXPECT_EQ(BlendMode(*rgb, 0, *rgba, 0, kBlendScreen, 1.0), 1);
    EXPECT_NE(test::Pixels(*rgb), original);
    auto rgbAgain = test::Gradient(4, 3, 3);
    EXPECT_EQ(BlendMode(*rgbAgain, 0, *rgb, 4, kBlendScreen, 1.0), 0) << "the layer has no alpha";
    EXPECT_EQ(BlendMode(*gray, 0, *gray, 0, kBlendScreen, 1.0), 0) << "no colour bytes";
    EXPECT_EQ(test::Pixels(*rgbAgain), original);
    EXPECT_EQ(BlendMode(*gray, 1, *gray, 1, kBlendScreen, 1.0), 1) << "one byte is enough";

    auto small = test::Gradient(3, 3, 4);
    auto low = test::Gradient(4, 2, 4);
    ExpectAssertion([&] { BlendMode(*rgba, 0, *small, 0, 1, 1.0); }, "width == blendWidth",
                    "BlendMode", kFile, 17);
    ExpectAssertion([&] { BlendMode(*rgba, 0, *low, 0, 1, 1.0); }, "height == blendHeight",
                    "BlendMode", kFile, 18);
    ExpectAssertion([&] { BlendMode(*rgba, 0, *rgb, 0, 1, 1.5); }, "opacity >= 0 && opacity <= 1.0",
                    "BlendMode", kFile, 20);
    ExpectAssertion([&] { BlendMode(*rgba, 0, *rgb, 0, 0, 1.0); }, "false", "GenerateLookupTable",
                    kFile, 161);
    ExpectAssertion([&] { BlendMode(*rgba, 5, *rgb, 0, 1, 1.0); }, "false", "ConvertRGBIndex",
                    kFile, 185);
    const auto table = Table(1, 1.0);
    ExpectAssertion([&] { AdjustBlendModeCurve(*rgba, 0, *small, 0, table.data()); },
                    "width == blendWidth", "AdjustBlendModeCurve", kFile, 210);
    ExpectAssertion([&] { AdjustBlendModeCurve(*rgba, 0, *low, 0, table.data()); },
                    "height == blendHeight", "AdjustBlendModeCurve", kFile, 211);
}

TEST(BlendModePass, ViewsAndMissingMemoryLeaveTheRestAlone) {
    const auto layer = test::Noise(5, 4, 3, 9);
    const auto blend = [&](TiBitmapData& b) {
        return BlendMode(b, 0, *layer, 0, kBlendOverlay, 0.6);
    };
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(12, 9, 4, 2); }, 3, 2, 5, 4, blend);
    const auto whole = test::Noise(5, 4, 3, 5);
    EXPECT_GE(test::ExpectRefusalsLeaveBitmapUnchanged(
                  [] { return test::Noise(5, 4, 4, 2); },
                  [&](TiBitmapData& b) { return BlendMode(b, 0, *whole, 0, kBlendDarken, 1.0); }),
              1);
}

TEST(BlendGrayMask, BlendsTheMaskIntoTheNamedBytes) {
    const std::vector<unsigned char> mask = {0, 128, 255, 64};
    auto all = test::Constant(2, 2, 4, {200, 100, 50, 33});
    ASSERT_EQ(BlendGrayMask(*all, 0, mask.data(), kBlendMultiply, 1.0), 1);
    EXPECT_EQ(test::Pixels(*all), (std::vector<std::uint8_t>{0, 0, 0, 33,       //
                                                             100, 50, 25, 33,   //
                                                             200, 100, 50, 33,  //
                                                             50, 25, 12, 33}));
    auto green = test::Constant(2, 2, 3, {200, 100, 50});
    ASSERT_EQ(BlendGrayMask(*green, 2, mask.data(), kBlendScreen, 1.0), 1);
    EXPECT_EQ(test::Pixels(*green), (std::vector<std::uint8_t>{200, 100, 50,  //
                                                               200, 178, 50,  //
                                                               200, 255, 50,  //
                                                               200, 139, 50}));
    auto alpha = test::Constant(2, 2, 4, {1, 2, 3, 100});
    ASSERT_EQ(BlendGrayMask(*alpha, 4, mask.data(), kBlendAdd, 0.5), 1);
    EXPECT_EQ(test::Pixels(*alpha), (std::vector<std::uint8_t>{1, 2, 3, 100,  //
                                                               1, 2, 3, 164,  //
                                                               1, 2, 3, 177,  //
                                                               1, 2, 3, 132}));
    auto gray = test::Constant(2, 2, 1, {10});
    ASSERT_EQ(BlendGrayMask(*gray, 1, mask.data(), kBlendLighten, 1.0), 1);
    EXPECT_EQ(test::Pixels(*gray), (std::vector<std::uint8_t>{10, 128, 255, 64}));
}

TEST(BlendGrayMask, RefusalsViewsAndMissingMemory) {
    const std::vector<unsigned char> mask(20, 90);
    auto rgb = test::Gradient(5, 4, 3);
    auto gray = test::Gradient(5, 4, 1);
    const auto original = test::Pixels(*rgb);
    EXPECT_EQ(BlendGrayMask(*rgb, 4, mask.data(), kBlendScreen, 1.0), 0);
    EXPECT_EQ(BlendGrayMask(*gray, 0, mask.data(), kBlendScreen, 1.0), 0);
    EXPECT_EQ(BlendGrayMask(*rgb, 0, nullptr, kBlendScreen, 1.0), 0);
    EXPECT_EQ(test::Pixels(*rgb), original);
    ExpectAssertion([&] { BlendGrayMask(*rgb, 0, mask.data(), kBlendScreen, -1.0); },
                    "opacity >= 0 && opacity <= 1.0", "BlendGrayMask", kFile, 42);
    ExpectAssertion([&] { BlendGrayMask(*rgb, 7, mask.data(), kBlendScreen, 1.0); }, "false",
                    "ConvertRGBIndex", kFile, 185);

    const auto blend = [&](TiBitmapData& b) {
        return BlendGrayMask(b, 0, mask.data(), kBlendColorDodge, 0.7);
    };
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(11, 8, 4, 6); }, 4, 3, 5, 4, blend);
    EXPECT_GE(
        test::ExpectRefusalsLeaveBitmapUnchanged([] { return test::Noise(5, 4, 3, 1); }, blend), 1);
}

}  // namespace
}  // namespace vantrel
