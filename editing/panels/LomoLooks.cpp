#include "editing/panels/LomoLooks.h"

#include <algorithm>

#include "commands/NameTables.h"

namespace vantrel {
namespace {

using enum LookSection;

constexpr LomoLook kLooks[] = {
    {LE_NONE, "None", kClassic, 1},
    {LE_OLDPHOTO, "Old", kOther, 11},
    {LE_NEGATIVEFILM, "Negative", kClassic, 7},
    {LE_FalseHDRI, "False HDRI", kHDR, 4},
    {LE_WarmGlowSoftLight, "Warm Glow", kClassic, 6},
    {LE_StrongContrast, "Strong Contrast", kOther, 1},
    {LE_StrongBrightness, "Strong Brightness", kOther, 2},
    {LE_ContrastRetro, "Contrast Retro", kClassic, 9},
    {LE_OldSepiaBlue, "Old Sepia Blue", kClassic, 5},
    {LE_DarkEdgesRedFill, "Dark Edges Red Fill", kClassic, 3},
    {LE_PurpleVinetteMiddleFocus, "Purple Vinette Middle Focus", kClassic, 2},
    {LE_StrongGreenBlue, "Strong Green Blue", kOther, 4},
    {LE_3DGlasses, "3D Glasses", kClassic, 15},
    {LE_ContrastMotionGlow, "Contrast Motion Glow", kBlackWhite, 2},
    {LE_StrongContrastMiddleFocus, "Strong Contrast Middle Focus", kBlackWhite, 3},
    {LE_OldLook, "Old Look", kBlackWhite, 4},
    {LE_StrongContrastDarkBase, "Strong Contrast Dark Base", kBlackWhite, 5},
    {LE_DarkGlow, "Dark Glow", kBlackWhite, 6},
    {LE_Vinette, "Vinette", kBlackWhite, 7},
    {LE_Inverted, "Inverted", kBlackWhite, 8},
    {LE_ReduceWhiteSemiHDRI, "Reduce White Semi HDRI", kBlackWhite, 9},
    {LE_ShadowsRed, "Shadows Red", kClassic, 11},
    {LE_DarkGreenHighlights, "Dark Green Highlights", kOther, 7},
    {LE_MoonBlue, "Moon Blue", kOther, 8},
    {LE_VibrantBluePurple, "Vibrant Blue / Purple", kOther, 9},
    {LE_FillShadowsGrey, "Fill Shadows Grey", kOther, 10},
    {LE_StrongGreen, "Strong Green", kOther, 3},
    {LE_SoftOrangeMiddleGlow, "Soft Orange Middle Glow", kClassic, 12},
    {LE_GreenRedShadows, "Green Red Shadows", kClassic, 13},
    {LE_DarkPink, "Dark Pink", kClassic, 4},
    {LE_SoftRedGlow, "Soft Red Glow", kOther, 6},
    {LE_HDR_Heavy, "HDR Fix Heavy", kHDR, 3},
    {LE_HDR_Fix_Normal, "HDR Fix Normal", kHDR, 2},
    {LE_HDR_Fix_Light, "HDR Fix Light", kHDR, 1},
    {LE_OrangeYellow, "Orange Yellow", kOther, 5},
    {LE_DimAndJaded, "Dim And Jaded", kClassic, 14},
    {LE_GreenBlueFill, "Green Blue Fill", kClassic, 8},
    {LE_GreenBlue, "Green Blue", kOther, 12},
    {LE_BW_FocusCenter, "Focus Center", kBlackWhite, 10},
    {LE_BW_BeautyGlow, "Beauty Glow", kBlackWhite, 11},
    {LE_RetroFeelingBurned, "Retro Feeling Burned", kSoft, 2},
    {LE_RetroFeelingSunExposure, "Retro Feeling Sun Exposure", kSoft, 3},
    {LE_OverallMoodHappyness, "Overall Mood Happyness", kSoft, 4},
    {LE_SmartSepia, "Smart Sepia", kSoft, 5},
    {LE_SmartCold, "Smart Cold", kSoft, 6},
    {LE_ColorfulGlow, "Colorful Glow", kSoft, 7},
    {LE_ExperimentalLod, "Experimental Lod", kSoft, 8},
    {LE_EnhanceQuality, "Enhance Quality", kBlackWhite, 1},
    {LE_ReduceBrightnessBlueFill, "Reduce Brightness Blue Fill", kClassic, 10},
    {LE_Amatorka, "Amatorka", kSoft, 1},
};

}  // namespace

std::span<const LomoLook> LomoLooks() {
    return kLooks;
}

std::vector<LomoLook> LooksInSection(LookSection section) {
    std::vector<LomoLook> looks;
    for (const LomoLook& look : kLooks) {
        if (look.section == section) looks.push_back(look);
    }
    std::ranges::sort(looks, {}, &LomoLook::position);
    return looks;
}

std::string_view SectionTitle(LookSection section) {
    switch (section) {
        case kClassic:
            return "Classic";
        case kSoft:
            return "Soft";
        case kBlackWhite:
            return "B/W";
        case kOther:
            return "Other";
        case kHDR:
            break;
    }
    return "HDR";
}

const LomoLook* FindLook(int lomo) {
    const auto found = std::ranges::find(kLooks, lomo, &LomoLook::lomo);
    return found == std::end(kLooks) ? nullptr : &*found;
}

}  // namespace vantrel
