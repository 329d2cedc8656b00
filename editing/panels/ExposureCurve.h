// The exposure panel's slider curve: three pieces that turn the slider
// position into the exposure value sent to the command and the number its
// label shows. With x = |slider / maximum|:
//   x > 0.75:  value ((x - 0.75) * 40)^2 / 100 * 1950 + 50, shown (value - 50) / 1950 * 10 + 10
//   x > 0.5:   value ((x - 0.5) * 40)^2 / 100 * 45 + 5,     shown (value - 5) / 45 * 5 + 5
//   otherwise: value x * 10,                                shown value
// both negated for a negative slider value. So the value runs from -2000 to
// 2000 (shown -20 to 20), continuous at x = 0.5 (5) and 0.75 (50).
#pragma once

namespace vantrel {

struct ExposureReading {
    float value;  // what CMD_EXPOSURE gets
    float shown;  // what the label shows, "%.2f"
};

ExposureReading ExposureOfSlider(float slider, float maximum);

}  // namespace vantrel
