#include "app/web/EditorShell.h"

#include <algorithm>
#include <cmath>

#include "Share/WBShareKit.h"
#include "app/web/ShareScreen.h"
#include "app/web/WebSecurity.h"
#include "app/web/WebUIServices.h"
#include "editing/EditViewController.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "editing/SettingsViewController.h"
#include "editing/StateValues.h"
#include "editing/panels/EffectProcessViewController.h"
#include "editing/panels/LomoEffectsToolView.h"

namespace vantrel::web {
namespace {

constexpr char kNoEditor[] = "No photo is being edited.";
constexpr char kNoPanel[] = "No effect panel is open.";

std::string_view PickerName(PickerSource source) {
    switch (source) {
        case PickerSource::Library:
            return "library";
        case PickerSource::Camera:
            return "camera";
        case PickerSource::None:
            break;
    }
    return "none";
}

Value PictureSize(const Picture& picture) {
    return SizeValue({static_cast<float>(picture.width()), static_cast<float>(picture.height())});
}

}  // namespace

EditorShell::EditorShell(PhotoAppViewController& root, WebUIServices& ui, std::string version)
    : m_root(root), m_ui(ui), m_version(std::move(version)) {
    // Picture URLs of an earlier run of the server must not be taken for this one's.
    m_instance = NewAccessToken().substr(0, 8);
    if (m_instance.empty()) m_instance = "0";
    m_share = std::make_unique<ShareScreen>(
        [this] {
            EditViewController* edit = editor();
            return edit ? edit->pendingImage() : Picture();
        },
        m_instance);
    m_unfinishedEdit = m_root.hasUnfinishedEdit();
}

EditorShell::~EditorShell() = default;

std::string EditorShell::versioned(long long number) const {
    return m_instance + "-" + std::to_string(number);
}

EditViewController* EditorShell::editor() const {
    return m_root.phase() == kPhaseEdit ? m_root.editViewController() : nullptr;
}

EffectProcessViewController* EditorShell::panelHost() const {
    EditViewController* edit = editor();
    if (!edit) return nullptr;
    auto* host = dynamic_cast<EffectProcessViewController*>(edit->panelHost());
    return host && host->panel() ? host : nullptr;
}

// ---- observer ----

void EditorShell::phaseChanged(int phase, int) {
    if (phase != kPhaseSettings) m_about = false;
    if (phase == kPhaseMain) m_unfinishedEdit = m_root.hasUnfinishedEdit();
    if (phase != kPhaseEdit) {
        m_edit = EditScreenState();
        m_selector.reset();
        m_share->leaveEditScreen();
    }
}

void EditorShell::pickerChanged(PickerSource) {}

void EditorShell::editScreenChanged(const EditScreenState& state) {
    m_edit = state;
    const void* key = state.displayImage.empty() ? nullptr : state.displayImage.data();
    if (key != m_displayKey) {
        m_displayKey = key;
        ++m_displayVersion;
    }
    syncSelector();
}

void EditorShell::photoSaved(const std::string& reference) {
    m_savedReference = reference;
    ++m_savedSerial;
}

// ---- region selector ----

void EditorShell::syncSelector() {
    EditViewController* edit = m_root.editViewController();
    if (!edit || !m_edit.rectSelectorShown) {
        m_selector.reset();
        return;
    }
    if (m_selector) return;
    // The selector shows the working image at the display image's size: the
    // size the page draws it at.
    const Picture& display = m_edit.displayImage;
    m_selector =
        std::make_unique<RectSelectionViewController>(this, m_root.services().settings.showTips());
    m_selector->selectImage(edit->pendingImage(), {static_cast<float>(display.width()),
                                                   static_cast<float>(display.height())});
    m_selector->setRect(m_edit.rectSelectorRect);
    ++m_selectorSerial;
}

void EditorShell::rectSelectionYES(const Rect& rect) {
    if (EditViewController* edit = editor()) edit->rectSelectionYES(rect);
}

void EditorShell::rectSelectionCancel() {
    if (EditViewController* edit = editor()) edit->rectSelectionCancel();
}

// ---- snapshot ----

void EditorShell::trackPanel() {
    EffectProcessViewController* host = panelHost();
    const void* key = host ? static_cast<const void*>(host->panel()) : nullptr;
    if (key != m_panelKey) {
        m_panelKey = key;
        ++m_panelSerial;
        m_reviewKey = nullptr;
    }
    const void* review =
        host && !host->reviewImage().empty() ? host->reviewImage().data() : nullptr;
    if (review != m_reviewKey) {
        m_reviewKey = review;
        ++m_reviewVersion;
    }
}

Value EditorShell::editState() const {
    EditViewController* edit = editor();
    if (!edit) return Value();
    const Picture& display = m_edit.displayImage;
    Dictionary state{
        {"barsShown", Value(m_edit.barsShown)},
        {"undoEnabled", Value(m_edit.undoEnabled)},
        {"redoEnabled", Value(m_edit.redoEnabled)},
        {"saveEnabled", Value(m_edit.saveEnabled)},
        {"sizeLabel", Dictionary{{"text", Value(m_edit.sizeLabelText)},
                                 {"width", NumberValue(m_edit.sizeLabelWidth)},
                                 {"height", NumberValue(m_edit.sizeLabelHeight)}}},
        {"display", display.empty() ? Value()
                                    : Value(Dictionary{{"url", Value("/api/image/display?v=" +
                                                                     versioned(m_displayVersion))},
                                                       {"size", PictureSize(display)}})},
        {"commandIndex", NumberValue(m_edit.commandIndex)},
        {"historyCount", NumberValue(m_edit.historyCount)},
        {"openPanelTitle", Value(m_edit.openPanelTitle)},
        {"busy", Value(edit->isBusy())},
        {"workingSize", PictureSize(edit->pendingImage())},
        {"scaleMark", NumberValue(edit->scaleMark())}};
    if (m_selector) {
        Dictionary selection = m_selector->state();
        selection.set("serial", NumberValue(static_cast<double>(m_selectorSerial)));
        state.set("selection", selection);
    } else {
        state.set("selection", Value());
    }
    return state;
}

Value EditorShell::panelState() {
    EffectProcessViewController* host = panelHost();
    if (!host) return Value();
    Dictionary state = host->state();
    const std::string serial = versioned(m_panelSerial);
    state.set("serial", Value(serial));
    EffectsToolView& panel = *host->panel();
    state.set("originalUrl", Value("/api/image/panel/original?v=" + serial));
    state.set("reviewUrl", panel.reviewImage().empty()
                               ? Value()
                               : Value("/api/image/panel/review?v=" + serial + "-" +
                                       std::to_string(m_reviewVersion)));
    state.set("shownUrl", host->showingImage().empty()
                              ? Value()
                              : Value("/api/image/panel/shown?v=" + serial + "-" +
                                      std::to_string(host->imageVersion())));
    state.set("shownSize", PictureSize(host->showingImage()));
    state.set("flags",
              Dictionary{{"showOriginalImageOnTap", Value(panel.flags().showOriginalImageOnTap)},
                         {"realTimeSliderEnabled", Value(panel.flags().realTimeSliderEnabled)}});
    return state;
}

Value EditorShell::settingsState() const {
    SettingsViewController* screen = m_root.settingsViewController();
    if (m_root.phase() != kPhaseSettings || !screen) return Value();
    Array sections;
    for (int s = 0; s < SettingsViewController::numberOfSections(); ++s) {
        Array rows;
        for (int r = 0; r < SettingsViewController::numberOfRows(s); ++r) {
            const std::optional<bool> on = screen->switchValue(s, r);
            rows.push_back(Dictionary{{"key", Value(SettingsViewController::rowKey(s, r))},
                                      {"switch", on ? Value(*on) : Value()}});
        }
        sections.push_back(
            Dictionary{{"header", Value(SettingsViewController::sectionHeaderKey(s))},
                       {"footer", Value(SettingsViewController::sectionFooterKey(s))},
                       {"rows", rows}});
    }
    return Dictionary{{"title", Value(SettingsViewController::kTitleKey)},
                      {"sections", sections},
                      {"about", Value(m_about)}};
}

Dictionary EditorShell::snapshot() {
    trackPanel();
    if (m_libraryWasLoading && !m_root.isLibraryLoading()) ++m_libraryGeneration;
    m_libraryWasLoading = m_root.isLibraryLoading();
    const std::string browsed = m_root.browserPhotoReference();
    return Dictionary{
        {"instance", Value(m_instance)},
        {"version", Value(m_version)},
        {"phase", NumberValue(m_root.phase())},
        {"prevPhase", NumberValue(m_root.prevPhase())},
        {"picker", Value(PickerName(m_root.pickerSource()))},
        {"library",
         Dictionary{{"loading", Value(m_root.isLibraryLoading())},
                    {"count", NumberValue(static_cast<int>(m_root.libraryPhotos().size()))},
                    {"generation", NumberValue(static_cast<double>(m_libraryGeneration))}}},
        {"browser", m_root.phase() == kPhaseBrowse
                        ? Value(Dictionary{{"reference", Value(browsed)}})
                        : Value()},
        {"unfinishedEdit", Value(m_unfinishedEdit)},
        {"questions", m_ui.questions()},
        {"waitPanel", m_ui.waitPanel()},
        {"edit", editState()},
        {"panel", panelState()},
        {"settings", settingsState()},
        {"share", m_root.phase() == kPhaseEdit ? m_share->state() : Value()},
        {"saved",
         m_savedReference.empty()
             ? Value()
             : Value(Dictionary{{"reference", Value(m_savedReference)},
                                {"serial", NumberValue(static_cast<double>(m_savedSerial))}})}};
}

Dictionary EditorShell::libraryPage(int offset, int count) const {
    const auto& photos = m_root.libraryPhotos();
    const int total = static_cast<int>(photos.size());
    offset = std::clamp(offset, 0, total);
    count = std::clamp(count, 0, total - offset);
    Array entries;
    for (int i = offset; i < offset + count; ++i) {
        entries.push_back(Dictionary{{"reference", Value(photos[i].reference)},
                                     {"modified", NumberValue(static_cast<double>(
                                                      photos[i].modifiedNanoseconds / 1000000))}});
    }
    return Dictionary{{"offset", NumberValue(offset)},
                      {"total", NumberValue(total)},
                      {"loading", Value(m_root.isLibraryLoading())},
                      {"photos", entries}};
}

// ---- pictures ----

Picture EditorShell::displayImage(std::string_view version) const {
    if (version != versioned(m_displayVersion)) return Picture();
    return m_edit.displayImage;
}

Picture EditorShell::panelImage(PanelPicture which, std::string_view version) const {
    EffectProcessViewController* host = panelHost();
    if (!host) return Picture();
    const std::string serial = versioned(m_panelSerial);
    switch (which) {
        case PanelPicture::Original:
            return version == serial ? host->panel()->originalImage() : Picture();
        case PanelPicture::Review:
            return version == serial + "-" + std::to_string(m_reviewVersion) ? host->reviewImage()
                                                                             : Picture();
        case PanelPicture::Shown:
            return version == serial + "-" + std::to_string(host->imageVersion())
                       ? host->showingImage()
                       : Picture();
    }
    return Picture();
}

Picture EditorShell::lookThumbnail(std::string_view version, int section, int index) const {
    EffectProcessViewController* host = panelHost();
    if (!host || version != versioned(m_panelSerial)) return Picture();
    const auto* looks = dynamic_cast<const LomoEffectsToolView*>(host->panel());
    if (!looks || section < 0 || section >= looks->sectionCount()) return Picture();
    const auto& list = looks->looks(section);
    if (index < 0 || index >= static_cast<int>(list.size())) return Picture();
    return list[index].image;
}

// ---- phases, picker, browser ----

ActionResult EditorShell::jumpToPhase(int phase) {
    if (phase < kPhaseMain || phase > kPhaseSettings) {
        return ActionResult::Refused(400, "There is no such screen.");
    }
    if (phase == kPhaseEdit) {
        return ActionResult::Refused(400, "The edit screen opens with a photo.");
    }
    m_root.jumpToPhase(phase);
    return ActionResult::Ok();
}

ActionResult EditorShell::openPicker(std::string_view source) {
    if (m_root.phase() == kPhaseEdit) return ActionResult::Refused(409, "A photo is being edited.");
    if (source == "library") {
        m_root.getPhotoFromPhotoAlbums();
    } else if (source == "camera") {
        m_root.getPhotoFromCamera();
    } else {
        return ActionResult::Refused(400, "Photos come from the library or the camera.");
    }
    return ActionResult::Ok();
}

ActionResult EditorShell::cancelPicker() {
    m_root.imagePickerControllerDidCancel();
    return ActionResult::Ok();
}

ActionResult EditorShell::pickLibraryPhoto(const std::string& reference) {
    if (!PhotoLibrary::IsValidReference(reference)) {
        return ActionResult::Refused(400, "There is no such photo in the library.");
    }
    if (m_root.pickerSource() != PickerSource::Library) m_root.getPhotoFromPhotoAlbums();
    m_root.imagePickerControllerDidFinishPicking(PickedPhoto{Picture(), 1, reference});
    return ActionResult::Ok();
}

ActionResult EditorShell::takePicture(const Picture& upright) {
    if (m_root.phase() == kPhaseEdit) return ActionResult::Refused(409, "A photo is being edited.");
    m_root.openPicture(upright, 1);
    return ActionResult::Ok();
}

ActionResult EditorShell::browserShow(const std::string& reference) {
    if (m_root.phase() != kPhaseBrowse)
        return ActionResult::Refused(409, "The library is not open.");
    if (!PhotoLibrary::IsValidReference(reference)) {
        return ActionResult::Refused(400, "There is no such photo in the library.");
    }
    m_root.browserShowPhoto(reference);
    return ActionResult::Ok();
}

ActionResult EditorShell::browserEdit() {
    if (m_root.phase() != kPhaseBrowse)
        return ActionResult::Refused(409, "The library is not open.");
    m_root.browserEditPhoto();
    return ActionResult::Ok();
}

ActionResult EditorShell::resumeEdit() {
    if (!m_root.resumeUnfinishedEdit()) {
        return ActionResult::Refused(409, "There is no unfinished edit to resume.");
    }
    m_unfinishedEdit = false;
    return ActionResult::Ok();
}

ActionResult EditorShell::reloadLibrary() {
    m_root.reloadLibrary();
    return ActionResult::Ok();
}

// ---- edit screen ----

ActionResult EditorShell::editAction(std::string_view action) {
    EditViewController* edit = editor();
    if (!edit) return ActionResult::Refused(409, kNoEditor);
    if (action == "undo") {
        edit->actionBackEffect();
    } else if (action == "redo") {
        edit->actionRedoEffect();
    } else if (action == "save") {
        edit->actionSaveImage();
    } else if (action == "close") {
        edit->actionCloseEditor();
    } else if (action == "select") {
        edit->popRectSelectionView();
    } else {
        return ActionResult::Refused(400, "The edit screen has no such button.");
    }
    return ActionResult::Ok();
}

ActionResult EditorShell::openPanel(const std::string& title) {
    EditViewController* edit = editor();
    if (!edit) return ActionResult::Refused(409, kNoEditor);
    if (!FindPanel(title)) return ActionResult::Refused(400, "The menus have no such item.");
    edit->actionEffectProcess(title);
    return ActionResult::Ok();
}

ActionResult EditorShell::panelAction(std::string_view action) {
    EffectProcessViewController* host = panelHost();
    if (!host) return ActionResult::Refused(409, kNoPanel);
    if (action == "done") {
        editor()->actionDone();
    } else if (action == "back") {
        editor()->effectProcessBack();
    } else if (action == "title") {
        host->titleTapped();
    } else if (action == "review") {
        host->panel()->reviewButtonClicked();
    } else {
        return ActionResult::Refused(400, "The panel has no such button.");
    }
    return ActionResult::Ok();
}

ActionResult EditorShell::panelControl(std::string_view key, std::string_view action,
                                       double value) {
    EffectProcessViewController* host = panelHost();
    if (!host) return ActionResult::Refused(409, kNoPanel);
    if (!std::isfinite(value)) return ActionResult::Refused(400, "A control's value is a number.");
    EffectsToolView& panel = *host->panel();
    bool taken = false;
    if (action == "move") {
        taken = panel.sliderMoved(key, static_cast<float>(value));
    } else if (action == "release") {
        taken = panel.sliderReleased(key);
    } else if (action == "set") {
        taken = panel.setControl(key, value);
    } else {
        return ActionResult::Refused(400, "A control is moved, released or set.");
    }
    // A disabled control is not an error: the page shows it as it is.
    if (!taken && !panel.panelSpec().control(key)) {
        return ActionResult::Refused(400, "The panel has no such control.");
    }
    return ActionResult::Ok();
}

ActionResult EditorShell::panelTouch(std::string_view target, const TouchEvent& touch) {
    EffectProcessViewController* host = panelHost();
    if (!host) return ActionResult::Refused(409, kNoPanel);
    host->panel()->touch(target, touch);
    return ActionResult::Ok();
}

ActionResult EditorShell::panelPinch(std::string_view target, const PinchEvent& pinch) {
    EffectProcessViewController* host = panelHost();
    if (!host) return ActionResult::Refused(409, kNoPanel);
    host->panel()->pinch(target, pinch);
    return ActionResult::Ok();
}

ActionResult EditorShell::selectionTouch(const TouchEvent& touch) {
    if (!m_selector) return ActionResult::Refused(409, "No region is being selected.");
    m_selector->touch(touch);
    return ActionResult::Ok();
}

ActionResult EditorShell::selectionAction(std::string_view action) {
    if (!m_selector) return ActionResult::Refused(409, "No region is being selected.");
    if (action == "done") {
        m_selector->done();
    } else if (action == "cancel") {
        m_selector->cancel();
    } else if (action == "reset") {
        m_selector->reset();
    } else {
        return ActionResult::Refused(400, "The selector has no such button.");
    }
    return ActionResult::Ok();
}

// ---- settings and about ----

ActionResult EditorShell::shareAction(std::string_view action, int code, std::string text) {
    if (!editor()) return ActionResult::Refused(409, kNoEditor);
    return m_share->action(action, code, std::move(text));
}

Picture EditorShell::shareThumbnail(std::string_view version) const {
    return m_share->thumbnail(version);
}

ActionResult EditorShell::settingsSwitch(int section, int row, bool on) {
    SettingsViewController* screen = m_root.settingsViewController();
    if (!screen || m_root.phase() != kPhaseSettings) {
        return ActionResult::Refused(409, "The settings are not open.");
    }
    if (!screen->setSwitch(section, row, on)) {
        return ActionResult::Refused(400, "That row has no switch.");
    }
    return ActionResult::Ok();
}

ActionResult EditorShell::settingsSelect(int section, int row) {
    SettingsViewController* screen = m_root.settingsViewController();
    if (!screen || m_root.phase() != kPhaseSettings) {
        return ActionResult::Refused(409, "The settings are not open.");
    }
    if (SettingsViewController::rowKey(section, row).empty()) {
        return ActionResult::Refused(400, "There is no such row.");
    }
    screen->setShowAbout([this] { m_about = true; });
    screen->setClearAllToken([] { WBShareKit::sharedWBShareKit().clearAllToken(); });
    screen->selectRow(section, row);
    return ActionResult::Ok();
}

ActionResult EditorShell::closeAbout() {
    m_about = false;
    return ActionResult::Ok();
}

}  // namespace vantrel::web
