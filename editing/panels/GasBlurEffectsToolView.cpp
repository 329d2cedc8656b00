#include "editing/panels/GasBlurEffectsToolView.h"

#include <algorithm>

namespace vantrel {

void GasBlurEffectsToolView::sliderValueChanged(int index) {
    const int h = indexOf("radiusH");
    const int v = indexOf("radiusV");
    if (valueAt(indexOf("lock")) != 0) setValueAt(index == h ? v : h, valueAt(index));
    EffectsToolView::sliderValueChanged(index);
}

void GasBlurEffectsToolView::choiceChanged(int index) {
    if (valueAt(index) == 0) return;  // unlocking changes nothing
    const int h = indexOf("radiusH");
    const int v = indexOf("radiusV");
    const float smaller = std::min(valueAt(h), valueAt(v));
    if (valueAt(h) == smaller && valueAt(v) == smaller) return;
    setValueAt(h, smaller);
    setValueAt(v, smaller);
    startProcess();
}

}  // namespace vantrel
