#include "editing/panels/EffectsToolView.h"

#include <algorithm>
#include <cmath>

#include "Core/base/Zoom.h"
#include "Core/global/Numeric.h"
#include "commands/ErrorManager.h"
#include "editing/ImageCacheManager.h"
#include "editing/StateValues.h"
#include "editing/panels/ExposureCurve.h"

namespace vantrel {
namespace {

constexpr char kNoMemory[] = "Can not allocate memory!";
// What the host shows when a panel can't draw its preview source.
constexpr char kNoContext[] = "Can not create context!";

// The preview source's size for a working image of `image` size: see the
// header. Returns the image's own size when it fits.
std::pair<int, int> PreviewSize(int width, int height, float sizeScale) {
    const double w = width;
    const double h = height;
    auto s = static_cast<float>(sizeScale * (w / h / 320 * 240));
    if (s < 1) s = 1;
    const double L = std::sqrt(static_cast<double>(s)) * 480;
    const double S = L * 320 / 480;
    if (!(w > S || h > L)) return {width, height};
    if (w / h > S / L)
        return {std::max(1, TiTrunc(S + 0.5)), std::max(1, TiTrunc(h * S / w + 0.5))};
    return {std::max(1, TiTrunc(w * L / h + 0.5)), std::max(1, TiTrunc(L + 0.5))};
}

bool SamePicture(const Picture& a, const Picture& b) {
    return !a.empty() && a.data() == b.data();
}

std::string_view KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Slider:
            return "slider";
        case ControlKind::Toggle:
            return "toggle";
        case ControlKind::Segment:
            return "segment";
        case ControlKind::List:
            return "list";
        case ControlKind::Swatches:
            return "swatches";
        case ControlKind::LookStrip:
            return "lookStrip";
        case ControlKind::Editor:
            return "editor";
        case ControlKind::Button:
            return "button";
        case ControlKind::Caption:
            break;
    }
    return "caption";
}

bool IsChoice(ControlKind kind) {
    return kind == ControlKind::Segment || kind == ControlKind::List ||
           kind == ControlKind::Swatches || kind == ControlKind::LookStrip;
}

}  // namespace

EffectsToolView::EffectsToolView(const PanelSpec& panelSpec, const PanelContext& context)
    : m_spec(panelSpec),
      m_context(context),
      m_processor(context.processor ? context.processor
                                    : &EffectsProcesser::sharedEffectsProcesser()),
      m_delegate(context.delegate),
      m_flags(panelSpec.flags),
      m_reallyScale(context.reallyScale),
      m_values(panelSpec.controls.size()),
      m_labels(panelSpec.controls.size()) {
    const double scaleMark = context.reallyScale > 0 ? context.reallyScale : 1.0;
    m_reallySize = {static_cast<float>(TiTrunc(context.fullImage.width() / scaleMark + 0.5)),
                    static_cast<float>(TiTrunc(context.fullImage.height() / scaleMark + 0.5))};
    for (std::size_t i = 0; i < panelSpec.controls.size(); ++i) {
        m_values[i] = panelSpec.controls[i].defaultValue;
    }
}

EffectsToolView::~EffectsToolView() {
    // A panel dropped without release must not stay the processor's delegate.
    release();
}

ImageCacheManager& EffectsToolView::imageCache() const {
    return m_context.imageCache ? *m_context.imageCache : ImageCacheManager::sharedManager();
}

bool EffectsToolView::initFinish() {
    const Picture& full = fullImage();
    if (full.empty()) {
        ErrorManager::sharedErrorManager().setErrorString(kNoContext);
        return false;
    }
    const float sizeScale = m_context.highQualityPreview ? m_flags.imageSizeScale : 1.0f;
    const auto [width, height] = PreviewSize(full.width(), full.height(), sizeScale);
    std::unique_ptr<TiBitmapData> bitmap = BitmapFromPicture(full);
    if (bitmap && (width != full.width() || height != full.height())) {
        bitmap = CreateImageZoom(*bitmap, width, height);
    }
    Picture preview;
    if (bitmap)
        preview =
            (width == full.width() && height == full.height()) ? full : PictureFromBitmap(*bitmap);
    if (!bitmap || preview.empty()) {
        // The buffer could not be had: say so rather than open an empty panel.
        ErrorManager::sharedErrorManager().setErrorString(kNoContext);
        return false;
    }
    m_originalImage = preview;
    m_originalBitmap = std::shared_ptr<TiBitmapData>(bitmap.release());
    m_reallyScale =
        m_reallySize.width > 0 ? m_originalImage.width() / double(m_reallySize.width) : 1.0;
    processor().setParamScale(m_reallyScale);
    updateLabel();
    if (m_delegate) m_delegate->etvChangeImage(m_originalImage);
    return true;
}

void EffectsToolView::resetControls() {
    m_reviewSelected = true;
    for (std::size_t i = 0; i < m_spec.controls.size(); ++i) {
        m_values[i] = m_spec.controls[i].defaultValue;
    }
    updateLabel();
}

void EffectsToolView::reset() {
    if (m_released) return;
    resetControls();
    startProcess();
}

void EffectsToolView::release() {
    if (m_released) return;
    m_released = true;
    if (m_processor->delegate() == this) m_processor->setDelegate(nullptr);
    m_processor->setParamScale(1.0);
    imageCache().removeAllImageCache();
    m_originalBitmap.reset();
}

// ---- previews ----

void EffectsToolView::startProcess() {
    if (m_released) return;
    updateLabel();
    m_processing = true;
    m_previewValues = m_values;
    EffectsProcesser& p = processor();
    p.setDelegate(this);
    p.beginAddCommandDic();
    p.setSelection(p.selectedRect());
    addTaskListRun(p);
    p.submitCommandDic();
    if (p.isCommandDicListEmpty()) {
        m_processing = false;
        return;
    }
    if (m_flags.realTimeProcess) {
        runRealTime(p.actionCommandList());
        p.clearCommandDicList();
        return;
    }
    m_submittedLists.push_back(p.actionCommandList());
    p.startProcessWithBitmap(m_originalBitmap, m_flags.waitPanelStyle,
                             m_flags.startProcessWithWaitPanel, m_flags.waitPanelMaskEnabled);
}

void EffectsToolView::runRealTime(const Array& list) {
    std::unique_ptr<TiBitmapData> copy = m_originalBitmap->Clone(false);
    if (!copy) {
        ErrorManager::sharedErrorManager().setErrorString(kNoMemory);
        m_processing = false;
        ErrorManager::sharedErrorManager().showErrorString();
        return;
    }
    const bool done = processor().runCommands(list, *copy);
    const Picture picture = done ? PictureFromBitmap(*copy) : Picture();
    if (picture.empty()) {
        m_processing = false;
        ErrorManager::sharedErrorManager().showErrorString();
        return;
    }
    m_finishedRunList = list;
    previewFinished(picture);
}

bool EffectsToolView::takeOwnRun() {
    const Array last = processor().actionCommandListLast();
    const auto own = std::find(m_submittedLists.begin(), m_submittedLists.end(), last);
    if (own == m_submittedLists.end()) return false;
    m_finishedRunList = *own;
    m_submittedLists.erase(m_submittedLists.begin(), own + 1);
    return true;
}

Array EffectsToolView::effectsTaskList() {
    // Built in a phase that is cancelled rather than submitted: a submitted
    // list that no run takes would keep waitProcessFinish waiting for ever.
    EffectsProcesser& p = processor();
    p.beginAddCommandDic();
    p.setSelection(p.selectedRect());
    addTaskListResult(p);
    Array list = p.actionCommandListTemp();
    p.cancelAddCommandDic();
    return list;
}

void EffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    if (m_spec.addCommands) m_spec.addCommands(values(), processor);
}

void EffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    if (m_flags.resultFromLastPreview && m_spec.addCommands && !m_previewValues.empty()) {
        m_spec.addCommands(ControlValues(m_spec, m_previewValues), processor);
        return;
    }
    addTaskListRun(processor);
}

void EffectsToolView::effectProcessFinished(const Picture& picture) {
    if (m_released || !takeOwnRun()) return;
    previewFinished(picture);
}

void EffectsToolView::effectProcessFailure() {
    if (m_released || !takeOwnRun()) return;
    m_processing = false;
    ErrorManager::sharedErrorManager().showErrorString();
}

void EffectsToolView::previewFinished(const Picture& picture) {
    if (m_released) return;
    m_reviewImage = picture;
    changeImage(picture);
    m_processing = false;
}

// ---- showing ----

void EffectsToolView::changeImage(const Picture& picture) {
    if (m_delegate && !m_released) m_delegate->etvChangeImage(picture);
}

void EffectsToolView::tapToOriginalImage() {
    changeImage(m_originalImage);
}

void EffectsToolView::tapToReviewImage() {
    changeImage(m_reviewImage.empty() ? m_originalImage : m_reviewImage);
}

void EffectsToolView::reviewButtonClicked() {
    if (m_released) return;
    m_reviewSelected = !m_reviewSelected;
    const bool showingReview =
        m_delegate && SamePicture(m_delegate->etvShowingImage(), m_reviewImage);
    if (showingReview || m_reviewImage.empty()) {
        tapToOriginalImage();
    } else {
        changeImage(m_reviewImage);
    }
}

void EffectsToolView::pictureTouch(const TouchEvent& touch) {
    if (!m_flags.showOriginalImageOnTap) return;
    if (touch.phase == TouchPhase::Began) {
        tapToOriginalImage();
    } else if (IsEnd(touch.phase)) {
        tapToReviewImage();
    }
}

// ---- events ----

bool EffectsToolView::accepts(int index, ControlKind kind) const {
    return !m_released && index >= 0 && m_spec.controls[index].kind == kind && enabledAt(index);
}

bool EffectsToolView::sliderMoved(std::string_view key, float value) {
    const int index = indexOf(key);
    if (!accepts(index, ControlKind::Slider) || !std::isfinite(value)) return false;
    setValueAt(index, value);
    sliderValueChanged(index);
    return true;
}

bool EffectsToolView::sliderReleased(std::string_view key) {
    const int index = indexOf(key);
    if (!accepts(index, ControlKind::Slider)) return false;
    sliderTouchUpInside(index);
    return true;
}

bool EffectsToolView::selectItem(std::string_view key, int item) {
    const int index = indexOf(key);
    if (index < 0 || !IsChoice(m_spec.controls[index].kind)) return false;
    if (!accepts(index, m_spec.controls[index].kind)) return false;
    const auto [low, high] = rangeOf(index);
    if (item < low || item > high) return false;
    if (TiTrunc(m_values[index]) == item) return true;  // already chosen: nothing happens
    m_values[index] = static_cast<float>(item);
    choiceChanged(index);
    return true;
}

bool EffectsToolView::setToggle(std::string_view key, bool on) {
    const int index = indexOf(key);
    if (!accepts(index, ControlKind::Toggle)) return false;
    if ((m_values[index] != 0) == on) return true;
    m_values[index] = on ? 1.0f : 0.0f;
    choiceChanged(index);
    return true;
}

bool EffectsToolView::pressButton(std::string_view key) {
    const int index = indexOf(key);
    if (!accepts(index, ControlKind::Button)) return false;
    buttonPressed(index);
    return true;
}

bool EffectsToolView::setControl(std::string_view key, double value) {
    const int index = indexOf(key);
    if (index < 0 || !std::isfinite(value)) return false;
    switch (m_spec.controls[index].kind) {
        case ControlKind::Slider:
            return sliderMoved(key, static_cast<float>(value)) && sliderReleased(key);
        case ControlKind::Toggle:
            return setToggle(key, value != 0);
        case ControlKind::Button:
            return pressButton(key);
        case ControlKind::Editor:
        case ControlKind::Caption:
            return false;
        default:
            return selectItem(key, TiTrunc(value));
    }
}

bool EffectsToolView::touch(std::string_view target, const TouchEvent& touch) {
    if (m_released) return false;
    if (target == "picture") {
        pictureTouch(touch);
        return true;
    }
    const int index = indexOf(target);
    if (index < 0 || m_spec.controls[index].kind != ControlKind::Editor) return false;
    return editorTouch(index, touch);
}

bool EffectsToolView::pinch(std::string_view target, const PinchEvent& pinch) {
    const int index = indexOf(target);
    if (m_released || index < 0 || m_spec.controls[index].kind != ControlKind::Editor) {
        return false;
    }
    return std::isfinite(pinch.scale) && editorPinch(index, pinch);
}

void EffectsToolView::sliderValueChanged(int) {
    updateLabel();
    if (!m_processing && m_flags.realTimeSliderEnabled) startProcess();
}

void EffectsToolView::sliderTouchUpInside(int) {
    startProcess();
}

void EffectsToolView::choiceChanged(int) {
    startProcess();
}

void EffectsToolView::buttonPressed(int) {}

bool EffectsToolView::editorTouch(int, const TouchEvent&) {
    return false;
}

bool EffectsToolView::editorPinch(int, const PinchEvent&) {
    return false;
}

bool EffectsToolView::editorAllows(int) const {
    return true;
}

void EffectsToolView::addState(Dictionary&) const {}

// ---- values and labels ----

std::pair<float, float> EffectsToolView::rangeOf(int index) const {
    const ControlSpec& control = m_spec.controls[index];
    std::pair<float, float> range{control.minimum, control.maximum};
    for (const RangeRule& rule : control.ranges) {
        const int toggle = indexOf(rule.toggle);
        if (toggle >= 0 && m_values[toggle] != 0) range = {rule.minimum, rule.maximum};
    }
    return range;
}

void EffectsToolView::setValueAt(int index, float value) {
    const auto [low, high] = rangeOf(index);
    m_values[index] = std::clamp(value, low, high);
}

bool EffectsToolView::enabledAt(int index) const {
    for (const EnableRule& rule : m_spec.controls[index].enabledWhen) {
        const int other = indexOf(rule.control);
        if (other < 0) continue;
        switch (rule.test) {
            case EnableRule::Test::Off:
                if (m_values[other] != 0) return false;
                break;
            case EnableRule::Test::NotEqual:
                if (TiTrunc(m_values[other]) == rule.value) return false;
                break;
            case EnableRule::Test::EditorAllows:
                if (!editorAllows(other)) return false;
                break;
        }
    }
    return true;
}

void EffectsToolView::updateLabel() {
    for (std::size_t i = 0; i < m_spec.controls.size(); ++i) {
        const ControlSpec& control = m_spec.controls[i];
        const float v = m_values[i];
        switch (control.kind) {
            case ControlKind::Slider: {
                double number = v;
                if (control.labelNumber == LabelNumber::Hundredths) number = TiTrunc(v * 100);
                if (control.labelNumber == LabelNumber::ShownExposure) {
                    number = ExposureOfSlider(v, control.maximum).shown;
                }
                m_labels[i] = FormatLabel(control.format, number);
                break;
            }
            case ControlKind::Segment:
            case ControlKind::List:
            case ControlKind::Swatches: {
                const int item = TiTrunc(v);
                m_labels[i] = item >= 0 && item < static_cast<int>(control.items.size())
                                  ? std::string(control.items[item])
                                  : std::string();
                break;
            }
            case ControlKind::Toggle:
                m_labels[i] = v != 0 ? "on" : "off";
                break;
            default:
                m_labels[i] = std::string(control.title);
        }
    }
}

float EffectsToolView::value(std::string_view key) const {
    const int index = indexOf(key);
    return index < 0 ? 0.0f : m_values[index];
}

std::string EffectsToolView::label(std::string_view key) const {
    const int index = indexOf(key);
    return index < 0 ? std::string() : m_labels[index];
}

bool EffectsToolView::enabled(std::string_view key) const {
    const int index = indexOf(key);
    return index >= 0 && enabledAt(index);
}

Dictionary EffectsToolView::state() const {
    Array controls;
    for (std::size_t i = 0; i < m_spec.controls.size(); ++i) {
        const ControlSpec& control = m_spec.controls[i];
        const auto [low, high] = rangeOf(static_cast<int>(i));
        Dictionary entry{{"key", Value(control.key)},
                         {"kind", Value(KindName(control.kind))},
                         {"value", NumberValue(m_values[i])},
                         {"label", Value(m_labels[i])},
                         {"enabled", Value(enabledAt(static_cast<int>(i)))}};
        if (control.kind == ControlKind::Slider) {
            entry.set("minimum", NumberValue(low));
            entry.set("maximum", NumberValue(high));
        }
        controls.push_back(std::move(entry));
    }
    Dictionary state{{"title", Value(m_spec.titleKey)},
                     {"class", Value(m_spec.className)},
                     {"controls", controls},
                     {"processing", Value(m_processing)},
                     {"appliedEffect", Value(m_appliedEffect)},
                     {"reviewSelected", Value(m_reviewSelected)},
                     {"hasPreview", Value(!m_reviewImage.empty())},
                     {"previewSize", SizeValue({static_cast<float>(m_originalImage.width()),
                                                static_cast<float>(m_originalImage.height())})},
                     {"reallySize", SizeValue(m_reallySize)},
                     {"reallyScale", NumberValue(m_reallyScale)},
                     {"released", Value(m_released)}};
    addState(state);
    return state;
}

}  // namespace vantrel
