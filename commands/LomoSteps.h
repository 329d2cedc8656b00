// The steps a lomo recipe is written in.
//
// A recipe is a constant array of steps, run in order on the photo (the
// bitmap the lomo operation was given) unless a step is marked OnLayer, in
// which case it acts on the recipe's layer: the working copy made by Copy, or
// the centred view of the enlarged copy made by EnlargedCopy. Each step type
// names the imaging operation it runs and holds that operation's constants,
// so a recipe table reads as the list of operations it performs.
//
// Lengths (blur radii, sharpening and glow radii) are pixels of the bitmap
// the recipe runs on; the preview scale of the effects processor never
// touches them.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <variant>

#include "Core/global/Records.h"

namespace vantrel::lomo {

// A curve through control points (x input, y output), applied with
// AdjustCurveBySplinePoints on `channel` (CHANEL_RGB, CHANEL_R, ...).
struct Curve {
    static constexpr int kMaxPoints = 7;

    constexpr Curve(int curveChannel, std::initializer_list<Vec3> controlPoints)
        : channel(curveChannel), count(static_cast<int>(controlPoints.size())) {
        if (controlPoints.size() > kMaxPoints) throw "a lomo curve holds at most 7 points";
        int i = 0;
        for (const Vec3& point : controlPoints) points[i++] = point;
    }

    int channel;
    std::array<Vec3, kMaxPoints> points{};
    int count;
};

// AdjustLevels: inputs low..high onto 0..255 through the power 1 / gamma.
struct Levels {
    int channel;
    int low;
    int high;
    double gamma;
};

// BalanceColor of one tonal range (TiToneShadows, TiToneMidtones,
// TiToneHighlights).
struct Balance {
    int tone;
    int cyanRed;
    int magentaGreen;
    int yellowBlue;
    bool preserveLuminosity = true;
};

// AdjustHSL shifting only the saturation of the whole picture, with the
// standard hue ranges (kStandardHueRanges).
struct Saturation {
    int amount;
};

// TintHSL.
struct Tint {
    int hue;
    int saturation;
    int lightness;
};

struct Gray {};        // ConvertToGray
struct Invert {};      // InvertColor
struct AutoLevels {};  // AutoLevels

// The layer: an owning copy of the photo, packed or keeping the photo's pitch.
enum CopyPitch : bool { kPacked = false, kSamePitch = true };
struct Copy {
    CopyPitch pitch = kPacked;
};

// The layer as the photo's own size centred in a copy of the photo enlarged
// by `ratio` (CreateImageZoom, then GetBitmapDataFromCenterRect).
struct EnlargedCopy {
    float ratio;
};

// Frees the layer before the recipe ends.
struct ReleaseLayer {};

// BlendMode onto the photo, by default of the layer with all colour channels
// on both sides. `fromPhoto` blends the photo onto itself instead.
struct Blend {
    int mode;
    double opacity;
    int channel = 0;
    int layerChannel = 0;
    bool fromPhoto = false;
};

// The mask: width x height pixels of `bpp` bytes rendered by RenderGradient
// from `stops`, at the size of the bitmap the recipe runs on.
struct Mask {
    std::span<const RGBPoint> stops;
    int style;
    int degrees;
    float scale;
    bool reverse;
    int bpp = 1;
};

// BlendGrayMask of the mask's first width x height bytes onto the photo, all
// colour channels.
struct MaskBlend {
    int mode;
    double opacity;
};

// GasBlur; `failsRecipe` makes a failed blur fail the whole recipe, where
// otherwise its result is not looked at.
struct GasBlur {
    int radiusH;
    int radiusV;
    bool failsRecipe = false;
};

struct Unsharp {
    int amount;
    int radius;
    int threshold;
};

struct SoftGlow {
    int radius;
    float brightness;
    float sharpness;
};

struct ShadowHighlight {
    float shadows;
    float highlights;
};

struct RadialBlur {
    int amount;
    float scale;
    int quality;
};

struct AddNoise {
    int amount;
    bool color;
};

struct DarkenCorner {
    double brightRatio;
    int opacity;
};

struct SelectiveColor {
    ComplementScaleSet scaleSet;
};

using Action =
    std::variant<Curve, Levels, Balance, Saturation, Tint, Gray, Invert, AutoLevels, Copy,
                 EnlargedCopy, ReleaseLayer, Blend, Mask, MaskBlend, GasBlur, Unsharp, SoftGlow,
                 ShadowHighlight, RadialBlur, AddNoise, DarkenCorner, SelectiveColor>;

enum class Target : std::uint8_t { kPhoto, kLayer };

struct Step {
    template <typename A>
    constexpr Step(const A& stepAction, Target stepTarget = Target::kPhoto)
        : action(stepAction), target(stepTarget) {}

    Action action;
    Target target;
};

// The step acting on the layer instead of the photo.
template <typename A>
constexpr Step OnLayer(const A& action) {
    return Step(action, Target::kLayer);
}

using Recipe = std::span<const Step>;

}  // namespace vantrel::lomo
