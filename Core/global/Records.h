// Parameter records shared by the imaging core and the command layer.
//
// Plain structs, fields in declaration order (the order their array packing
// follows, see commands/RecordPacking.h). Effect panels fill them, commands
// carry them as nested arrays of text, and the dispatcher hands them (or their
// fields) to the imaging operations.
#pragma once

#include <cstdint>

namespace vantrel {

struct TinyRGB {
    std::uint8_t m_red = 0;
    std::uint8_t m_green = 0;
    std::uint8_t m_blue = 0;
};

// One stop of a gradient: colour, position along the gradient (0..1) and
// midpoint (0..1: where between this stop and the next the colour is half-way).
struct RGBPoint {
    TinyRGB color;
    float position = 0;
    float midpoint = 0;
};

// A shift of hue in degrees and of saturation and lightness on 0..255.
struct TinyHSL {
    std::int32_t m_hue = 0;
    std::int32_t m_saturation = 0;
    std::int32_t m_lightness = 0;
};

struct HSLData {
    TinyHSL red, yellow, green, cyan, blue, magenta, all;
};

// Hue degrees: full effect from center_left to center_right, fading out to
// range_left and range_right. Values may lie outside 0..359.
struct HueRange {
    std::int32_t center_left = 0;
    std::int32_t center_right = 0;
    std::int32_t range_left = 0;
    std::int32_t range_right = 0;
};

struct HueRangeData {
    HueRange red, yellow, green, cyan, blue, magenta;
};

// The six colour groups' ranges from red at 0 every 60 degrees: what the HSL
// panel resets to, and what the looks' saturation steps use.
inline constexpr HueRangeData kStandardHueRanges = {
    .red = {-15, 15, -45, 45},
    .yellow = {45, 75, 15, 105},
    .green = {105, 135, 75, 165},
    .cyan = {165, 195, 135, 225},
    .blue = {225, 255, 195, 285},
    .magenta = {285, 315, 255, 345},
};

// Note the two orders: the integer pairs run blue, green, red, all, the
// gammas red, green, blue, all.
struct TColorLevelData {
    std::int32_t BlueLow = 0, BlueHigh = 0;
    std::int32_t GreenLow = 0, GreenHigh = 0;
    std::int32_t RedLow = 0, RedHigh = 0;
    std::int32_t AllLow = 0, AllHigh = 0;
    double RedGamma = 0, GreenGamma = 0, BlueGamma = 0, AllGamma = 0;
};

// Colour balance shifts of one tone range, each -100..100.
struct TransferColor {
    std::int32_t Cyan_Red = 0;
    std::int32_t Magenta_Green = 0;
    std::int32_t Yellow_Blue = 0;
};

// The weights that make one output channel from red, green and blue.
struct TinyChannelMixScale {
    float redScale = 0;
    float greenScale = 0;
    float blueScale = 0;
};

struct TinyChannelMixer {
    TinyChannelMixScale red, green, blue;
};

// Ink amounts of selective colour, each -1..1.
struct ComplementScale {
    float cyan = 0;
    float magenta = 0;
    float yellow = 0;
    float black = 0;
};

struct ComplementScaleSet {
    ComplementScale reds, yellows, greens, cyans, blues, magentas, whites, neutrals, blacks;
};

// A curve point: x input, y output (0..255), z carried along.
struct Vec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct Point {
    float x = 0;
    float y = 0;
};

struct Size {
    float width = 0;
    float height = 0;
};

struct Rect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

}  // namespace vantrel
