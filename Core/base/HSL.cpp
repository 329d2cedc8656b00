#include "Core/base/HSL.h"

#include <algorithm>
#include <cstdint>

#include "Core/base/ColorPass.h"
#include "Core/base/HSLModel.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/HSL";

// Sums of shifts are held here so that adding a hue, saturation or
// lightness to them can never overflow an int.
constexpr std::int64_t kShiftLimit = std::int64_t{1} << 30;

int ClampToByte(int value) {
    return std::clamp(value, 0, 255);
}

// The rounded lightness of a colour whose max + min is `sum`.
int LightnessOfSum(double sum) {
    return TiTrunc(sum * 0.5 + 0.5);
}

// The weight of a hue range at `hue`, the range already turned so that its
// left end lies on the wheel (all values in 64 bits: they came from outside).
float WeightAt(std::int64_t hue, std::int64_t centerLeft, std::int64_t centerRight,
               std::int64_t rangeLeft, std::int64_t rangeRight) {
    if (rangeLeft > hue) hue += 360;
    if (centerLeft <= hue && hue <= centerRight) return 1.0f;
    // The fades are measured from the middle of the centre.
    const std::int64_t mid = (centerLeft + centerRight) / 2;
    if (rangeLeft <= hue && hue < centerLeft) {
        if (mid == rangeLeft) return 0.0f;
        return 1.0f - static_cast<float>(mid - hue) / static_cast<float>(mid - rangeLeft);
    }
    if (centerRight < hue && hue <= rangeRight) {
        if (rangeRight == mid) return 0.0f;
        return 1.0f - static_cast<float>(hue - mid - 1) / static_cast<float>(rangeRight - mid);
    }
    return 0.0f;
}

bool IsActive(const TinyHSL& shift) {
    return shift.m_hue != 0 || shift.m_saturation != 0 || shift.m_lightness != 0;
}

// The total shift of hue, saturation and lightness at each hue of the wheel.
struct HueShifts {
    int hue[360];
    int saturation[360];
    int lightness[360];
};

int HoldShift(std::int64_t sum) {
    return static_cast<int>(std::clamp(sum, -kShiftLimit, kShiftLimit));
}

// Every group's shift at each hue 0..359: the hue groups weighted by their
// ranges at that hue, `all` unweighted.
void BuildHueShifts(const HSLData& data, const HueRangeData& ranges, HueShifts& shifts) {
    const TinyHSL* const groups[6] = {&data.red,  &data.yellow, &data.green,
                                      &data.cyan, &data.blue,   &data.magenta};
    const HueRange* const groupRanges[6] = {&ranges.red,  &ranges.yellow, &ranges.green,
                                            &ranges.cyan, &ranges.blue,   &ranges.magenta};
    for (int hue = 0; hue < 360; ++hue) {
        std::int64_t sum[3] = {0, 0, 0};
        const auto add = [&sum](const TinyHSL& shift) {
            sum[0] += shift.m_hue;
            sum[1] += shift.m_saturation;
            sum[2] += shift.m_lightness;
        };
        for (int group = 0; group < 6; ++group) {
            if (IsActive(*groups[group]))
                add(GetHueRangeWeight(hue, *groupRanges[group], *groups[group]));
        }
        if (IsActive(data.all)) add(data.all);
        shifts.hue[hue] = HoldShift(sum[0]);
        shifts.saturation[hue] = HoldShift(sum[1]);
        shifts.lightness[hue] = HoldShift(sum[2]);
    }
}

bool OnWheel(int hue) {
    return hue >= 0 && hue <= 360;
}

[[gnu::always_inline]] inline int ShiftChunkKernel(const HueShifts& shifts, int count,
                                                   int* __restrict hue, int* __restrict saturation,
                                                   int* __restrict lightness) {
    int offWheel = 0;
    for (int i = 0; i < count; ++i) {
        const int before = hue[i];
        int shifted = before + shifts.hue[before];
        shifted = shifted < 0 ? shifted + 360 : (shifted > 360 ? shifted - 360 : shifted);
        offWheel |= static_cast<unsigned>(shifted) > 360u;
        hue[i] = shifted;
        saturation[i] = std::clamp(saturation[i] + shifts.saturation[before], 1, 255);
        lightness[i] = std::clamp(lightness[i] + shifts.lightness[before], 0, 255);
    }
    return offWheel;
}

int ShiftChunkBaseline(const HueShifts& shifts, int count, hsl_model::HSLChunk& hsl) {
    return ShiftChunkKernel(shifts, count, hsl.hue, hsl.saturation, hsl.lightness);
}

TI_TARGET_AVX2 int ShiftChunkAvx2(const HueShifts& shifts, int count, hsl_model::HSLChunk& hsl) {
    return ShiftChunkKernel(shifts, count, hsl.hue, hsl.saturation, hsl.lightness);
}

// Adds to each pixel the shifts at its hue; true when a hue ended off the
// wheel (shifts of more than a turn).
bool ShiftChunk(const HueShifts& shifts, int count, hsl_model::HSLChunk& hsl) {
    const int offWheel = hsl_model::UseAvx2() ? ShiftChunkAvx2(shifts, count, hsl)
                                              : ShiftChunkBaseline(shifts, count, hsl);
    return offWheel != 0;
}

// The chunk conversion takes hues on the wheel only; pixels whose hue left
// it go through HSLToRGB, which takes them as they are.
void HSLToWordsOffWheel(hsl_model::HSLChunk& hsl, int count, std::uint32_t* words) {
    int shifted[hsl_model::kChunk];
    for (int i = 0; i < count; ++i) {
        shifted[i] = hsl.hue[i];
        if (!OnWheel(shifted[i])) hsl.hue[i] = 0;
    }
    hsl_model::HSLToWords(hsl, count, words);
    for (int i = 0; i < count; ++i) {
        if (OnWheel(shifted[i])) continue;
        const TiRGBColor rgb = HSLToRGB(shifted[i], hsl.saturation[i], hsl.lightness[i]);
        words[i] = static_cast<std::uint32_t>(rgb.red | rgb.green << 8 | rgb.blue << 16);
    }
}

}  // namespace

TiHSLColor RGBToHSL(int red, int green, int blue) {
    red = ClampToByte(red);
    green = ClampToByte(green);
    blue = ClampToByte(blue);
    const int mx = std::max(red, std::max(green, blue));
    const int mn = std::min(red, std::min(green, blue));
    const int lightness = TiTrunc(static_cast<float>(mx + mn) / 2.0f);
    if (mx == mn) return {0, 0, lightness};
    const int spread = mx - mn;
    int hue;
    if (red == mx) {
        hue = hsl_model::HueOf(0, green - blue, spread);
    } else if (green == mx) {
        hue = hsl_model::HueOf(1, blue - red, spread);
    } else {
        hue = hsl_model::HueOf(2, red - green, spread);
    }
    return {hue, hsl_model::SaturationOf(spread, mx + mn), lightness};
}

TiRGBColor HSLToRGB(int hue, int saturation, int lightness) {
    if (saturation == 0) {
        const int gray = ClampToByte(lightness);
        return {gray, gray, gray};
    }
    const hsl_model::LightnessBounds bounds = hsl_model::BoundsOf(saturation, lightness);
    const std::int64_t h = hue;
    return {hsl_model::ChannelOf(bounds, hsl_model::WrapOnce(h + 120)),
            hsl_model::ChannelOf(bounds, hsl_model::WrapOnce(h)),
            hsl_model::ChannelOf(bounds, hsl_model::WrapOnce(h - 120))};
}

int GetLightness(int red, int green, int blue) {
    const int mx = std::max(red, std::max(green, blue));
    const int mn = std::min(red, std::min(green, blue));
    return LightnessOfSum(static_cast<double>(mx) + static_cast<double>(mn));
}

TinyHSL GetHueRangeWeight(int hue, const HueRange& range, const TinyHSL& shift) {
    // Turn the range by whole turns so that its left end lies in 0..359.
    const std::int64_t rangeLeft = range.range_left;
    const std::int64_t turns = rangeLeft / 360;
    const std::int64_t offset = rangeLeft >= 0 ? -360 * turns : 360 * (1 - turns);
    const float weight = WeightAt(hue, range.center_left + offset, range.center_right + offset,
                                  rangeLeft + offset, range.range_right + offset);
    return {TiTrunc(static_cast<float>(shift.m_hue) * weight),
            TiTrunc(static_cast<float>(shift.m_saturation) * weight),
            TiTrunc(static_cast<float>(shift.m_lightness) * weight)};
}

int AdjustHSL(TiBitmapData& bitmap, const HSLData& hslData, const HueRangeData& hueRangeData) {
    TI_ASSERT(bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp,
              "bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp", 313);
    HueShifts shifts;
    BuildHueShifts(hslData, hueRangeData, shifts);
    RunColorChunkPass(bitmap, [&shifts](std::uint32_t* words, int count) {
        hsl_model::HSLChunk hsl;
        hsl_model::WordsToHSL(words, count, hsl);
        if (ShiftChunk(shifts, count, hsl)) {
            HSLToWordsOffWheel(hsl, count, words);
        } else {
            hsl_model::HSLToWords(hsl, count, words);
        }
    });
    return 1;
}

int TintHSL(TiBitmapData& bitmap, int hue, int saturation, int lightness) {
    TI_ASSERT(bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp,
              "bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp", 419);
    hue = std::clamp(hue, 0, 360);
    // Above 255 is full; below 0 is left to the conversion's arithmetic.
    saturation = std::min(saturation, 255);
    // Every pixel's result depends only on max + min of its channels.
    unsigned char colors[511][3];
    for (int sum = 0; sum <= 510; ++sum) {
        const std::int64_t shifted = static_cast<std::int64_t>(LightnessOfSum(sum)) + lightness;
        const int l = static_cast<int>(std::clamp<std::int64_t>(shifted, 0, 255));
        const TiRGBColor rgb = HSLToRGB(hue, saturation, l);
        colors[sum][0] = static_cast<unsigned char>(rgb.red);
        colors[sum][1] = static_cast<unsigned char>(rgb.green);
        colors[sum][2] = static_cast<unsigned char>(rgb.blue);
    }
    RunColorPass(bitmap, [&colors](unsigned char* pixel) {
        const int mx = std::max(pixel[0], std::max(pixel[1], pixel[2]));
        const int mn = std::min(pixel[0], std::min(pixel[1], pixel[2]));
        const unsigned char* color = colors[mx + mn];
        pixel[0] = color[0];
        pixel[1] = color[1];
        pixel[2] = color[2];
    });
    return 1;
}

}  // namespace vantrel
