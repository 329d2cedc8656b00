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

// x mod d of 32-bit unsigned values by two multiplications instead of a
// division, for a divisor fixed over a pass: with the 64-bit reciprocal
// c = 2^64 / d rounded up, the low 64 bits of c * x are the fraction of
// x / d, and that times d, shifted down by 64, is the remainder, exactly,
// for every x and every d >= 1 (Lemire, Kaser and Kurz).
class TiModulus {
public:
    constexpr explicit TiModulus(std::uint32_t divisor)
        : m_divisor(divisor), m_reciprocal(UINT64_MAX / divisor + 1) {}
    constexpr std::uint32_t Of(std::uint32_t x) const {
        const std::uint64_t fraction = m_reciprocal * x;
        // (fraction * d) >> 64 in halves: d < 2^32, so nothing overflows.
        const std::uint64_t low = (fraction & 0xFFFFFFFFu) * m_divisor;
        const std::uint64_t high = (fraction >> 32) * m_divisor;
        return static_cast<std::uint32_t>((high + (low >> 32)) >> 32);
    }

private:
    std::uint64_t m_divisor;
    std::uint64_t m_reciprocal;
};

}  // namespace vantrel
