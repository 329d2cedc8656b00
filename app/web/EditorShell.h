// EditorShell: the web editor's screen over the editing workflow. It is the
// root's observer and the region selector's host, gathers everything a page
// shows into one snapshot (phase, picker, library, browser, questions, wait
// panel, edit screen, open panel, region selector, settings, the last saved
// photo), and turns the pages' requests into calls of the models' own
// operations. It never decides anything the models decide: a request the
// models ignore (Undo at position 0, an event while the wait panel is up)
// changes nothing here either.
//
// Pictures are named in the snapshot by versioned URLs, so that a page
// fetches a picture once and keeps it while its version stands.
//
// Threads: everything belongs to the main queue.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "commands/Value.h"
#include "editing/EditingObserver.h"
#include "editing/editors/RectSelectionViewController.h"
#include "platform/Picture.h"

namespace vantrel {
class EditViewController;
class EffectProcessViewController;
class PhotoAppViewController;
}  // namespace vantrel

namespace vantrel::web {

class ShareScreen;
class WebUIServices;

// The outcome of a page's request: 200, or a status with a message meant
// for a person.
struct ActionResult {
    int status = 200;
    std::string error;

    static ActionResult Ok() { return {}; }
    static ActionResult Refused(int status, std::string error) {
        return {status, std::move(error)};
    }
    bool ok() const { return status == 200; }
};

// Which picture of the open panel a URL names.
enum class PanelPicture { Original, Review, Shown };

class EditorShell final : public EditingObserver, public RectSelectionViewControllerDelegate {
public:
    EditorShell(PhotoAppViewController& root, WebUIServices& ui, std::string version);
    ~EditorShell() override;

    // The whole state a page renders.
    Dictionary snapshot();

    // EditingObserver.
    void phaseChanged(int phase, int previousPhase) override;
    void pickerChanged(PickerSource source) override;
    void editScreenChanged(const EditScreenState& state) override;
    void photoSaved(const std::string& reference) override;

    // RectSelectionViewControllerDelegate.
    void rectSelectionYES(const Rect& rect) override;
    void rectSelectionCancel() override;

    // Pictures by the version their URL carries; empty when the version is
    // no longer the current one.
    Picture displayImage(std::string_view version) const;
    Picture panelImage(PanelPicture which, std::string_view version) const;
    Picture lookThumbnail(std::string_view version, int section, int index) const;

    // Phases, the picker, the browser.
    ActionResult jumpToPhase(int phase);
    ActionResult openPicker(std::string_view source);  // "library" or "camera"
    ActionResult cancelPicker();
    ActionResult pickLibraryPhoto(const std::string& reference);
    ActionResult takePicture(const Picture& upright);  // a camera picture or an upload
    ActionResult browserShow(const std::string& reference);
    ActionResult browserEdit();
    ActionResult resumeEdit();
    ActionResult reloadLibrary();

    // The edit screen: "undo", "redo", "save", "close", "select".
    ActionResult editAction(std::string_view action);
    ActionResult openPanel(const std::string& title);

    // The open panel: "done", "back", "title", "review".
    ActionResult panelAction(std::string_view action);
    // A control: "move" and "release" for sliders, "set" for any control.
    ActionResult panelControl(std::string_view key, std::string_view action, double value);
    ActionResult panelTouch(std::string_view target, const TouchEvent& touch);
    ActionResult panelPinch(std::string_view target, const PinchEvent& pinch);

    // The region selector: touches, "done", "cancel", "reset".
    ActionResult selectionTouch(const TouchEvent& touch);
    ActionResult selectionAction(std::string_view action);

    // The share menu and the share page (ShareScreen::action).
    ActionResult shareAction(std::string_view action, int code, std::string text);
    Picture shareThumbnail(std::string_view version) const;

    // The settings screen and the about screen.
    ActionResult settingsSwitch(int section, int row, bool on);
    ActionResult settingsSelect(int section, int row);
    ActionResult closeAbout();

    // The library as last read, `count` entries from `offset`.
    Dictionary libraryPage(int offset, int count) const;

private:
    EditViewController* editor() const;
    EffectProcessViewController* panelHost() const;
    void trackPanel();
    void syncSelector();
    std::string versioned(long long number) const;
    Value editState() const;
    Value panelState();
    Value settingsState() const;

    PhotoAppViewController& m_root;
    WebUIServices& m_ui;
    std::string m_version;
    std::string m_instance;

    EditScreenState m_edit;
    long long m_displayVersion = 0;
    const void* m_displayKey = nullptr;

    const void* m_panelKey = nullptr;
    long long m_panelSerial = 0;
    const void* m_reviewKey = nullptr;
    long long m_reviewVersion = 0;

    std::unique_ptr<RectSelectionViewController> m_selector;
    std::unique_ptr<ShareScreen> m_share;
    long long m_selectorSerial = 0;

    bool m_about = false;
    bool m_unfinishedEdit = false;
    bool m_libraryWasLoading = false;
    long long m_libraryGeneration = 0;
    std::string m_savedReference;
    long long m_savedSerial = 0;
};

}  // namespace vantrel::web
