#include "commands/LomoRecipes.h"

#include <array>

#include "Core/base/BlendMode.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/GradientMask.h"
#include "commands/NameTables.h"

namespace vantrel::lomo {
namespace {

constexpr TinyRGB kBlack{0, 0, 0};
constexpr TinyRGB kWhite{255, 255, 255};

// Black at the start, white at the end, each half-way point in the middle.
constexpr RGBPoint kBlackToWhite[] = {{kBlack, 0, 0.5f}, {kWhite, 1, 0.5f}};

constexpr int kShadows = TiToneShadows;
constexpr int kMidtones = TiToneMidtones;
constexpr int kHighlights = TiToneHighlights;

constexpr bool kReversed = true;
constexpr bool kForward = false;
constexpr bool kLeavesLuminosity = false;
constexpr bool kFailsRecipe = true;

// The three HDR fixes: lifted shadows, sharpened, then overlaid on
// themselves at some strength.
struct HdrFix {
    float shadows;
    double overlay;
};

constexpr std::array<Step, 4> HdrFixRecipe(HdrFix fix) {
    return {ShadowHighlight{fix.shadows, 0}, Unsharp{150, 2, 0}, Copy{},
            Blend{kBlendOverlay, fix.overlay}};
}

// 0 LE_NONE and 1 LE_CLASSIC
constexpr Step kClassic[] = {
    Balance{kMidtones, -80, 0, -60},
    Levels{CHANEL_RGB, 27, 255, 0.96},
    DarkenCorner{0.4, 200},
};

constexpr Step kOldPhoto[] = {
    Gray{},
    Balance{kShadows, 0, 0, 0},
    Balance{kMidtones, 34, 0, -87},
    Balance{kHighlights, 0, 0, 0},
};

constexpr Step kNegativeFilm[] = {
    Copy{kSamePitch},
    OnLayer(Invert{}),
    Blend{.mode = kBlendMultiply, .opacity = 0.5, .channel = CHANEL_B, .layerChannel = CHANEL_B},
    Blend{.mode = kBlendMultiply, .opacity = 0.2, .channel = CHANEL_G, .layerChannel = CHANEL_G},
    Blend{.mode = kBlendColorBurn,
          .opacity = 1.0,
          .channel = CHANEL_R,
          .layerChannel = CHANEL_R,
          .fromPhoto = true},
};

constexpr Step kFalseHDRI[] = {
    ShadowHighlight{0.5f, 0},
    Unsharp{150, 2, 0},
    Curve(CHANEL_RGB, {{0, 0}, {89.7463, 39.9851}, {189.6119, 226.8806}, {255, 255}}),
    Copy{},
    OnLayer(GasBlur{4, 4}),
    OnLayer(Invert{}),
    OnLayer(
        Curve(CHANEL_RGB, {{0, 96.4328}, {79.3284, 50.5373}, {184.3582, 199.3134}, {255, 255}})),
    OnLayer(Levels{CHANEL_RGB, 10, 255, 1}),
    OnLayer(Gray{}),
    Blend{kBlendOverlay, 0.5},
};

constexpr Step kWarmGlowSoftLight[] = {
    Curve(CHANEL_R, {{0, 43}, {79, 69}, {125, 126}, {169, 218}, {205, 255}, {255, 255}}),
    Curve(CHANEL_G, {{0, 11}, {64, 49}, {125, 140}, {190, 218}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 43}, {64, 49}, {135, 138}, {194, 190}, {255, 255}}),
};

constexpr Step kStrongContrast[] = {
    Curve(CHANEL_R, {{0, 0}, {133, 123}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {130, 126}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {121, 134}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {61, 16}, {95, 54}, {152, 164}, {199, 221}, {255, 255}}),
};

constexpr Step kStrongBrightness[] = {
    Curve(CHANEL_R, {{0, 0}, {168, 255}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {162, 255}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {139, 255}, {255, 255}}),
};

constexpr Step kContrastRoomGlow[] = {
    Copy{},
    OnLayer(RadialBlur{300, 3.0f, 2}),
    OnLayer(RadialBlur{200, 2.0f, 1}),
    OnLayer(Curve(CHANEL_R, {{0, 7}, {93, 91}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {44, 36}, {116, 141}, {169, 188}, {255, 255}})),
    OnLayer(Gray{}),
    Blend{kBlendHardLight, 1.0},
    Curve(CHANEL_RGB, {{0, 0}, {89, 84}, {187, 206}, {255, 255}}),
};

constexpr Step kContrastRetro[] = {
    Curve(CHANEL_G, {{0, 56}, {46, 45}, {96, 81}, {160, 166}, {224, 255}, {255, 255}}),
    Curve(CHANEL_B, {{0, 103}, {96, 91}, {166, 133}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {74, 22}, {134, 93}, {169, 169}, {203, 219}, {255, 255}}),
};

constexpr Step kOldSepiaBlue[] = {
    Gray{},
    Curve(CHANEL_R, {{0, 0}, {66, 60}, {119, 139}, {192, 211}, {255, 255}}),
    Curve(CHANEL_B, {{0, 34}, {101, 104}, {201, 197}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {64, 38}, {141, 133}, {191, 201}, {255, 255}}),
    Copy{},
    OnLayer(AddNoise{10, false}),
    OnLayer(Levels{CHANEL_RGB, 0, 209, 0.68}),
    Blend{kBlendOverlay, 1.0},
    Saturation{-109},
    Curve(CHANEL_B, {{0, 50}, {128, 119}, {255, 255}}),
};

constexpr RGBPoint kDarkEdgesStops[] = {{kBlack, 0, 0.36f}, {kWhite, 1, 0.5f}};
constexpr Curve kDarkEdgesRed(CHANEL_R, {{0, 96}, {100, 85}, {193, 172}, {255, 255}});
constexpr Curve kDarkEdgesGreen(CHANEL_G, {{0, 0}, {70, 42}, {125, 103}, {191, 205}, {255, 255}});

constexpr Step kDarkEdgesRedFill[] = {
    Mask{kDarkEdgesStops, kGradientSymmetry, 90, 1, kReversed},
    kDarkEdgesRed,
    kDarkEdgesGreen,
    Copy{},
    OnLayer(Gray{}),
    OnLayer(kDarkEdgesRed),
    OnLayer(kDarkEdgesGreen),
    Blend{kBlendScreen, 1.0},
    MaskBlend{kBlendLinearBurn, 1.0},
    Levels{CHANEL_RGB, 0, 208, 1.07},
};

// Its first red curve goes onto the photo twice, once before and once after
// the copy is taken.
constexpr Curve kPurpleVinetteRed(CHANEL_R,
                                  {{0, 64}, {71, 57}, {146, 154}, {203, 212}, {255, 255}});

constexpr Step kPurpleVinetteMiddleFocus[] = {
    Mask{kBlackToWhite, kGradientRadial, 90, 1.5f, kReversed},
    Gray{},
    kPurpleVinetteRed,
    Curve(CHANEL_RGB, {{0, 0}, {65, 58}, {119, 146}, {162, 196}, {189, 218}, {255, 255}}),
    Copy{},
    kPurpleVinetteRed,
    OnLayer(Curve(CHANEL_G, {{0, 0}, {126, 131}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {65, 58}, {119, 146}, {162, 196}, {205, 229}, {255, 255}})),
    Blend{kBlendOverlay, 1.0},
    MaskBlend{kBlendMultiply, 1.0},
    Curve(CHANEL_R, {{0, 57}, {71, 57}, {146, 154}, {203, 212}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {126, 131}, {255, 255}}),
    Curve(CHANEL_B, {{0, 48}, {78, 85}, {169, 161}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {65, 58}, {118, 152}, {159, 197}, {189, 218}, {255, 255}}),
    Saturation{-109},
};

constexpr Step kStrongGreenBlue[] = {
    Curve(CHANEL_R, {{0, 79}, {62, 72}, {128, 91}, {208, 180}, {255, 255}}),
    Curve(CHANEL_B, {{0, 68}, {78, 87}, {169, 164}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {74, 44}, {139, 138}, {210, 187}, {255, 255}}),
    Copy{},
    OnLayer(Levels{CHANEL_RGB, 0, 141, 0.66}),
    Blend{kBlendSoftLight, 1.0},
};

constexpr Step k3DGlasses[] = {
    Mask{kBlackToWhite, kGradientRadial, 90, 1.5f, kReversed},
    EnlargedCopy{1.25f},
    OnLayer(Gray{}),
    OnLayer(Curve(CHANEL_R, {{13, 76}, {60, 106}, {105, 118}, {192, 124}, {255, 255}})),
    OnLayer(Curve(CHANEL_G, {{0, 0}, {72, 47}, {156, 196}, {201, 239}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {66, 43}, {127, 123}, {165, 194}, {203, 237}, {255, 255}})),
    Blend{kBlendSoftLight, 1.0},
    ReleaseLayer{},
    MaskBlend{kBlendMultiply, 1.0},
    Curve(CHANEL_R, {{0, 4}, {31, 34}, {133, 129}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {44, 37}, {111, 135}, {137, 163}, {255, 255}}),
};

constexpr Step kContrastMotionGlow[] = {
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {76, 26}, {124, 96}, {177, 206}, {208, 243}, {255, 255}}),
    Copy{},
    OnLayer(GasBlur{4, 4, kFailsRecipe}),
    OnLayer(GasBlur{0, 30, kFailsRecipe}),
    Blend{kBlendOverlay, 1.0},
};

constexpr Step kStrongContrastMiddleFocus[] = {
    Mask{kBlackToWhite, kGradientRadial, 90, 1.9f, kReversed},
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {101, 61}, {182, 185}, {209, 221}, {255, 255}}),
    MaskBlend{kBlendColorBurn, 0.69},
    Levels{CHANEL_RGB, 0, 216, 1},
};

constexpr Step kOldLook[] = {
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {104, 70}, {184, 201}, {216, 235}, {255, 255}}),
    Copy{},
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {100, 77}, {182, 201}, {216, 235}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {107, 145}, {185, 131}, {227, 167}, {255, 255}})),
    OnLayer(Levels{CHANEL_RGB, 0, 172, 0.54}),
    Blend{kBlendOverlay, 1.0},
};

constexpr Step kStrongContrastDarkBase[] = {
    Mask{kBlackToWhite, kGradientLinear, 90, 1.5f, kForward},
    Saturation{-107},
    Curve(CHANEL_RGB, {{0, 0}, {74, 56}, {168, 179}, {199, 215}, {255, 255}}),
    Saturation{51},
    Gray{},
    MaskBlend{kBlendColorBurn, 0.7},
};

constexpr Step kDarkGlow[] = {
    Gray{},
    Copy{},
    OnLayer(Curve(CHANEL_RGB,
                  {{0, 0}, {34, 8}, {137, 32}, {193, 121}, {219, 184}, {243, 234}, {255, 255}})),
    Blend{kBlendHardLight, 1.0},
    Curve(CHANEL_R, {{0, 0}, {196, 251}}),
    Curve(CHANEL_G, {{0, 0}, {196, 251}}),
    Curve(CHANEL_B, {{0, 0}, {196, 251}}),
    Curve(CHANEL_RGB, {{0, 0}, {35, 48}, {72, 86}, {126, 130}, {171, 172}, {255, 255}}),
};

constexpr Step kVinette[] = {
    Mask{kBlackToWhite, kGradientRadial, 90, 1.5f, kReversed},
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {78, 51}, {190, 202}, {255, 255}}),
    MaskBlend{kBlendOverlay, 1.0},
};

constexpr Step kInverted[] = {
    Gray{},
    Curve(CHANEL_RGB, {{0, 185}, {74, 24}, {177, 206}, {255, 9}}),
    Levels{CHANEL_RGB, 0, 211, 0.81},
};

constexpr Step kReduceWhiteSemiHDRI[] = {
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {76, 26}, {124, 96}, {177, 206}, {208, 243}, {255, 255}}),
    Copy{},
    OnLayer(GasBlur{4, 4}),
    OnLayer(Invert{}),
    OnLayer(Curve(CHANEL_RGB, {{0, 96}, {82, 52}, {185, 200}, {255, 255}})),
    OnLayer(Levels{CHANEL_RGB, 0, 255, 1.7}),
    Blend{kBlendOverlay, 1.0},
};

constexpr Step kShadowsRed[] = {
    Curve(CHANEL_R, {{0, 84}, {121, 118}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {139, 109}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 49}, {70, 66}, {147, 180}, {201, 229}, {255, 255}}),
    Balance{kShadows, 0, -27, 0},
};

constexpr Step kDarkGreenHighlights[] = {
    Gray{},
    Curve(CHANEL_G, {{0, 57}, {70, 55}, {168, 178}, {224, 255}}),
    Curve(CHANEL_B, {{0, 98}, {125, 119}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {86, 30}, {141, 109}, {190, 205}, {255, 255}}),
};

constexpr Step kMoonBlue[] = {
    Gray{},
    Copy{},
    OnLayer(Levels{CHANEL_R, 0, 248, 0.45}),
    OnLayer(Levels{CHANEL_G, 0, 245, 1.12}),
    OnLayer(Levels{CHANEL_B, 0, 146, 0.78}),
    OnLayer(Levels{CHANEL_RGB, 0, 221, 0.86}),
    Blend{kBlendMultiply, 0.79},
    Levels{CHANEL_RGB, 0, 215, 0.9},
};

constexpr Step kVibrantBluePurple[] = {
    Gray{},
    Levels{CHANEL_R, 0, 248, 0.12},
    Levels{CHANEL_G, 0, 245, 1.12},
    Levels{CHANEL_B, 0, 146, 1.98},
    Levels{CHANEL_RGB, 0, 255, 0.56},
};

constexpr Step kFillShadowsGrey[] = {
    Curve(CHANEL_B, {{0, 80}, {133, 131}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 52}, {69, 31}, {136, 155}, {180, 197}, {197, 207}, {255, 255}}),
};

// A three-byte gradient whose first width x height bytes serve as the mask.
constexpr RGBPoint kStrongGreenStops[] = {{{124, 206, 58}, 0, 0.5f}, {kWhite, 1, 0.5f}};

constexpr Step kStrongGreen[] = {
    Mask{kStrongGreenStops, kGradientLinear, 90, 1.5f, kForward, 3},
    Curve(CHANEL_R, {{0, 0}, {68, 80}, {163, 135}, {255, 255}}),
    Curve(CHANEL_G, {{6, 47}, {68, 52}, {171, 188}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {50, 71}, {126, 130}, {198, 217}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {78, 60}, {180, 207}, {255, 255}}),
    MaskBlend{kBlendColorBurn, 0.91},
};

constexpr Step kSoftOrangeMiddleGlow[] = {
    Mask{kBlackToWhite, kGradientLinear, 4, 0.68f, kForward},
    Saturation{-109},
    Copy{},
    OnLayer(Curve(CHANEL_R, {{0, 0}, {61, 54}, {120, 137}, {174, 196}, {255, 255}})),
    OnLayer(Curve(CHANEL_B, {{0, 53}, {129, 126}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {82, 54}, {190, 202}, {255, 255}})),
    OnLayer(Curve(CHANEL_R, {{0, 0}, {127, 161}, {255, 255}})),
    OnLayer(Curve(CHANEL_G, {{0, 40}, {77, 64}, {224, 252}})),
    OnLayer(Curve(CHANEL_B, {{0, 91}, {131, 104}, {255, 255}})),
    OnLayer(Curve(CHANEL_RGB, {{0, 0}, {98, 41}, {182, 195}, {255, 255}})),
    Blend{kBlendOverlay, 0.7},
    MaskBlend{kBlendSoftLight, 0.91},
};

constexpr Step kGreenRedShadows[] = {
    Gray{},
    Curve(CHANEL_R, {{0, 77}, {97, 77}, {174, 135}, {255, 255}}),
    Curve(CHANEL_B, {{0, 68}, {98, 102}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {77, 48}, {139, 139}, {203, 180}, {255, 255}}),
    Balance{kShadows, 30, 0, -23},
};

constexpr Step kDarkPink[] = {
    Mask{kBlackToWhite, kGradientLinear, 121, 0.83f, kReversed},
    Curve(CHANEL_R, {{0, 0}, {73, 45}, {178, 210}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {50, 105}, {128, 153}, {193, 221}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {91, 52}, {194, 198}, {255, 255}}),
    Balance{kShadows, -63, -25, 2},
    Saturation{-56},
    Copy{},
    OnLayer(Gray{}),
    Blend{kBlendOverlay, 1.0},
    MaskBlend{kBlendOverlay, 0.19},
};

constexpr Step kSoftRedGlow[] = {
    Balance{kShadows, 63, -5, 4},    Balance{kMidtones, 30, -8, 37},
    Balance{kHighlights, 3, 0, -66}, Copy{},
    Blend{kBlendSoftLight, 0.6},
};

constexpr auto kHdrHeavy = HdrFixRecipe({.shadows = 0.5f, .overlay = 0.9});
constexpr auto kHdrFixNormal = HdrFixRecipe({.shadows = 0.4f, .overlay = 0.5});
constexpr auto kHdrFixLight = HdrFixRecipe({.shadows = 0.2f, .overlay = 0.15});

constexpr Step kOrangeYellow[] = {
    Curve(CHANEL_R, {{0, 0}, {133, 118}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {63, 68}, {159, 131}, {255, 255}}),
    Curve(CHANEL_B, {{2, 56}, {98, 53}, {171, 110}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {77, 34}, {138, 140}, {192, 216}, {255, 255}}),
};

constexpr Step kDimAndJaded[] = {
    Copy{},
    OnLayer(Saturation{-255}),
    OnLayer(Levels{CHANEL_RGB, 0, 217, 0.68}),
    Blend{kBlendSoftLight, 1.0},
    Unsharp{80, 1, 5},
    Balance{kShadows, 100, 39, -11, kLeavesLuminosity},
    Balance{kMidtones, 100, 23, -100, kLeavesLuminosity},
    Balance{kHighlights, -100, -100, -100, kLeavesLuminosity},
    Saturation{-124},
};

constexpr Step kGreenBlueFill[] = {
    Curve(CHANEL_R, {{0, 0}, {133.7761, 121.2239}, {255, 255}}),
    Curve(CHANEL_B, {{0, 35.2537}, {88.8582, 84.6866}, {163.2985, 146.8806}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {69.2313, 46.7164}, {182.403, 203.3284}, {255, 255}}),
    Mask{kBlackToWhite, kGradientLinear, 90, 1, kForward},
    MaskBlend{kBlendLinearBurn, 0.27},
    Curve(CHANEL_R, {{0, 0}, {134.7313, 111.6716}, {255, 255}}),
    Curve(CHANEL_B, {{0, 53.3582}, {131.7761, 117.3582}, {255, 255}}),
};

constexpr Step kGreenBlue[] = {
    Gray{},
    Tint{130, 28, 0},
    Curve(CHANEL_R, {{0, 0}, {51.5373, 46.6716}, {152.8358, 177.3284}, {255, 255}}),
    Curve(CHANEL_B, {{0, 103.9851}, {127.0895, 124.0896}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {99.2985, 70.5523}, {185.3134, 217.9104}, {255, 255}}),
};

constexpr Step kBWFocusCenter[] = {
    Gray{},
    Curve(CHANEL_RGB, {{0, 0}, {82, 54}, {190, 202}, {255, 255}}),
    Mask{kBlackToWhite, kGradientRadial, 90, 1.15f, kReversed},
    MaskBlend{kBlendOverlay, 1.0},
    MaskBlend{kBlendOverlay, 0.55},
};

constexpr Step kBWBeautyGlow[] = {
    Gray{},
    SoftGlow{10, 0, 20},
    Curve(CHANEL_RGB, {{0, 19}, {82, 46}, {190, 202}, {255, 255}}),
};

constexpr Step kSoftCreamFill[] = {
    Levels{CHANEL_RGB, 0, 235, 0.82},
    Curve(CHANEL_R, {{0, 0}, {55.4478, 75.3731}, {129.4328, 131.5672}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {56.791, 46.4926}, {114.388, 110.3582}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {56.3134, 62.9104}, {167.209, 155}, {255, 255}}),
    Levels{CHANEL_RGB, 0, 226, 0.91},
    Mask{kBlackToWhite, kGradientRadial, 90, 1.5f, kReversed},
    MaskBlend{kBlendColorBurn, 0.13},
    Saturation{-33},
    Curve(CHANEL_G, {{0, 0}, {54.0149, 65.7314}, {159.3284, 159.2388}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {28.3955, 26.5224}, {150.4925, 126.3881}, {255, 255}}),
};

constexpr Step kRetroFeelingBurned[] = {
    Curve(CHANEL_R,
          {{0, 0}, {82.194, 53.3134}, {141.3955, 125.3582}, {199.6418, 218.8657}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {80.194, 71.5075}, {181.4925, 194.0746}, {255, 255}}),
    Curve(CHANEL_B, {{0, 23.8358}, {136.5522, 128.8209}, {255, 232.9851}}),
    Curve(CHANEL_RGB, {{31.5224, 31.4328}, {138.0298, 110.3881}, {255, 255}}),
};

constexpr Step kRetroFeelingSunExposure[] = {
    Curve(CHANEL_R, {{0, 0}, {81.1493, 52.403}, {183.8806, 202.4925}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {77.4179, 61.0448}, {185.3134, 199.8955}, {255, 255}}),
    Curve(CHANEL_B, {{17.194, 23.7911}, {255, 225.3433}}),
};

constexpr Step kOverallMoodHappyness[] = {
    Curve(CHANEL_R, {{0, 0}, {121.3582, 144.1493}, {255, 255}}),
    Curve(CHANEL_G, {{14.3284, 0}, {122.3134, 130.6866}, {255, 255}}),
    Curve(CHANEL_B, {{31.5224, 0}, {88.3806, 94.7761}, {157.5672, 183.2687}, {255, 255}}),
    Curve(CHANEL_RGB, {{14.3284, 0}, {130.9104, 124.0896}, {255, 255}}),
};

constexpr Step kSmartSepia[] = {
    Saturation{-254},
    AutoLevels{},
    Curve(CHANEL_R, {{0, 31.4328}, {72.6418, 74.3284}, {178.6716, 204.1194}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {255, 221.4776}}),
};

constexpr Step kSmartCold[] = {
    Saturation{-206},
    AutoLevels{},
    Curve(CHANEL_R, {{0, 0}, {82.1045, 53.3582}, {185.791, 192.1194}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {80.194, 61.8657}, {182.9254, 190.3433}, {255, 255}}),
    Curve(CHANEL_B, {{35.3433, 40.9851}, {255, 243.4925}}),
};

constexpr Step kColorfulGlow[] = {
    Copy{},
    OnLayer(GasBlur{16, 16}),
    OnLayer(Saturation{193}),
    Blend{kBlendSoftLight, 0.5},
};

constexpr Step kSmartBW1[] = {
    Saturation{-255},
    AutoLevels{},
    Curve(CHANEL_RGB, {{8.597, 0}, {105.0298, 80.1045}, {190.6119, 190.7463}, {255, 255}}),
};

constexpr Step kExperimentalLod[] = {
    Curve(CHANEL_R, {{0, 0}, {135.6866, 93.5224}, {255, 255}}),
    Curve(CHANEL_G, {{0, 0}, {82.194, 39.0746}, {180.0597, 219.2836}, {255, 255}}),
    Curve(CHANEL_B, {{0, 0}, {213.0597, 181.403}}),
    Curve(CHANEL_RGB, {{0, 0}, {88.791, 173.7164}, {165.2537, 238.5075}, {255, 255}}),
    Saturation{-40},
};

constexpr Step kEnhanceQuality[] = {
    Gray{},
    Curve(CHANEL_RGB,
          {{0, 0}, {69.7761, 32.2985}, {123.6791, 110.806}, {189.1343, 230.0149}, {255, 255}}),
};

constexpr Step kReduceBrightnessBlueFill[] = {
    Curve(CHANEL_R, {{0.9552, 79.194}, {73.097, 74.3134}, {155.6567, 111.5374}, {255, 255}}),
    Curve(CHANEL_B, {{0, 67.7314}, {74.5522, 84.8358}, {171.5075, 168.0896}, {255, 255}}),
    Curve(CHANEL_RGB,
          {{0, 0}, {68.8209, 38.9851}, {144.7164, 144.0896}, {207.5448, 184.4478}, {255, 255}}),
    Copy{},
    OnLayer(Gray{}),
    OnLayer(AutoLevels{}),
    Blend{kBlendHardLight, 1.0},
};

constexpr Step kAmatorka[] = {
    Curve(CHANEL_R, {{0, 0}, {65.8657, 24.7015}, {158.5672, 155.3284}, {255, 255}}),
    Curve(CHANEL_B,
          {{0, 0}, {43.0299, 67.6418}, {87.1418, 103.6716}, {184.8358, 153.6717}, {255, 255}}),
    Curve(CHANEL_RGB, {{0, 0}, {68.8209, 42.806}, {176.2388, 204.3582}, {255, 255}}),
    SelectiveColor{{
        .reds = {0.55f, 0, 0.31f, 0},
        .yellows = {-0.01f, -0.07f, -0.76f, -0.33f},
        .greens = {},
        .cyans = {},
        .blues = {},
        .magentas = {},
        .whites = {},
        .neutrals = {},
        .blacks = {0, 0.19f, 0.53f, 0.02f},
    }},
};

// Indexed by style number; the last entry, 54, is the empty recipe.
constexpr Recipe kRecipes[] = {
    kClassic,                    // LE_NONE
    kClassic,                    // LE_CLASSIC
    kOldPhoto,                   // LE_OLDPHOTO
    kNegativeFilm,               // LE_NEGATIVEFILM
    kFalseHDRI,                  // LE_FalseHDRI
    kWarmGlowSoftLight,          // LE_WarmGlowSoftLight
    kStrongContrast,             // LE_StrongContrast
    kStrongBrightness,           // LE_StrongBrightness
    kContrastRoomGlow,           // LE_ContrastRoomGlow
    kContrastRetro,              // LE_ContrastRetro
    kOldSepiaBlue,               // LE_OldSepiaBlue
    kDarkEdgesRedFill,           // LE_DarkEdgesRedFill
    kPurpleVinetteMiddleFocus,   // LE_PurpleVinetteMiddleFocus
    kStrongGreenBlue,            // LE_StrongGreenBlue
    k3DGlasses,                  // LE_3DGlasses
    kContrastMotionGlow,         // LE_ContrastMotionGlow
    kStrongContrastMiddleFocus,  // LE_StrongContrastMiddleFocus
    kOldLook,                    // LE_OldLook
    kStrongContrastDarkBase,     // LE_StrongContrastDarkBase
    kDarkGlow,                   // LE_DarkGlow
    kVinette,                    // LE_Vinette
    kInverted,                   // LE_Inverted
    kReduceWhiteSemiHDRI,        // LE_ReduceWhiteSemiHDRI
    kShadowsRed,                 // LE_ShadowsRed
    kDarkGreenHighlights,        // LE_DarkGreenHighlights
    kMoonBlue,                   // LE_MoonBlue
    kVibrantBluePurple,          // LE_VibrantBluePurple
    kFillShadowsGrey,            // LE_FillShadowsGrey
    kStrongGreen,                // LE_StrongGreen
    kSoftOrangeMiddleGlow,       // LE_SoftOrangeMiddleGlow
    kGreenRedShadows,            // LE_GreenRedShadows
    kDarkPink,                   // LE_DarkPink
    kSoftRedGlow,                // LE_SoftRedGlow
    kHdrHeavy,                   // LE_HDR_Heavy
    kHdrFixNormal,               // LE_HDR_Fix_Normal
    kHdrFixLight,                // LE_HDR_Fix_Light
    kOrangeYellow,               // LE_OrangeYellow
    kDimAndJaded,                // LE_DimAndJaded
    kGreenBlueFill,              // LE_GreenBlueFill
    kGreenBlue,                  // LE_GreenBlue
    kBWFocusCenter,              // LE_BW_FocusCenter
    kBWBeautyGlow,               // LE_BW_BeautyGlow
    kSoftCreamFill,              // LE_SoftCreamFill
    kRetroFeelingBurned,         // LE_RetroFeelingBurned
    kRetroFeelingSunExposure,    // LE_RetroFeelingSunExposure
    kOverallMoodHappyness,       // LE_OverallMoodHappyness
    kSmartSepia,                 // LE_SmartSepia
    kSmartCold,                  // LE_SmartCold
    kColorfulGlow,               // LE_ColorfulGlow
    kSmartBW1,                   // LE_SmartBW1
    kExperimentalLod,            // LE_ExperimentalLod
    kEnhanceQuality,             // LE_EnhanceQuality
    kReduceBrightnessBlueFill,   // LE_ReduceBrightnessBlueFill
    kAmatorka,                   // LE_Amatorka
    {},                          // one past the names: does nothing
};
static_assert(std::size(kRecipes) == kLomoStyleCount + 1);
static_assert(std::size(kRecipes) == kLastRecipeStyle + 1);

}  // namespace

Recipe LomoRecipe(int style) {
    if (style < 0 || style > kLastRecipeStyle) return {};
    return kRecipes[style];
}

}  // namespace vantrel::lomo
