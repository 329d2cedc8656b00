// The channel and lomo style names of the command vocabulary.
//
// A name's number is its position in its list: channel 0 CHANEL_RGB (the
// three colour channels) to 4 CHANEL_A, the selector the curve operation
// takes; lomo style 0 LE_NONE to 53 LE_Amatorka, the style number the lomo
// operation takes. Each list is declared once; the enums and the name texts
// both come from it. Lookups are ActionCommand's (channelToString, ...).
#pragma once

#include <cstddef>
#include <string_view>

// clang-format off
#define VANTREL_CHANNELS(X) X(CHANEL_RGB) X(CHANEL_R) X(CHANEL_G) X(CHANEL_B) X(CHANEL_A)

#define VANTREL_LOMO_STYLES(X)                                                               \
    X(LE_NONE) X(LE_CLASSIC) X(LE_OLDPHOTO) X(LE_NEGATIVEFILM) X(LE_FalseHDRI)               \
    X(LE_WarmGlowSoftLight) X(LE_StrongContrast) X(LE_StrongBrightness)                      \
    X(LE_ContrastRoomGlow) X(LE_ContrastRetro) X(LE_OldSepiaBlue) X(LE_DarkEdgesRedFill)     \
    X(LE_PurpleVinetteMiddleFocus) X(LE_StrongGreenBlue) X(LE_3DGlasses)                     \
    X(LE_ContrastMotionGlow) X(LE_StrongContrastMiddleFocus) X(LE_OldLook)                   \
    X(LE_StrongContrastDarkBase) X(LE_DarkGlow) X(LE_Vinette) X(LE_Inverted)                 \
    X(LE_ReduceWhiteSemiHDRI) X(LE_ShadowsRed) X(LE_DarkGreenHighlights) X(LE_MoonBlue)      \
    X(LE_VibrantBluePurple) X(LE_FillShadowsGrey) X(LE_StrongGreen)                          \
    X(LE_SoftOrangeMiddleGlow) X(LE_GreenRedShadows) X(LE_DarkPink) X(LE_SoftRedGlow)        \
    X(LE_HDR_Heavy) X(LE_HDR_Fix_Normal) X(LE_HDR_Fix_Light) X(LE_OrangeYellow)              \
    X(LE_DimAndJaded) X(LE_GreenBlueFill) X(LE_GreenBlue) X(LE_BW_FocusCenter)               \
    X(LE_BW_BeautyGlow) X(LE_SoftCreamFill) X(LE_RetroFeelingBurned)                         \
    X(LE_RetroFeelingSunExposure) X(LE_OverallMoodHappyness) X(LE_SmartSepia)                \
    X(LE_SmartCold) X(LE_ColorfulGlow) X(LE_SmartBW1) X(LE_ExperimentalLod)                  \
    X(LE_EnhanceQuality) X(LE_ReduceBrightnessBlueFill) X(LE_Amatorka)
// clang-format on

namespace vantrel {

#define VANTREL_ENUMERATOR(name) name,
#define VANTREL_NAME_TEXT(name) #name,

enum ChannelNumber : int { VANTREL_CHANNELS(VANTREL_ENUMERATOR) };
enum LomoStyle : int { VANTREL_LOMO_STYLES(VANTREL_ENUMERATOR) };

inline constexpr std::string_view kChannelNames[] = {VANTREL_CHANNELS(VANTREL_NAME_TEXT)};
inline constexpr std::string_view kLomoNames[] = {VANTREL_LOMO_STYLES(VANTREL_NAME_TEXT)};

#undef VANTREL_ENUMERATOR
#undef VANTREL_NAME_TEXT

inline constexpr std::size_t kChannelCount = std::size(kChannelNames);
inline constexpr std::size_t kLomoStyleCount = std::size(kLomoNames);
static_assert(kChannelCount == 5 && kLomoStyleCount == 54);

}  // namespace vantrel
