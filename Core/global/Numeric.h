// Conversions from floating point to integers and bytes.
//
// Every "truncate" of the imaging core goes through TiTrunc: a conversion
// toward zero that saturates at the int range and maps NaN to 0, so that a
// wild parameter can never reach an out-of-range float-to-int conversion.
#pragma once

#include <climits>
#include <cstdint>

namespace vantrel {

// Truncation toward zero, saturating to [INT_MIN, INT_MAX]; NaN gives 0.
constexpr int TiTrunc(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

// Truncation toward zero into 64 bits, saturating; NaN gives 0.
constexpr std::int64_t TiTrunc64(double value) {
    if (!(value == value)) return 0;
    if (value >= 9223372036854775807.0) return INT64_MAX;
    if (value <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

// A floating-point result as a byte: clamped to 0..255, then truncated.
// NaN gives 0.
constexpr unsigned char TiClampByte(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 255.0) return 255;
    return static_cast<unsigned char>(value);
}

// An integer result as a byte: clamped to 0..255.
constexpr unsigned char TiClampByte(int value) {
    return static_cast<unsigned char>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace vantrel
