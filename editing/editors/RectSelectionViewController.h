// RectSelectionViewController: the region selection screen. Shows the
// working image at a size the front end gives, lets a rectangle be dragged
// over it (RegionSelectionView, free ratio) and converts the rectangle back
// to picture pixels for the edit screen.
//
// Conversion rounding: each of width, height, x and y is multiplied by
// picture width / shown width; a fractional part below 0.5 is dropped,
// otherwise the even one of the two neighbouring integers is taken (10.5 ->
// 10, 11.5 -> 12, 12.7 -> 12, 13.7 -> 14).
//
// Title tip: when tips are on, shown once, at a change of the rectangle at
// least 6 s after the picture was shown while the rectangle still covers the
// picture to within 5 points in width and height.
#pragma once

#include <functional>

#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/editors/RegionSelectionView.h"
#include "platform/Picture.h"

namespace vantrel {

class RectSelectionViewControllerDelegate {
public:
    virtual ~RectSelectionViewControllerDelegate() = default;
    virtual void rectSelectionYES(const Rect& rect) = 0;  // in picture pixels
    virtual void rectSelectionCancel() = 0;
};

// The conversion's rounding of one number (see above).
float RoundSelectionValue(double value);

class RectSelectionViewController final : public RegionSelectionViewDelegate {
public:
    static constexpr char kTitle[] = "STR_TITLE_SELECTION";
    static constexpr char kCancelButton[] = "STR_BUTTON_CANCEL";
    static constexpr char kDoneButton[] = "STR_BUTTON_DONE";
    static constexpr double kTipDelaySeconds = 6;
    static constexpr float kTipSlack = 5;

    // Seconds on a steady clock.
    using Clock = std::function<double()>;

    RectSelectionViewController(RectSelectionViewControllerDelegate* delegate, bool showTips,
                                Clock clock = {});

    // Shows `picture` at `shownSize` points and selects the whole of it.
    void selectImage(const Picture& picture, Size shownSize);
    // A rectangle in picture pixels; an empty one selects the whole picture.
    void setRect(const Rect& rect);
    void reset();
    // The rectangle in picture pixels, rounded as above.
    Rect selectedRect() const;

    void touch(const TouchEvent& touch) { m_view.touch(touch); }
    void done();
    void cancel();

    const RegionSelectionView& view() const { return m_view; }
    bool tipShown() const { return m_tipShown; }
    const Picture& picture() const { return m_picture; }

    Dictionary state() const;

    void regionSelectionViewChanged() override;

private:
    void showTitleTip();

    double pictureScale() const;

    RectSelectionViewControllerDelegate* m_delegate;
    bool m_showTips;
    Clock m_clock;
    Picture m_picture;
    Size m_shown;
    RegionSelectionView m_view;
    double m_shownAt = 0;
    bool m_tipShown = false;
};

}  // namespace vantrel
