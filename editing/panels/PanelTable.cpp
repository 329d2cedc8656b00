// The table of the effect panels: one row per panel, in menu order.
#include <algorithm>

#include "Core/base/GradientPalette.h"
#include "Core/global/Numeric.h"
#include "commands/EffectsProcesser.h"
#include "editing/panels/BokehEffectsToolView.h"
#include "editing/panels/ChannelMixEffectsToolView.h"
#include "editing/panels/ClipToolView.h"
#include "editing/panels/ColorBalanceEffectsToolView.h"
#include "editing/panels/ColorLevelsEffectsToolView.h"
#include "editing/panels/CurveEffectsToolView.h"
#include "editing/panels/EffectsToolView.h"
#include "editing/panels/ExposureCurve.h"
#include "editing/panels/FlipToolView.h"
#include "editing/panels/GasBlurEffectsToolView.h"
#include "editing/panels/HSLEffectsToolView.h"
#include "editing/panels/LomoEffectsToolView.h"
#include "editing/panels/PanelSpec.h"
#include "editing/panels/RetinexEffectsToolView.h"
#include "editing/panels/RotateToolView.h"
#include "editing/panels/SelectiveColorEffectsToolView.h"

namespace vantrel {
namespace {

using K = ControlKind;
using L = LabelNumber;
using T = EnableRule::Test;
using P = EffectsProcesser;
using V = ControlValues;
using SV = std::string_view;

// ---- shared entries ----
constexpr SV kRGBAll[] = {"STR_CHANNEL_RED", "STR_CHANNEL_GREEN", "STR_CHANNEL_BLUE",
                          "STR_CHANNEL_ALL"};
constexpr SV kRGB[] = {"STR_CHANNEL_RED", "STR_CHANNEL_GREEN", "STR_CHANNEL_BLUE"};
constexpr ControlSpec kReviewCaption[] = {{"review", K::Caption, "STR_REVIEW"}};

// ---- colour ----
constexpr SV kSimpleColorItems[] = {"STR_GRAY", "STR_COMPLEMENT", "STR_INVERT"};
constexpr ControlSpec kSimpleColor[] = {
    {"mode", K::Segment, "STR_CONTROL_MODE", 0, 2, 0, "", L::Truncated, kSimpleColorItems}};
constexpr ControlSpec kPosterize[] = {{"levels", K::Slider, "STR_CONTROL_LEVELS", 2, 10, 4}};
constexpr ControlSpec kThreshold[] = {{"levels", K::Slider, "STR_CONTROL_LEVELS", 0, 255, 128}};
constexpr SV kEqualizeItems[] = {"STR_CONTROL_EQUALIZE_STRETCH", "STR_CLASSIC"};
constexpr ControlSpec kEqualize[] = {
    {"equalizeMode", K::Segment, "STR_CONTROL_MODE", 0, 1, 0, "", L::Truncated, kEqualizeItems}};
constexpr ControlSpec kShadowHighlight[] = {{"shadows", K::Slider, "STR_SHADOWS", 0, 100, 0},
                                            {"highlights", K::Slider, "STR_HIGHLIGHTS", 0, 100, 0}};

constexpr EnableRule kCurveDelete[] = {{"curve", T::EditorAllows}};
constexpr ControlSpec kCurve[] = {
    {"channel", K::Segment, "STR_CONTROL_CHANNEL", 0, 3, 3, "", L::Truncated, kRGBAll},
    {"curve", K::Editor, "STR_MENU_CURVE"},
    {"delete", K::Button, "STR_CONTROL_DELETE", 0, 0, 0, "", L::Truncated, {}, kCurveDelete},
    {"add", K::Button, "STR_CONTROL_ADD"},
    {"histogram", K::Toggle, "STR_CONTROL_HISTOGRAM", 0, 1, 0},
    {"colorBars", K::Toggle, "STR_CONTROL_COLOR_BARS", 0, 1, 0}};

constexpr SV kHSLTargets[] = {"STR_CHANNEL_REDS",  "STR_CHANNEL_YELLOWS", "STR_CHANNEL_GREENS",
                              "STR_CHANNEL_CYANS", "STR_CHANNEL_BLUES",   "STR_CHANNEL_MAGENTAS",
                              "STR_CHANNEL_ALL"};
constexpr EnableRule kUncolorized[] = {{"colorize", T::Off}};
constexpr EnableRule kRangeButton[] = {{"colorize", T::Off}, {"target", T::NotEqual, 6}};
constexpr EnableRule kRangeOpen[] = {{"hueRange", T::EditorAllows}};
constexpr RangeRule kColorizedHue[] = {{"colorize", 0, 360}};
constexpr RangeRule kColorizedSaturation[] = {{"colorize", 0, 100}};
constexpr ControlSpec kHSL[] = {
    {"target", K::Segment, "STR_CONTROL_TARGET", 0, 6, 6, "", L::Truncated, kHSLTargets,
     kUncolorized},
    {"hue", K::Slider, "STR_CONTROL_HUE", -180, 180, 0, "%d", L::Truncated, {}, {}, kColorizedHue},
    {"saturation",
     K::Slider,
     "STR_CONTROL_SATURATION",
     -100,
     100,
     0,
     "%d",
     L::Truncated,
     {},
     {},
     kColorizedSaturation},
    {"lightness", K::Slider, "STR_CONTROL_LIGHTNESS", -100, 100, 0},
    {"colorize", K::Toggle, "STR_CONTROL_COLORIZE", 0, 1, 0},
    {"range", K::Button, "STR_RANGE", 0, 0, 0, "", L::Truncated, {}, kRangeButton},
    {"hueRange", K::Editor, "STR_RANGE"},
    {"rangeReset", K::Button, "STR_CONTROL_RESET", 0, 0, 0, "", L::Truncated, {}, kRangeOpen},
    {"rangeClose", K::Button, "STR_BUTTON_DONE", 0, 0, 0, "", L::Truncated, {}, kRangeOpen}};

constexpr SV kSelectiveColors[] = {
    "STR_CHANNEL_REDS",   "STR_CHANNEL_YELLOWS",  "STR_CHANNEL_GREENS",
    "STR_CHANNEL_CYANS",  "STR_CHANNEL_BLUES",    "STR_CHANNEL_MAGENTAS",
    "STR_CONTROL_WHITES", "STR_CONTROL_NEUTRALS", "STR_CONTROL_BLACKS"};
constexpr ControlSpec kSelectiveColor[] = {
    {"color", K::Swatches, "STR_CONTROL_COLOR", 0, 8, 0, "", L::Truncated, kSelectiveColors},
    {"cyan", K::Slider, "STR_CONTROL_CYAN", -1, 1, 0, "%d%%", L::Hundredths},
    {"magenta", K::Slider, "STR_CONTROL_MAGENTA", -1, 1, 0, "%d%%", L::Hundredths},
    {"yellow", K::Slider, "STR_CONTROL_YELLOW", -1, 1, 0, "%d%%", L::Hundredths},
    {"black", K::Slider, "STR_CONTROL_BLACK", -1, 1, 0, "%d%%", L::Hundredths}};

constexpr EnableRule kNotGray[] = {{"gray", T::Off}};
constexpr ControlSpec kChannelMix[] = {
    {"output", K::Segment, "STR_CONTROL_OUTPUT", 0, 2, 0, "", L::Truncated, kRGB, kNotGray},
    {"red", K::Slider, "STR_CHANNEL_RED", -2, 2, 1, "%d%%", L::Hundredths},
    {"green", K::Slider, "STR_CHANNEL_GREEN", -2, 2, 0, "%d%%", L::Hundredths},
    {"blue", K::Slider, "STR_CHANNEL_BLUE", -2, 2, 0, "%d%%", L::Hundredths},
    {"gray", K::Toggle, "STR_GRAY", 0, 1, 0}};

constexpr ControlSpec kColorLevels[] = {
    {"channel", K::Segment, "STR_CONTROL_CHANNEL", 0, 3, 3, "", L::Truncated, kRGBAll},
    {"inputLow", K::Slider, "STR_CONTROL_INPUT_LOW", 0, 253, 0},
    {"inputHigh", K::Slider, "STR_CONTROL_INPUT_HIGH", 2, 255, 255},
    {"gamma", K::Slider, "STR_CONTROL_GAMMA", 0.01f, 9.99f, 1, "%.2f", L::Value}};

constexpr SV kTones[] = {"STR_SHADOWS", "STR_MIDTONES", "STR_HIGHLIGHTS"};
constexpr ControlSpec kColorBalance[] = {
    {"tone", K::Segment, "STR_CONTROL_TONE", 0, 2, 1, "", L::Truncated, kTones},
    {"red", K::Slider, "STR_CONTROL_CYAN_RED", -100, 100, 0},
    {"green", K::Slider, "STR_CONTROL_MAGENTA_GREEN", -100, 100, 0},
    {"blue", K::Slider, "STR_CONTROL_YELLOW_BLUE", -100, 100, 0},
    {"preserveLuminosity", K::Toggle, "STR_CONTROL_PRESERVE_LUMINOSITY", 0, 1, 1}};

constexpr ControlSpec kExposure[] = {
    {"exposure", K::Slider, "STR_CONTROL_EXPOSURE", -100, 100, 0, "%.2f", L::ShownExposure}};
constexpr ControlSpec kBrightness[] = {
    {"brightness", K::Slider, "STR_CONTROL_BRIGHTNESS", -100, 100, 0},
    {"contrast", K::Slider, "STR_CONTROL_CONTRAST", -100, 100, 0}};

// ---- fix ----
constexpr SV kBlendModes[] = {
    "STR_DARKEN",    "STR_LIGHTEN",     "STR_MULTIPLY",    "STR_SCREEN",   "STR_COLORDODGE",
    "STR_COLORBURN", "STR_LINEARDODGE", "STR_LINEARBURN",  "STR_OVERLAY",  "STR_SOFTLIGHT",
    "STR_HARDLIGHT", "STR_VIVIDLIGHT",  "STR_LINEARLIGHT", "STR_PINLIGHT", "STR_HARDMIX",
    "STR_ADD",       "STR_SUB",         "STR_DIFFERENCE",  "STR_EXCLUSION"};
constexpr SV kGradientStyles[] = {"STR_LINEAR", "STR_RADIAL", "STR_SYMMETRY"};
constexpr ControlSpec kGradient[] = {
    {"blendMode", K::List, "STR_CONTROL_BLEND", 0, 18, 2, "", L::Truncated, kBlendModes},
    {"style", K::List, "STR_CONTROL_STYLE", 0, 2, 2, "", L::Truncated, kGradientStyles},
    {"preset", K::Swatches, "STR_CONTROL_GRADIENT", 0, kGradientPresetCount - 1, 0, ""},
    {"scale", K::Slider, "STR_CONTROL_SCALE", 10, 150, 100, "%d%%"},
    {"degrees", K::Slider, "STR_CONTROL_ANGLE", -180, 180, 90},
    {"opacity", K::Slider, "STR_CONTROL_OPACITY", 0, 100, 75},
    {"reverse", K::Toggle, "STR_CONTROL_REVERSE", 0, 1, 1}};

constexpr ControlSpec kSoftGlow[] = {
    {"radius", K::Slider, "STR_CONTROL_RADIUS", 1, 100, 10},
    {"brightness", K::Slider, "STR_CONTROL_BRIGHTNESS", 0, 100, 25},
    {"sharpness", K::Slider, "STR_CONTROL_SHARPNESS", 0, 100, 25}};
constexpr ControlSpec kRedEye[] = {{"threshold", K::Slider, "STR_CONTROL_THRESHOLD", 0, 100, 50}};
constexpr ControlSpec kSharpen[] = {{"radius", K::Slider, "STR_CONTROL_RADIUS", 1, 30, 10},
                                    {"amount", K::Slider, "STR_CONTROL_AMOUNT", 0, 500, 50, "%d%%"},
                                    {"threshold", K::Slider, "STR_CONTROL_THRESHOLD", 0, 255, 5}};
constexpr ControlSpec kGasBlur[] = {
    {"radiusH", K::Slider, "STR_CONTROL_HORIZONTAL_RADIUS", 1, 100, 10},
    {"radiusV", K::Slider, "STR_CONTROL_VERTICAL_RADIUS", 1, 100, 10},
    {"lock", K::Toggle, "STR_CONTROL_LOCK", 0, 1, 1}};
constexpr ControlSpec kRadialBlur[] = {
    {"amount", K::Slider, "STR_CONTROL_AMOUNT", 1, 100, 50},
    {"scale", K::Slider, "STR_CONTROL_SCALE", 0.01f, 9.99f, 2, "%.2f", L::Value}};
constexpr ControlSpec kAddNoise[] = {{"amount", K::Slider, "STR_CONTROL_AMOUNT", 1, 100, 10},
                                     {"color", K::Toggle, "STR_CONTROL_COLOR", 0, 1, 0}};
constexpr ControlSpec kBokeh[] = {{"focus", K::Editor, "STR_MENU_BOKEH"},
                                  {"extendWidth",
                                   K::Slider,
                                   "STR_CONTROL_EXTEND_WIDTH",
                                   10,
                                   100,
                                   10,
                                   "%d",
                                   L::Truncated,
                                   {},
                                   {},
                                   {},
                                   true},
                                  {"degrees", K::Slider, "STR_CONTROL_ANGLE", -180, 180, 0}};

// ---- filter ----
constexpr SV kLomoSections[] = {"Classic", "Soft", "B/W", "Other"};
constexpr ControlSpec kLomo[] = {
    {"section", K::Segment, "STR_CONTROL_SECTION", 0, 3, 0, "", L::Truncated, kLomoSections},
    {"look", K::LookStrip, "STR_MENU_LOMO", 0, 14, 0, ""}};
constexpr ControlSpec kHDR[] = {{"look", K::LookStrip, "STR_MENU_HDR", 0, 3, 0, ""}};
constexpr ControlSpec kRetinex[] = {
    {"scaleDivision", K::Slider, "STR_CONTROL_SCALE_DIVISION", 1, 16, 10},
    {"dynamic", K::Slider, "STR_CONTROL_DYNAMIC", 0, 4, 2, "%.1f", L::Value}};
constexpr ControlSpec kPainting[] = {
    {"radius", K::Slider, "STR_CONTROL_RADIUS", 1, 10, 3},
    {"smoothness", K::Slider, "STR_CONTROL_SMOOTHNESS", 2, 255, 8}};
constexpr ControlSpec kEmboss[] = {{"degree", K::Slider, "STR_CONTROL_ANGLE", -180, 180, 0},
                                   {"height", K::Slider, "STR_CONTROL_HEIGHT", 1, 20, 3},
                                   {"percentage", K::Slider, "STR_CONTROL_AMOUNT", 1, 500, 100}};
constexpr ControlSpec kSketch[] = {{"radius", K::Slider, "STR_CONTROL_RADIUS", 1, 20, 5}};
constexpr ControlSpec kDot[] = {{"width", K::Slider, "STR_CONTROL_WIDTH", 2, 50, 20}};
constexpr ControlSpec kMosaics[] = {{"width", K::Slider, "STR_CONTROL_WIDTH", 2, 200, 10}};
constexpr ControlSpec kDiffuse[] = {{"radius", K::Slider, "STR_CONTROL_RADIUS", 1, 30, 5}};

// ---- edit ----
constexpr ControlSpec kFlip[] = {{"flipH", K::Toggle, "STR_CONTROL_FLIP_HORIZONTAL", 0, 1, 0},
                                 {"flipV", K::Toggle, "STR_CONTROL_FLIP_VERTICAL", 0, 1, 0},
                                 {"picture", K::Editor, "STR_MENU_FLIP"}};
constexpr SV kProportions[] = {"1 : 1", "2 : 3", "3 : 2", "4 : 3", "16 : 9", "? : ?"};
constexpr ControlSpec kClip[] = {
    {"proportion", K::Segment, "STR_CONTROL_PROPORTION", 0, 5, 5, "", L::Truncated, kProportions},
    {"frame", K::Editor, "STR_MENU_CLIP"}};
constexpr ControlSpec kRotate[] = {{"angle", K::Slider, "STR_CONTROL_ANGLE", -180, 180, 0},
                                   {"snap", K::Toggle, "STR_CONTROL_SNAP", 0, 1, 0},
                                   {"picture", K::Editor, "STR_MENU_ROTATE"}};

// ---- commands ----
constexpr SV kSimpleColorCommands[] = {"CMD_GRAY", "CMD_COMPLEMENT_COLOR", "CMD_ANTICOLOR"};
#define VANTREL_ONE_COMMAND(name) constexpr SV k##name##Command[] = {"CMD_" #name};
VANTREL_ONE_COMMAND(POSTERIZE)
VANTREL_ONE_COMMAND(THRESHOLD)
VANTREL_ONE_COMMAND(EQUALIZE)
VANTREL_ONE_COMMAND(AUTO_LEVELS)
VANTREL_ONE_COMMAND(SHADOW_HIGHLIGHT)
VANTREL_ONE_COMMAND(CURVE)
VANTREL_ONE_COMMAND(SELECTIVE_COLOR)
VANTREL_ONE_COMMAND(COLORLEVELS)
VANTREL_ONE_COMMAND(COLORBALANCE)
VANTREL_ONE_COMMAND(EXPOSURE)
VANTREL_ONE_COMMAND(BRIGHTNESS_CONTRAST)
VANTREL_ONE_COMMAND(GRADIENT_OVERLAY)
VANTREL_ONE_COMMAND(SOFTGLOW)
VANTREL_ONE_COMMAND(RED_EYE_REMOVAL)
VANTREL_ONE_COMMAND(SHARPEN)
VANTREL_ONE_COMMAND(GASBLUR)
VANTREL_ONE_COMMAND(RADIALBLUR)
VANTREL_ONE_COMMAND(REDUCENOISE)
VANTREL_ONE_COMMAND(NOISE)
VANTREL_ONE_COMMAND(BOKEH)
VANTREL_ONE_COMMAND(LOMO)
VANTREL_ONE_COMMAND(RETINEX)
VANTREL_ONE_COMMAND(PAINTING)
VANTREL_ONE_COMMAND(EMBOSS)
VANTREL_ONE_COMMAND(SKETCH)
VANTREL_ONE_COMMAND(DOT)
VANTREL_ONE_COMMAND(MOSAICS)
VANTREL_ONE_COMMAND(DIFFUSE)
VANTREL_ONE_COMMAND(FLIP)
VANTREL_ONE_COMMAND(CLIP)
#undef VANTREL_ONE_COMMAND
constexpr SV kHSLCommands[] = {"CMD_HSL_ADUSTMENT", "CMD_HSL_TINT"};
constexpr SV kChannelMixCommands[] = {"CMD_CHANNELMIX", "CMD_CHANNELMIX_GRAY"};
constexpr SV kRotateCommands[] = {"CMD_ZOOM", "CMD_ROTATE"};

// ---- mappings of the plain panels ----
void MapSimpleColor(const V& v, P& p) {
    switch (v.integer("mode")) {
        case 1:
            p.addCommandComplementColor();
            return;
        case 2:
            p.addCommandAntiColor();
            return;
        default:
            p.addCommandGray();
    }
}

// Brightness is scaled into -0.4 .. 0.75.
void MapBrightness(const V& v, P& p) {
    float b = v.value("brightness") / 100;
    if (b < 0) b = b * 0.4f;
    if (b > 0) b = b * 0.75f;
    p.addCommandBrightnessContrastByBrightness(b, v.value("contrast") / 100);
}

void MapGradient(const V& v, P& p) {
    const GradientPalette palette = GradientPreset(v.integer("preset"));
    const std::vector<RGBPoint>& points = palette.points();
    p.addCommandGradientOverlayByBlendMode(
        v.integer("blendMode") + 1, v.integer("style"), points, static_cast<int>(points.size()),
        v.value("degrees"), v.value("scale") / 100, v.value("opacity") / 100, v.on("reverse"));
}

constexpr PreviewFlags SizeFactor(float scale) {
    PreviewFlags flags;
    flags.imageSizeScale = scale;
    return flags;
}

constexpr PreviewFlags NotRealtime(float scale = 1) {
    PreviewFlags flags = SizeFactor(scale);
    flags.realTimeSliderEnabled = false;
    return flags;
}

constexpr PreviewFlags LookFlags() {
    PreviewFlags flags = SizeFactor(2);
    flags.startProcessWithWaitPanel = true;
    flags.waitPanelMaskEnabled = false;
    flags.waitPanelStyle = 1;
    return flags;
}

constexpr PreviewFlags HDRFlags() {
    PreviewFlags flags = LookFlags();
    flags.realTimeProcess = true;  // until its reset ends
    return flags;
}

constexpr PreviewFlags GeometryFlags() {
    PreviewFlags flags = SizeFactor(3);
    flags.allowUseReviewAsResult = false;
    flags.showOriginalImageOnTap = false;
    return flags;
}

constexpr PreviewFlags ShadowHighlightFlags() {
    PreviewFlags flags;
    flags.resultFromLastPreview = true;
    return flags;
}

constexpr PreviewFlags ReduceNoiseFlags() {
    PreviewFlags flags = SizeFactor(4);
    flags.startProcessWithWaitPanel = true;
    return flags;
}

constexpr PreviewFlags BokehFlags() {
    PreviewFlags flags = NotRealtime(3);
    flags.showOriginalImageOnTap = false;
    return flags;
}

constexpr PreviewFlags RetinexFlags() {
    PreviewFlags flags = NotRealtime(3);
    flags.startProcessWithWaitPanel = true;
    flags.waitPanelStyle = 1;
    return flags;
}

constexpr PreviewFlags PaintingFlags() {
    PreviewFlags flags = NotRealtime(2);
    flags.startProcessWithWaitPanel = true;
    flags.waitPanelMaskEnabled = false;
    flags.waitPanelStyle = 1;
    return flags;
}

using Plain = EffectsToolView;
constexpr PreviewFlags kBase{};

constexpr PanelSpec kPanels[] = {
    // colour
    {"STR_MENU_SIMPLECOLOR", "SimpleColorEffectsToolView", Menu::Colour, kSimpleColorCommands,
     kSimpleColor, SizeFactor(4), MapSimpleColor, MakePanel<Plain>},
    {"STR_MENU_POSTERIZE", "PosterizeEffectsToolView", Menu::Colour, kPOSTERIZECommand, kPosterize,
     SizeFactor(3), [](const V& v, P& p) { p.addCommandPosterizeByLevels(v.integer("levels")); },
     MakePanel<Plain>},
    {"STR_MENU_THRESHOLD", "ThresholdEffectsToolView", Menu::Colour, kTHRESHOLDCommand, kThreshold,
     SizeFactor(3), [](const V& v, P& p) { p.addCommandThresholdByLevels(v.integer("levels")); },
     MakePanel<Plain>},
    {"STR_MENU_EQUALIZE", "EqualizeEffectsToolView", Menu::Colour, kEQUALIZECommand, kEqualize,
     SizeFactor(4),
     [](const V& v, P& p) { p.addCommandEqualizeByEqualizeMode(v.integer("equalizeMode")); },
     MakePanel<Plain>},
    {"STR_MENU_AUTOLEVELS", "AutoLevelsEffectsToolView", Menu::Colour, kAUTO_LEVELSCommand,
     kReviewCaption, SizeFactor(4), [](const V&, P& p) { p.addCommandAutoLevels(); },
     MakePanel<Plain>},
    {"STR_MENU_SHADOWRECOVERY", "ShadowHighlightEffectsToolView", Menu::Colour,
     kSHADOW_HIGHLIGHTCommand, kShadowHighlight, ShadowHighlightFlags(),
     [](const V& v, P& p) {
         p.addCommandShadowHighlightByShadows(static_cast<double>(v.value("shadows")) / 100,
                                              static_cast<double>(v.value("highlights")) / 100);
     },
     MakePanel<Plain>},
    {"STR_MENU_CURVE", "CurveEffectsToolView", Menu::Colour, kCURVECommand, kCurve, SizeFactor(3),
     nullptr, MakePanel<CurveEffectsToolView>},
    {"STR_MENU_HSL", "HSLEffectsToolView", Menu::Colour, kHSLCommands, kHSL, kBase, nullptr,
     MakePanel<HSLEffectsToolView>},
    {"STR_MENU_SELECTIVECOLOR", "SelectiveColorEffectsToolView", Menu::Colour,
     kSELECTIVE_COLORCommand, kSelectiveColor, kBase, nullptr,
     MakePanel<SelectiveColorEffectsToolView>},
    {"STR_MENU_CHANNELMIXER", "ChannelMixEffectsToolView", Menu::Colour, kChannelMixCommands,
     kChannelMix, SizeFactor(3), nullptr, MakePanel<ChannelMixEffectsToolView>},
    {"STR_MENU_COLORLEVELS", "ColorLevelsEffectsToolView", Menu::Colour, kCOLORLEVELSCommand,
     kColorLevels, SizeFactor(3), nullptr, MakePanel<ColorLevelsEffectsToolView>},
    {"STR_MENU_COLORBALANCE", "ColorBalanceEffectsToolView", Menu::Colour, kCOLORBALANCECommand,
     kColorBalance, kBase, nullptr, MakePanel<ColorBalanceEffectsToolView>},
    {"STR_MENU_EXPOSURE", "ExposureEffectsToolView", Menu::Colour, kEXPOSURECommand, kExposure,
     SizeFactor(3),
     [](const V& v, P& p) {
         p.addCommandExposureByValue(ExposureOfSlider(v.value("exposure"), 100).value);
     },
     MakePanel<Plain>},
    {"STR_MENU_BRIGHTNESS", "BrightnessEffectsToolView", Menu::Colour, kBRIGHTNESS_CONTRASTCommand,
     kBrightness, SizeFactor(3), MapBrightness, MakePanel<Plain>},
    // fix
    {"STR_MENU_GRADIENT", "GradientOverlayToolView", Menu::Fix, kGRADIENT_OVERLAYCommand, kGradient,
     kBase, MapGradient, MakePanel<Plain>},
    {"STR_MENU_SOFTGLOW", "SoftGlowEffectsToolView", Menu::Fix, kSOFTGLOWCommand, kSoftGlow,
     NotRealtime(4),
     [](const V& v, P& p) {
         p.addCommandSoftGlowByRadius(v.integer("radius"), v.value("brightness") / 100,
                                      v.value("sharpness") / 100);
     },
     MakePanel<Plain>},
    {"STR_MENU_REDEYERM", "RedEyeRemovalEffectsToolView", Menu::Fix, kRED_EYE_REMOVALCommand,
     kRedEye, SizeFactor(3),
     [](const V& v, P& p) { p.addCommandRedEyeRemovalByThreshold(v.integer("threshold")); },
     MakePanel<Plain>},
    {"STR_MENU_SHARPEN", "SharpenEffectsToolView", Menu::Fix, kSHARPENCommand, kSharpen,
     NotRealtime(3),
     [](const V& v, P& p) {
         p.addCommandUnsharpByRadius(v.integer("radius"), v.integer("amount"),
                                     v.integer("threshold"));
     },
     MakePanel<Plain>},
    {"STR_MENU_GAUSSIANBLUR", "GasBlurEffectsToolView", Menu::Fix, kGASBLURCommand, kGasBlur,
     NotRealtime(3),
     [](const V& v, P& p) {
         p.addCommandGasBlurByRadius_H(v.integer("radiusH"), v.integer("radiusV"));
     },
     MakePanel<GasBlurEffectsToolView>},
    {"STR_MENU_RADIALBLUR", "RadialBlurEffectsToolView", Menu::Fix, kRADIALBLURCommand, kRadialBlur,
     NotRealtime(),
     [](const V& v, P& p) {
         p.addCommandRadialBlurByAmount(v.integer("amount"), v.value("scale"));
     },
     MakePanel<Plain>},
    {"STR_MENU_REDUCENOISE", "ReduceNoiseEffectsToolView", Menu::Fix, kREDUCENOISECommand,
     kReviewCaption, ReduceNoiseFlags(), [](const V&, P& p) { p.addCommandReduceNoiseByMode(0); },
     MakePanel<Plain>},
    {"STR_MENU_ADDNOISE", "AddNoiseEffectsToolView", Menu::Fix, kNOISECommand, kAddNoise,
     SizeFactor(2),
     [](const V& v, P& p) { p.addCommandNoiseByAmount(v.integer("amount"), v.on("color")); },
     MakePanel<Plain>},
    {"STR_MENU_BOKEH", "BokehEffectsToolView", Menu::Fix, kBOKEHCommand, kBokeh, BokehFlags(),
     nullptr, MakePanel<BokehEffectsToolView>},
    // filter
    {"STR_MENU_LOMO", "LomoEffectsToolView", Menu::Filter, kLOMOCommand, kLomo, LookFlags(),
     nullptr, MakePanel<LomoEffectsToolView>},
    {"STR_MENU_HDR", "HDRFixEffectsToolView", Menu::Filter, kLOMOCommand, kHDR, HDRFlags(), nullptr,
     MakePanel<HDRFixEffectsToolView>},
    {"STR_MENU_RETINEX", "RetinexEffectsToolView", Menu::Filter, kRETINEXCommand, kRetinex,
     RetinexFlags(), nullptr, MakePanel<RetinexEffectsToolView>},
    {"STR_MENU_PAINTING", "PaintingEffectsToolView", Menu::Filter, kPAINTINGCommand, kPainting,
     PaintingFlags(),
     [](const V& v, P& p) {
         p.addCommandPaintingByRadius(v.integer("radius"), v.integer("smoothness"));
     },
     MakePanel<Plain>},
    {"STR_MENU_EMBOSS", "EmbossEffectsToolView", Menu::Filter, kEMBOSSCommand, kEmboss,
     NotRealtime(2),
     [](const V& v, P& p) {
         p.addCommandEmbossByDegrees(static_cast<float>(v.integer("degree")), v.integer("height"),
                                     v.integer("percentage"));
     },
     MakePanel<Plain>},
    {"STR_MENU_SKETCH", "SketchEffectsToolView", Menu::Filter, kSKETCHCommand, kSketch,
     NotRealtime(3), [](const V& v, P& p) { p.addCommandSketchByRadius(v.integer("radius")); },
     MakePanel<Plain>},
    {"STR_MENU_DOT", "DotEffectsToolView", Menu::Filter, kDOTCommand, kDot, kBase,
     [](const V& v, P& p) { p.addCommandDotByGridWidth(v.integer("width")); }, MakePanel<Plain>},
    {"STR_MENU_MOSAICS", "MosaicsEffectsToolView", Menu::Filter, kMOSAICSCommand, kMosaics, kBase,
     [](const V& v, P& p) { p.addCommandMosaicsByGridWidth(v.integer("width")); },
     MakePanel<Plain>},
    {"STR_MENU_DIFFUSE", "DiffuseEffectsToolView", Menu::Filter, kDIFFUSECommand, kDiffuse, kBase,
     [](const V& v, P& p) { p.addCommandDiffuseBySpacing(1, v.integer("radius")); },
     MakePanel<Plain>},
    // edit
    {"STR_MENU_FLIP", "FlipToolView", Menu::Edit, kFLIPCommand, kFlip, GeometryFlags(), nullptr,
     MakePanel<FlipToolView>},
    {"STR_MENU_CLIP", "ClipToolView", Menu::Edit, kCLIPCommand, kClip, GeometryFlags(), nullptr,
     MakePanel<ClipToolView>},
    {"STR_MENU_ROTATE", "RotateToolView", Menu::Edit, kRotateCommands, kRotate, GeometryFlags(),
     nullptr, MakePanel<RotateToolView>},
};

}  // namespace

std::span<const PanelSpec> PanelTable() {
    return kPanels;
}

const PanelSpec* FindPanel(std::string_view titleKey) {
    const auto found = std::ranges::find(kPanels, titleKey, &PanelSpec::titleKey);
    return found == std::end(kPanels) ? nullptr : &*found;
}

std::string_view MenuKey(Menu menu) {
    switch (menu) {
        case Menu::Colour:
            return "colour";
        case Menu::Fix:
            return "fix";
        case Menu::Filter:
            return "filter";
        case Menu::Edit:
            break;
    }
    return "edit";
}

std::string_view MenuBarItem(Menu menu) {
    switch (menu) {
        case Menu::Colour:
            return "colorMenuItem";
        case Menu::Fix:
            return "effectsMenuItem";
        case Menu::Filter:
            return "filterMenuItem";
        case Menu::Edit:
            break;
    }
    return "sizeMenuItem";
}

const ControlSpec* PanelSpec::control(std::string_view key) const {
    const auto found = std::ranges::find(controls, key, &ControlSpec::key);
    return found == controls.end() ? nullptr : &*found;
}

int PanelSpec::controlIndex(std::string_view key) const {
    const auto found = std::ranges::find(controls, key, &ControlSpec::key);
    return found == controls.end() ? -1 : static_cast<int>(found - controls.begin());
}

float ControlValues::value(std::string_view key) const {
    const int index = m_spec.controlIndex(key);
    return index < 0 ? 0.0f : m_values[index];
}

int ControlValues::integer(std::string_view key) const {
    return TiTrunc(value(key));
}

bool ControlValues::on(std::string_view key) const {
    return value(key) != 0;
}

}  // namespace vantrel
