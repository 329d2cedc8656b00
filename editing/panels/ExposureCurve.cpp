#include "editing/panels/ExposureCurve.h"

#include <cmath>

namespace vantrel {

ExposureReading ExposureOfSlider(float slider, float maximum) {
    const float x = std::fabs(slider / maximum);
    float value;
    float shown;
    if (x > 0.75f) {
        const double t = (x - 0.75) * 40;
        value = static_cast<float>(t * t / 100 * 1950 + 50);
        shown = static_cast<float>((value - 50) / 1950.0 * 10 + 10);
    } else if (x > 0.5f) {
        const double t = (x - 0.5) * 40;
        value = static_cast<float>(t * t / 100 * 45 + 5);
        shown = static_cast<float>((value - 5) / 45.0 * 5 + 5);
    } else {
        value = static_cast<float>(x * 10.0);
        shown = value;
    }
    if (slider < 0) return {-value, -shown};
    return {value, shown};
}

}  // namespace vantrel
