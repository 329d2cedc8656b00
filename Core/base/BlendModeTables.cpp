// The twenty blend-table generators. Each fills every entry with
// truncate(a * (1 - o) + F(a, b) * o) in double, F being the mode's
// full-strength result; a * (1 - o) is computed once per row.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Core/base/BlendMode.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/BlendMode";

// F may return int, float or double; the product with the opacity is double
// either way. Every entry lies in 0..255 for opacities in 0..1; the clamp
// only guards the byte conversion.
template <typename FullStrength>
void FillTable(unsigned char* table, double opacity, FullStrength full) {
    for (int a = 0; a < 256; ++a) {
        const double base = a * (1.0 - opacity);
        unsigned char* row = table + a * 256;
        for (int b = 0; b < 256; ++b) row[b] = TiClampByte(base + full(a, b) * opacity);
    }
}

bool OpacityInRange(double opacity) {
    return opacity >= 0 && opacity <= 1.0;
}

// The light modes' lower half: 2ab/255 in double, capped at 255.
double DoubledProduct(int a, int b) {
    return std::min(255.0, 2.0 * a * b / 255.0);
}

// The light modes' upper half: the screen of the doubled inverses.
int DoubledScreen(int a, int b) {
    return 255 - (2 * (255 - a) * (255 - b)) / 255;
}

}  // namespace

void GLT_Darken(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 300);
    FillTable(table, opacity, [](int a, int b) { return std::min(a, b); });
}

void GLT_Lighten(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 314);
    FillTable(table, opacity, [](int a, int b) { return std::max(a, b); });
}

void GLT_Multiply(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 328);
    FillTable(table, opacity, [](int a, int b) { return a * b / 255; });
}

void GLT_Screen(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 342);
    FillTable(table, opacity, [](int a, int b) { return 255 - (255 - a) * (255 - b) / 255; });
}

void GLT_ColorDodge(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 356);
    FillTable(table, opacity,
              [](int a, int b) { return b == 255 ? 255 : std::min(255, 255 * a / (255 - b)); });
}

void GLT_ColorBurn(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 375);
    // Single precision on purpose, and clamped but not truncated before the
    // opacity mix.
    FillTable(table, opacity, [](int a, int b) {
        if (b == 0) return 0.0f;
        const float burnt = static_cast<float>(a) -
                            static_cast<float>((255 - a) * (255 - b)) / static_cast<float>(b);
        return std::clamp(burnt, 0.0f, 255.0f);
    });
}

void GLT_LinearDodge(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 391);
    FillTable(table, opacity, [](int a, int b) { return std::min(255, a + b); });
}

void GLT_LinearBurn(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 405);
    FillTable(table, opacity, [](int a, int b) { return std::max(0, a + b - 255); });
}

void GLT_Overlay(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 419);
    FillTable(table, opacity, [](int a, int b) {
        return a <= 128 ? DoubledProduct(a, b) : static_cast<double>(DoubledScreen(a, b));
    });
}

void GLT_SoftLight(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 467);
    // The base-only factors, once per base value rather than per entry.
    double darkening[256];
    double lightening[256];
    for (int a = 0; a < 256; ++a) {
        darkening[a] = a / 255.0 - a * a / 65025.0;
        lightening[a] = std::sqrt(a / 255.0) - a / 255.0;
    }
    FillTable(table, opacity, [&](int a, int b) {
        const double light = 2.0 * b / 255.0 - 1.0;
        return a + light * (b <= 128 ? darkening[a] : lightening[a]) * 255.0;
    });
}

void GLT_HardLight(unsigned char* table, double opacity) {
    FillTable(table, opacity, [](int a, int b) {
        return b <= 128 ? DoubledProduct(a, b) : static_cast<double>(DoubledScreen(a, b));
    });
}

void GLT_VividLight(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 490);
    FillTable(table, opacity, [](int a, int b) -> double {
        if (b == 0) return 0;
        if (b <= 128) {
            const double burn = (255 - a) / (2.0 * b / 255.0);
            return burn > 255 ? 0.0 : 255.0 - (255 - a) * 255 / (2.0 * b);
        }
        if (b < 255) return std::min(255, 255 * a / (2 * (255 - b)));
        return 255;
    });
}

void GLT_LinearLight(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 515);
    FillTable(table, opacity, [](int a, int b) { return std::clamp(a + 2 * b - 255, 0, 255); });
}

void GLT_PinLight(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 529);
    FillTable(table, opacity, [](int a, int b) { return std::clamp(a, 2 * b - 255, 2 * b); });
}

void GLT_HardMix(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 557);
    FillTable(table, opacity, [](int a, int b) { return a + b >= 255 ? 255 : 0; });
}

void GLT_Add(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 581);
    FillTable(table, opacity, [](int a, int b) { return std::min(255, a + b); });
}

void GLT_Sub(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 595);
    FillTable(table, opacity, [](int a, int b) { return std::max(0, b - a); });
}

void GLT_Difference(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 609);
    FillTable(table, opacity, [](int a, int b) { return std::abs(a - b); });
}

void GLT_Exclusion(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 623);
    FillTable(table, opacity, [](int a, int b) { return a + b - 2 * a * b / 255; });
}

void GLT_SoftGlow(unsigned char* table, double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 637);
    FillTable(table, opacity, [](int a, int b) { return a + b - a * b / 255; });
}

}  // namespace vantrel
