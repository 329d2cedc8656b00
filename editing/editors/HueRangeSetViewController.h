// HueRangeSetViewController: hosts the hue ribbon for one colour target of
// the HSL panel and hands the range back to the panel as whole degrees.
#pragma once

#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/editors/HueRibbonView.h"

namespace vantrel {

class HueRangeSetViewControllerDelegate {
public:
    virtual ~HueRangeSetViewControllerDelegate() = default;
    virtual void hueRangeSetViewRangeChanged() = 0;
    virtual void hueRangeSetViewClose() = 0;
};

// The standard range of colour target 0..5 (reds .. magentas); all zeros
// for any other target.
HueRange DefaultHueRange(int target);

class HueRangeSetViewController final : public HueRibbonViewDelegate {
public:
    explicit HueRangeSetViewController(HueRangeSetViewControllerDelegate* delegate = nullptr);

    void setDelegate(HueRangeSetViewControllerDelegate* delegate) { m_delegate = delegate; }

    void setHueRange(const HueRange& range, int channel);
    // The four values truncated toward zero.
    HueRange getHueRange() const;
    int targetChannel() const { return m_targetChannel; }
    // The target's standard range, reported as a change.
    void resetRange();
    void close();
    bool isOpen() const { return m_open; }

    void touch(const TouchEvent& touch) { m_ribbon.touch(touch); }
    const HueRibbonView& ribbon() const { return m_ribbon; }
    HueRibbonView& ribbon() { return m_ribbon; }

    Dictionary state(float viewWidth) const;

    void hueRangeChanged() override;

private:
    HueRangeSetViewControllerDelegate* m_delegate;
    HueRibbonView m_ribbon;
    int m_targetChannel = 0;
    bool m_open = false;
};

}  // namespace vantrel
