// EffectsToolView: one open effect panel. It owns the preview machinery:
// the preview source (the working image reduced by the panel's size
// factor), its bitmap, the latest preview, and the current control values;
// subclasses say which commands the values make and add their own rules.
//
// Preview source: s = imageSizeScale (1 when highQualityPreview is off),
// times working width / height / 320 * 240, at least 1; L = sqrt(s) * 480,
// S = L * 320 / 480; a working image wider than S or taller than L is
// scaled to fit inside S x L, keeping its aspect ratio. reallySize is the
// size of the photo that will be saved (working size / scaleMark, rounded);
// reallyScale = preview width / reallySize width becomes the processor's
// paramScale while the panel is open.
//
// Previews: a slider move previews when no preview runs and the panel is
// realtime; a release, a toggle, a segment or list choice always preview.
// realTimeProcess panels run the list at once on the main queue, the others
// on the processor's worker with the results back on the main queue.
//
// Driving: a front end calls the event operations with control keys and
// reads state(); touches on the picture are in the shown picture's points.
// After release() every event is ignored.
//
// Threads: everything runs on the main queue, except effectsTaskList, which
// the session calls on a background queue while the panel is covered.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"
#include "commands/EffectsProcesser.h"
#include "commands/Value.h"
#include "editing/editors/EditorTouch.h"
#include "editing/panels/PanelSpec.h"
#include "platform/Picture.h"

namespace vantrel {

class ImageCacheManager;

// The panel host's side (EffectProcessViewController).
class EffectsToolViewDelegate {
public:
    virtual ~EffectsToolViewDelegate() = default;
    virtual void etvChangeImage(const Picture& picture) = 0;
    virtual Picture etvShowingImage() const = 0;
    virtual void etvSetTitle(std::string_view title) = 0;
};

// What a panel is opened with.
struct PanelContext {
    EffectsToolViewDelegate* delegate = nullptr;
    EffectsProcesser* processor = nullptr;  // null: the shared processor
    Picture fullImage;                      // the working image
    double reallyScale = 1.0;               // the edit screen's scaleMark
    bool highQualityPreview = true;
    Size photoMaxSize{2592, 2592};
    ImageCacheManager* imageCache = nullptr;  // null: the shared cache
};

class EffectsToolView : public EffectProcessDelegate,
                        public std::enable_shared_from_this<EffectsToolView> {
public:
    // initWithDelegate:fullImage:reallyScale:
    EffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);
    ~EffectsToolView() override;
    EffectsToolView(const EffectsToolView&) = delete;
    EffectsToolView& operator=(const EffectsToolView&) = delete;

    const PanelSpec& panelSpec() const { return m_spec; }

    // Builds the preview source; false (the error recorded) when its bitmap
    // can't be made.
    virtual bool initFinish();
    // Restores the defaults and, for most panels, previews them.
    virtual void reset();
    // Processor delegate cleared, paramScale 1.0, the picture cache's memory
    // emptied, the bitmap freed. Later events are ignored.
    void release();
    bool released() const { return m_released; }

    // Events by control key; false when the key names no such control, the
    // control is disabled or the panel was released.
    bool sliderMoved(std::string_view key, float value);
    bool sliderReleased(std::string_view key);
    bool selectItem(std::string_view key, int index);
    bool setToggle(std::string_view key, bool on);
    bool pressButton(std::string_view key);
    // Any control: a slider moves there and is released; a toggle is set; a
    // choice is selected; a button is pressed.
    bool setControl(std::string_view key, double value);
    // `target` "picture" or an editor's key.
    bool touch(std::string_view target, const TouchEvent& touch);
    bool pinch(std::string_view target, const PinchEvent& pinch);
    void reviewButtonClicked();

    // The command list of the result, starting with the selection.
    Array effectsTaskList();
    bool appliedEffect() const { return m_appliedEffect; }
    bool allowUseReviewAsResult() const { return m_flags.allowUseReviewAsResult; }
    const Picture& reviewImage() const { return m_reviewImage; }
    const Picture& originalImage() const { return m_originalImage; }
    // The preview source's pixels; null after release.
    const std::shared_ptr<TiBitmapData>& originalBitmap() const { return m_originalBitmap; }
    bool processing() const { return m_processing; }
    bool reviewSelected() const { return m_reviewSelected; }
    Size reallySize() const { return m_reallySize; }
    double reallyScale() const { return m_reallyScale; }
    const PreviewFlags& flags() const { return m_flags; }

    float value(std::string_view key) const;
    std::string label(std::string_view key) const;
    bool enabled(std::string_view key) const;

    // What a front end shows: title, controls (value, label, enabled),
    // preview facts and the panel's editors.
    Dictionary state() const;

    // The processor's callbacks. Only the runs of this panel's own lists
    // count: the processor has one delegate, and a run of a panel closed
    // before this one opened may still end.
    void effectProcessFailure() override;
    void effectProcessFinished(const Picture& picture) override;

protected:
    // The preview's commands: the table's mapping of the current values.
    virtual void addTaskListRun(EffectsProcesser& processor);
    // The result's commands: the preview's, unless the row maps the values
    // of the last preview.
    virtual void addTaskListResult(EffectsProcesser& processor);
    virtual void updateLabel();
    virtual void sliderValueChanged(int index);
    virtual void sliderTouchUpInside(int index);
    // A toggle, segment, list, swatch or look choice changed.
    virtual void choiceChanged(int index);
    virtual void buttonPressed(int index);
    virtual bool editorTouch(int index, const TouchEvent& touch);
    virtual bool editorPinch(int index, const PinchEvent& pinch);
    virtual void pictureTouch(const TouchEvent& touch);
    // Rules that need more than the declared ones (editor states).
    virtual bool editorAllows(int index) const;
    virtual void addState(Dictionary& state) const;

    // The review button selected and every control at its default.
    void resetControls();
    void startProcess();
    // A preview of this panel is back (from the processor, or run here).
    virtual void previewFinished(const Picture& picture);
    // The command list of the preview now finishing.
    const Array& finishedRunList() const { return m_finishedRunList; }
    void changeImage(const Picture& picture);
    void tapToOriginalImage();
    void tapToReviewImage();
    void setReviewImage(const Picture& picture) { m_reviewImage = picture; }
    void setProcessing(bool processing) { m_processing = processing; }
    void setAppliedEffect(bool applied) { m_appliedEffect = applied; }
    void setReviewSelected(bool selected) { m_reviewSelected = selected; }
    PreviewFlags& mutableFlags() { return m_flags; }

    EffectsProcesser& processor() const { return *m_processor; }
    EffectsToolViewDelegate* delegate() const { return m_delegate; }
    const PanelContext& context() const { return m_context; }
    const Picture& fullImage() const { return m_context.fullImage; }
    ImageCacheManager& imageCache() const;
    // A weak handle for blocks that run later: they do nothing once the
    // panel is gone or released.
    std::weak_ptr<EffectsToolView> weakSelf() { return weak_from_this(); }

    // Control values by index, as floats.
    int indexOf(std::string_view key) const { return m_spec.controlIndex(key); }
    float valueAt(int index) const { return m_values[index]; }
    // Sets a value, clamped into the control's current range.
    void setValueAt(int index, float value);
    void setValue(std::string_view key, float value) { setValueAt(indexOf(key), value); }
    // Sets a value as it is (a look strip's -1: no look of the strip shown).
    void setRawValueAt(int index, float value) { m_values[index] = value; }
    void setLabelAt(int index, std::string label) { m_labels[index] = std::move(label); }
    ControlValues values() const { return ControlValues(m_spec, m_values); }
    void resetValues();
    // The control's range now (its range rules applied).
    std::pair<float, float> rangeOf(int index) const;
    bool enabledAt(int index) const;

private:
    bool accepts(int index, ControlKind kind) const;
    void runRealTime(const Array& list);
    // Whether the processor's last run was of a list this panel submitted;
    // forgets that list and the ones before it.
    bool takeOwnRun();

    const PanelSpec& m_spec;
    PanelContext m_context;
    EffectsProcesser* m_processor;
    EffectsToolViewDelegate* m_delegate;
    PreviewFlags m_flags;
    Size m_reallySize;
    double m_reallyScale;
    Picture m_originalImage;
    std::shared_ptr<TiBitmapData> m_originalBitmap;
    Picture m_reviewImage;
    bool m_appliedEffect = true;
    bool m_processing = false;
    bool m_reviewSelected = true;
    bool m_released = false;
    std::vector<float> m_values;
    std::vector<float> m_previewValues;   // the values of the last preview
    std::vector<Array> m_submittedLists;  // background previews not yet back
    Array m_finishedRunList;
    std::vector<std::string> m_labels;
};

// Makes a panel of class T for a table row.
template <typename T>
std::shared_ptr<EffectsToolView> MakePanel(const PanelSpec& panelSpec,
                                           const PanelContext& context) {
    return std::make_shared<T>(panelSpec, context);
}

}  // namespace vantrel
