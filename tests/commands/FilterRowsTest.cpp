// The filter rows: each command, at a preview scale and confined to a
// selection, does what its operation does on that region with the spatial
// parameters the command table marks scaled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "Core/filter/Bokeh.h"
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Sketch.h"
#include "Core/filter/Unsharp.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::ListOf;
using test::Pixels;
using test::Selection;
using test::WithRegion;

// The selection (8, 6, 40, 30) at paramScale 0.5 is the region (4, 3, 20, 15).
constexpr double kScale = 0.5;
constexpr int kX = 4, kY = 3, kWidth = 20, kHeight = 15;

struct FilterRowCase {
    std::string name;
    std::function<std::unique_ptr<ActionCommand>()> command;
    std::function<void(TiBitmapData&)> operation;  // on the region, parameters already scaled
};

class FilterRowTest : public ::testing::TestWithParam<FilterRowCase> {};

TEST_P(FilterRowTest, ActsOnTheSelectionWithScaledParameters) {
    const FilterRowCase& row = GetParam();
    auto bitmap = test::Noise(36, 24, TiRGBABpp, 11);
    srandom(1);
    const auto expected = WithRegion(*bitmap, kX, kY, kWidth, kHeight, row.operation);
    EffectsProcesser processor;
    processor.setParamScale(kScale);
    srandom(1);
    ASSERT_TRUE(processor.runCommands(ListOf(Selection(8, 6, 40, 30), row.command()), *bitmap))
        << ErrorManager::sharedErrorManager().errorString();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterRowTest,
    ::testing::Values(
        FilterRowCase{"GasBlur", [] { return ActionCommand_GASBLUR::commandWithRadiusH(6, 3); },
                      [](TiBitmapData& v) { GasBlur(v, 3, 1); }},
        FilterRowCase{"Sharpen", [] { return ActionCommand_SHARPEN::commandWithAmount(80, 5, 2); },
                      [](TiBitmapData& v) { Unsharp(v, 80, 2, 2); }},
        FilterRowCase{"SoftGlow",
                      [] { return ActionCommand_SOFTGLOW::commandWithRadius(9, 0.2f, 0.3f); },
                      [](TiBitmapData& v) { SoftGlow(v, 4, 0.2f, 0.3f); }},
        FilterRowCase{"RadialBlur",
                      [] { return ActionCommand_RADIALBLUR::commandWithAmount(30, 3); },
                      [](TiBitmapData& v) { RadialBlur(v, 30, 1.5f, 2); }},
        FilterRowCase{"ShadowHighlight",
                      [] { return ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.5f, 0.3f); },
                      [](TiBitmapData& v) { ShadowHighlight(v, 0.5f, 0.3f); }},
        FilterRowCase{"Diffuse", [] { return ActionCommand_DIFFUSE::commandWithSpacing(4, 6); },
                      [](TiBitmapData& v) { Diffuse(v, 2, 3); }},
        FilterRowCase{"Emboss", [] { return ActionCommand_EMBOSS::commandWithDegrees(30, 4, 150); },
                      [](TiBitmapData& v) { Emboss(v, 30, 2, 150); }},
        FilterRowCase{"Mosaics", [] { return ActionCommand_MOSAICS::commandWithGridWidth(9); },
                      [](TiBitmapData& v) { Mosaics(v, 4); }},
        FilterRowCase{"Dot", [] { return ActionCommand_DOT::commandWithGridWidth(12); },
                      [](TiBitmapData& v) { Dot(v, 6); }},
        FilterRowCase{"Painting", [] { return ActionCommand_PAINTING::commandWithRadius(5, 16); },
                      [](TiBitmapData& v) { Painting(v, 2, 16); }},
        FilterRowCase{"Sketch", [] { return ActionCommand_SKETCH::commandWithRadius(7); },
                      [](TiBitmapData& v) { Sketch(v, 3); }},
        FilterRowCase{"Noise", [] { return ActionCommand_NOISE::commandWithAmount(40, true); },
                      [](TiBitmapData& v) { AddNoise(v, 40, true); }},
        FilterRowCase{"ReduceNoise",
                      [] { return ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(0); },
                      [](TiBitmapData& v) { ReduceNoise(v, 0); }},
        FilterRowCase{"RedEyeRemoval",
                      [] { return ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40); },
                      [](TiBitmapData& v) { RedEyeRemoval(v, 40); }},
        // The surround's radius comes from the scale division alone, never
        // from the preview scale; the level is only logged.
        FilterRowCase{"Retinex", [] { return ActionCommand_RETINEX::commandWithLevel(1, 2, 1.5f); },
                      [](TiBitmapData& v) {
                          auto surround = v.Clone(false);
                          GasBlur(*surround, RetinexBlurRadius(2));
                          retinex(v, *surround, 2, 1, 1.5f);
                      }}),
    [](const ::testing::TestParamInfo<FilterRowCase>& info) { return info.param.name; });

TEST(FilterRows, BokehFocusesTheWholeBitmapWhateverTheSelection) {
    auto bitmap = test::Noise(36, 24, TiRGBABpp, 5);
    auto expected = bitmap->Clone(false);
    ASSERT_EQ(BokehFilter(*expected, 10, 6, 2, 30, 4, 6), 1);
    EffectsProcesser processor;
    processor.setParamScale(kScale);
    ASSERT_TRUE(processor.runCommands(
        ListOf(Selection(8, 6, 40, 30),
               ActionCommand_BOKEH::commandWithBlurRadius(4, 8, 12, 30, Point{21, 13})),
        *bitmap))
        << ErrorManager::sharedErrorManager().errorString();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

TEST(FilterRows, ARefusedFilterFailsItsCommandAndTheListStops) {
    auto bitmap = test::Noise(12, 8, TiRGBABpp, 3);
    const auto before = Pixels(*bitmap);
    EffectsProcesser processor;
    // Smoothness 0 is outside the oil-paint filter's precondition.
    EXPECT_FALSE(processor.runCommands(ListOf(ActionCommand_PAINTING::commandWithRadius(2, 0),
                                              ActionCommand_GASBLUR::commandWithRadiusH(2, 2)),
                                       *bitmap));
    EXPECT_NE(ErrorManager::sharedErrorManager().errorString().find("smoothness"),
              std::string::npos);
    EXPECT_EQ(Pixels(*bitmap), before);
}

}  // namespace
}  // namespace vantrel
