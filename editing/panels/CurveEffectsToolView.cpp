#include "editing/panels/CurveEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {
namespace {

// Tab 0..3 to the curve channel it edits.
constexpr int kTabChannel[] = {1, 2, 3, 0};

}  // namespace

CurveEffectsToolView::CurveEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context)
    : EffectsToolView(panelSpec, context), m_editor(this) {}

bool CurveEffectsToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    if (std::unique_ptr<TiBitmapData> full = BitmapFromPicture(fullImage())) {
        m_editor.showHistogramForImage(*full, activeChannel());
    }
    return true;
}

int CurveEffectsToolView::activeChannel() const {
    return kTabChannel[TiTrunc(value("channel")) & 3];
}

void CurveEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    m_editor.reset();
    m_editor.setActiveChannel(activeChannel());
    m_editor.setBackgroundEnabled(false);
    m_channelValueChanged.fill(false);
    copyPoints();
    setReviewImage(Picture());
    tapToOriginalImage();
    setAppliedEffect(false);
}

void CurveEffectsToolView::copyPoints() {
    for (int channel = 0; channel < 4; ++channel) {
        m_points[channel] = m_editor.getSplinePointsForChannel(channel);
    }
}

void CurveEffectsToolView::histogramViewChannelValueChanged(int channel) {
    m_channelValueChanged[channel] = true;
    setAppliedEffect(true);
    copyPoints();
    if (!processing()) startProcess();
}

void CurveEffectsToolView::histogramViewChannelValueChangedOver(int) {
    copyPoints();
    startProcess();
}

void CurveEffectsToolView::histogramViewSplineButtonSelected() {
    updateLabel();
}

void CurveEffectsToolView::choiceChanged(int index) {
    if (index == indexOf("channel")) {
        m_editor.setActiveChannel(activeChannel());
    } else if (index == indexOf("histogram")) {
        m_editor.setBackgroundEnabled(valueAt(index) != 0);
    }
    startProcess();
}

void CurveEffectsToolView::buttonPressed(int index) {
    if (index == indexOf("delete")) {
        if (m_editor.removeSelectedButton()) histogramViewChannelValueChanged(activeChannel());
    } else if (index == indexOf("add")) {
        if (m_editor.flashButtonView()) {
            m_editor.cancelFlashButtons();
        } else {
            m_editor.intervalSplineButtonWithChannel(activeChannel());
        }
    }
}

bool CurveEffectsToolView::editorTouch(int, const TouchEvent& touch) {
    m_editor.touch(touch);
    return true;
}

bool CurveEffectsToolView::editorAllows(int) const {
    return m_editor.canRemoveSelectedButton();
}

void CurveEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    for (int channel = 0; channel < 4; ++channel) {
        if (m_channelValueChanged[channel]) {
            processor.addCommandCurveBySplinePoints(m_points[channel], channel);
        }
    }
}

void CurveEffectsToolView::addState(Dictionary& state) const {
    Dictionary curve = m_editor.state();
    curve.set("colorBars", Value(value("colorBars") != 0));
    state.set("curve", curve);
}

}  // namespace vantrel
