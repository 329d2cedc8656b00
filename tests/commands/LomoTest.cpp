// The lomo looks: every style's contract, recipes against the operations
// they are made of, the LOMO command, the panels' look list, and every look
// byte for byte against the golden pictures in tests/golden/lomo (run with
// VANTREL_REGENERATE_GOLDEN=1 to write them afresh; see the README there).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"
#include "commands/EffectsProcesser.h"
#include "commands/Lomo.h"
#include "commands/LomoRecipes.h"
#include "commands/NameTables.h"
#include "editing/panels/LomoLooks.h"
#include "platform/Picture.h"
#include "platform/PictureCodec.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::Pixels;

// Every look runs as in a fresh process: the noise look draws from random().
int RunStyle(TiBitmapData& bitmap, int style) {
    srandom(1);
    return ApplyLomoStyle(bitmap, style);
}

Bitmap Photo(int bpp = TiRGBABpp) {
    return test::Noise(41, 33, bpp, 7);
}

// 54 does nothing; larger or negative numbers and one-byte pictures are
// refused before any work. (That none and classic run the same recipe, and
// that it is a look, the golden pictures show.)
TEST(LomoStyle, NumbersAndPixelSizes) {
    Bitmap bitmap = Photo();
    EXPECT_EQ(RunStyle(*bitmap, 54), 1);
    for (int style : {55, -1, 1000, INT_MAX, INT_MIN}) {
        TiMemoryTestHook::Reset();
        EXPECT_EQ(RunStyle(*bitmap, style), 0) << style;
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0) << style;
    }
    EXPECT_EQ(Pixels(*bitmap), Pixels(*Photo()));
    Bitmap gray = test::Noise(9, 7, 1);
    EXPECT_EQ(RunStyle(*gray, LE_OldSepiaBlue), 0);
    EXPECT_EQ(Pixels(*gray), Pixels(*test::Noise(9, 7, 1)));
}

// ---- every style -------------------------------------------------------------

struct StyleCase {
    int style;
    int bpp;
};

class EveryLomoStyle : public testing::TestWithParam<StyleCase> {
protected:
    int Style() const { return GetParam().style; }
    int Bpp() const { return GetParam().bpp; }
};

// The enlarged copy of LE_3DGlasses is 1.25 times the photo, truncated; the
// photo's height must fit strictly inside it, which takes 4 rows or more.
bool FitsLook(int style, int height) {
    return style != LE_3DGlasses || static_cast<int>(height * 1.25f) > height;
}

TEST_P(EveryLomoStyle, RunsOnTinyOddSizesAndRegionsRefusingCleanlyWhereItCannot) {
    for (auto [width, height] : {std::pair{1, 1}, {2, 3}, {3, 4}, {97, 61}}) {
        Bitmap bitmap = test::Noise(width, height, Bpp(), 3);
        const Bitmap before = bitmap->Clone(false);
        const int result = RunStyle(*bitmap, Style());
        if (FitsLook(Style(), height)) {
            EXPECT_EQ(result, 1) << width << " x " << height;
        } else {
            EXPECT_EQ(result, 0) << width << " x " << height;
            EXPECT_EQ(Pixels(*bitmap), Pixels(*before)) << "refused before the photo changed";
        }
        if (Bpp() == TiRGBABpp) test::ExpectAlphaUnchanged(*before, *bitmap);
    }
    // A region is a picture of its own: masks, copies and the enlarged copy
    // are made at the region's size and centred on it.
    test::ExpectViewMatchesPackedCopy(
        [this] { return Photo(Bpp()); }, 7, 5, 26, 19,
        [this](TiBitmapData& bitmap) { return RunStyle(bitmap, Style()); });
}

// The steps whose buffer a recipe cannot do without: its copy, its mask, its
// enlarged copy, and the blurs it says must succeed.
std::set<std::size_t> BufferSteps(lomo::Recipe recipe) {
    std::set<std::size_t> steps;
    for (std::size_t i = 0; i < recipe.size(); ++i) {
        const lomo::Action& action = recipe[i].action;
        const auto* blur = std::get_if<lomo::GasBlur>(&action);
        if (std::holds_alternative<lomo::Copy>(action) ||
            std::holds_alternative<lomo::Mask>(action) ||
            std::holds_alternative<lomo::EnlargedCopy>(action) || (blur && blur->failsRecipe)) {
            steps.insert(i);
        }
    }
    return steps;
}

// Failing each allocation in turn: a recipe fails exactly where one of its
// own buffers is missing, with the steps before it done and nothing more;
// other missing memory only skips the step that wanted it. Leaks are the
// sanitizer build's to find.
TEST_P(EveryLomoStyle, MissingMemoryFailsOnlyAtItsOwnBuffersKeepingEarlierSteps) {
    const lomo::Recipe recipe = lomo::LomoRecipe(Style());
    const std::set<std::size_t> bufferSteps = BufferSteps(recipe);
    std::vector<std::vector<std::uint8_t>> doneBefore;
    for (std::size_t step : bufferSteps) {
        Bitmap bitmap = Photo(Bpp());
        srandom(1);
        ASSERT_EQ(RunLomoRecipe(*bitmap, recipe.first(step)), 1);
        doneBefore.push_back(Pixels(*bitmap));
    }
    std::set<std::size_t> failedAt;
    long n = 1;
    for (;; ++n) {
        Bitmap bitmap = Photo(Bpp());
        TiMemoryTestHook::FailAllocation(n);
        const int result = RunStyle(*bitmap, Style());
        const long allocations = TiMemoryTestHook::AllocationCount();
        TiMemoryTestHook::Reset();
        if (allocations < n) {
            EXPECT_EQ(result, 1);
            break;
        }
        if (result == 1) continue;
        const std::vector<std::uint8_t> after = Pixels(*bitmap);
        std::size_t k = 0;
        for (std::size_t step : bufferSteps) {
            if (doneBefore[k++] == after) failedAt.insert(step);
        }
        ASSERT_FALSE(failedAt.empty()) << "allocation " << n << " failed between buffer steps";
    }
    EXPECT_EQ(failedAt, bufferSteps);
}

std::vector<StyleCase> AllStyles() {
    std::vector<StyleCase> cases;
    for (int style = 0; style < static_cast<int>(kLomoStyleCount); ++style) {
        for (int bpp : {TiRGBBpp, TiRGBABpp}) cases.push_back({style, bpp});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Lomo, EveryLomoStyle, testing::ValuesIn(AllStyles()),
                         [](const testing::TestParamInfo<StyleCase>& info) {
                             return std::string(kLomoNames[info.param.style]) + "_" +
                                    std::to_string(info.param.bpp);
                         });

// ---- recipes against the operations they are made of -------------------------
// (Every look's bytes are pinned by the golden pictures below; these show
// what the golden pictures cannot: three-byte pixels and the grain's source.)

// The channel blends: blue and green of the inverted copy multiplied in,
// red colour-burnt by the photo's own red as it is being rewritten.
TEST(LomoRecipe, NegativeFilmBlendsSingleChannelsOfItsInvertedCopy) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        Bitmap expected = Photo(bpp);
        Bitmap inverted = expected->Clone(true);
        InvertColor(*inverted);
        BlendMode(*expected, CHANEL_B, *inverted, CHANEL_B, kBlendMultiply, 0.5);
        BlendMode(*expected, CHANEL_G, *inverted, CHANEL_G, kBlendMultiply, 0.2);
        BlendMode(*expected, CHANEL_R, *expected, CHANEL_R, kBlendColorBurn, 1.0);

        Bitmap bitmap = Photo(bpp);
        ASSERT_EQ(RunStyle(*bitmap, LE_NEGATIVEFILM), 1);
        EXPECT_EQ(Pixels(*bitmap), Pixels(*expected)) << bpp;
    }
}

// The grain of LE_OldSepiaBlue continues the process's random() sequence:
// two runs from the same seed agree, runs from different points differ.
TEST(LomoRecipe, OldSepiaBlueGrainFollowsTheRandomSequence) {
    Bitmap first = Photo();
    Bitmap second = Photo();
    Bitmap later = Photo();
    srandom(1);
    ASSERT_EQ(ApplyLomoStyle(*first, LE_OldSepiaBlue), 1);
    srandom(1);
    ASSERT_EQ(ApplyLomoStyle(*second, LE_OldSepiaBlue), 1);
    ASSERT_EQ(ApplyLomoStyle(*later, LE_OldSepiaBlue), 1);
    EXPECT_EQ(Pixels(*first), Pixels(*second));
    EXPECT_NE(Pixels(*first), Pixels(*later));
}

// ---- the LOMO command ----------------------------------------------------------

std::string logged;

// The command logs the style it runs (its look on the selected region is in
// the dispatcher's row sweep; a name outside the style table among its
// refusals).
TEST(LomoCommand, LogsTheStyleItRuns) {
    Bitmap bitmap = Photo();
    logged.clear();
    TiSetLogSink([](const char* line) { logged += line; });
    const bool done = EffectsProcesser().runCommands(
        test::ListOf(ActionCommand_LOMO::commandWithLomo(LE_DarkPink)), *bitmap);
    TiSetLogSink(nullptr);
    EXPECT_TRUE(done);
    EXPECT_NE(logged.find("Lomo: 31 LE_DarkPink"), std::string::npos) << logged;
}

// ---- the panels' looks and the golden pictures ------------------------------------

// Each section's positions run 1, 2, ... with no gap or repeat, every shown
// style appears once, and only the four command-only styles are missing.
TEST(LomoLooks, PanelsShowFiftyLooksEachOnceInGaplessPositions) {
    std::set<int> shown;
    std::size_t total = 0;
    for (LookSection section : kLookSections) {
        const std::vector<LomoLook> looks = LooksInSection(section);
        for (std::size_t i = 0; i < looks.size(); ++i) {
            EXPECT_EQ(looks[i].position, static_cast<int>(i) + 1) << SectionTitle(section);
            EXPECT_TRUE(shown.insert(looks[i].lomo).second) << looks[i].displayName;
            const LomoLook* found = FindLook(looks[i].lomo);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->displayName, looks[i].displayName);
        }
        total += looks.size();
    }
    EXPECT_EQ(total, 50u);
    EXPECT_EQ(total, LomoLooks().size());
    for (int hidden : {LE_CLASSIC, LE_ContrastRoomGlow, LE_SoftCreamFill, LE_SmartBW1}) {
        EXPECT_EQ(shown.count(hidden), 0u);
        EXPECT_EQ(FindLook(hidden), nullptr);
    }
}

const std::string kGoldenFolder = test::SourcePath("tests/golden/lomo/");
constexpr int kInputWidth = 96;
constexpr int kInputHeight = 64;

bool Regenerating() {
    const char* flag = std::getenv("VANTREL_REGENERATE_GOLDEN");
    return flag && std::string(flag) == "1";
}

std::string GoldenFile(int style) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d_", style);
    return kGoldenFolder + number + std::string(kLomoNames[style]) + ".png";
}

// The input: the parrots photo scaled down by 8 with the zoom operation.
void WriteInput() {
    Result<Picture> photo = ReadPictureFile(test::TestDataPath("photos/kodim23.png"));
    ASSERT_TRUE(photo.ok()) << photo.error();
    auto source = BitmapFromPicture(photo.value());
    ASSERT_TRUE(source);
    auto small = CreateImageZoom(*source, kInputWidth, kInputHeight);
    ASSERT_TRUE(small);
    ASSERT_TRUE(WritePictureFile(PictureFromBitmap(*small), kGoldenFolder + "input.png").ok());
}

TEST(LomoGolden, EveryStyleMatchesItsStoredPicture) {
    if (Regenerating()) WriteInput();
    Result<Picture> input = ReadPictureFile(kGoldenFolder + "input.png");
    ASSERT_TRUE(input.ok()) << input.error();
    ASSERT_EQ(input.value().width(), kInputWidth);
    for (int style = 0; style < static_cast<int>(kLomoStyleCount); ++style) {
        auto bitmap = BitmapFromPicture(input.value());
        ASSERT_TRUE(bitmap);
        srandom(1);
        ASSERT_EQ(ApplyLomoStyle(*bitmap, style), 1) << kLomoNames[style];
        const Picture result = PictureFromBitmap(*bitmap);
        if (Regenerating()) {
            ASSERT_TRUE(WritePictureFile(result, GoldenFile(style)).ok());
            continue;
        }
        Result<Picture> expected = ReadPictureFile(GoldenFile(style));
        ASSERT_TRUE(expected.ok()) << expected.error();
        EXPECT_EQ(test::BytesOf(result), test::BytesOf(expected.value())) << kLomoNames[style];
    }
}

}  // namespace
}  // namespace vantrel
