// Retinex: evens out lighting and brings up detail in dark and bright areas.
//
// Every pixel is compared with a strongly blurred copy of the picture (its
// surround) in the logarithmic domain, colour is restored by each channel's
// share of the pixel's brightness, and the result is stretched to 0..255
// around its mean by a multiple of its standard deviation.
//
// `retinex` does the work given the surround. The `Retinex` object keeps the
// surround between runs, so that the stretch can change without blurring
// again (the retinex panel's preview).
//
// Pixel contract: 3- or 4-byte pixels; R, G, B are rewritten, alpha stays.
// The target may be a view; the surround is any bitmap of the same size and
// pixel size.
//
// Failure contract: retinex asserts 3 or 4 bytes per pixel and returns 0,
// target unchanged, when its tables can't be had or the surround's size or
// pixel size differs from the target's. The object asserts its target.
#pragma once

#include <cstdint>
#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel {

// nscales: the blur level and the divisor of the log ratio (0 divides by 1);
// scales_mode: carried and logged, no effect on the result; cvar: the
// stretch's half-width in standard deviations.
struct RetinexParameter {
    std::int32_t nscales = 0;
    std::int32_t scales_mode = 0;
    float cvar = 0;
};

// The surround's blur radius for a blur level: 10 * 2^(nscales / 2), the
// exponent an integer quotient (10 for 0 or 1, 20 for 2 or 3, ...),
// truncated, saturating at the int range.
int RetinexBlurRadius(int nscales);

// Logs "retinex <scales_mode> <nscales> <cvar>" (TiLog), then
// rewrites R, G, B of `bitmap` from it and its surround `blurred`.
int retinex(TiBitmapData& bitmap, const TiBitmapData& blurred, int nscales, int scales_mode,
            float cvar);

class Retinex {
public:
    // Asserts a target; no surround yet.
    Retinex(TiBitmapData* bitmap, int nscales, int scales_mode, float cvar);
    ~Retinex();

    Retinex(const Retinex&) = delete;
    Retinex& operator=(const Retinex&) = delete;

    // Drops any surround, copies the target and blurs the copy at the radius
    // for nscales. 0 when the copy or its blur can't be had (no surround is
    // kept then), else 1.
    int Prepare();

    // True while there is no surround, that is when Run must blur first.
    bool NeedsPrepare() const { return !m_blurred; }

    // Drops the surround (the panel does so when nscales changes).
    void ReleaseBlurred() { m_blurred.reset(); }

    // retinex on the target with the kept surround, preparing it first when
    // there is none (0 if that fails). Asserts a target.
    int Run();

    // The target of later runs (the panel runs on fresh copies of its
    // preview); the surround is kept.
    void SetBitmap(TiBitmapData* bitmap) { m_bitmap = bitmap; }
    TiBitmapData* GetBitmap() const { return m_bitmap; }

    const RetinexParameter& GetParameter() const { return m_parameter; }
    void SetNScales(int nscales) { m_parameter.nscales = nscales; }
    void SetScalesMode(int scalesMode) { m_parameter.scales_mode = scalesMode; }
    void SetCvar(float cvar) { m_parameter.cvar = cvar; }

private:
    std::unique_ptr<TiBitmapData> m_blurred;
    RetinexParameter m_parameter;
    TiBitmapData* m_bitmap;
};

}  // namespace vantrel
