// A whole editing workflow for one test: a temporary documents directory and
// photo library, its own settings, processor and picture cache, a recording
// UIServices and observer, effect panels that return scripted command
// lists, and the root over them. The test is the main queue: Settle() runs it
// until the flow's background work has ended.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/EffectsProcesser.h"
#include "editing/EditViewController.h"
#include "editing/EditingObserver.h"
#include "editing/EffectPanelHost.h"
#include "editing/ImageCacheManager.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "support/RecordingUIServices.h"
#include "support/TestPictures.h"

namespace vantrel::test {

// What a scripted panel hands over.
struct PanelScript {
    Array list;               // its effectsTaskList
    Picture review;           // its reviewImage
    bool allowReview = true;  // allowUseReviewAsResult
    bool applied = true;      // appliedEffect
};

class ScriptedPanel final : public EffectPanelHost {
public:
    explicit ScriptedPanel(PanelScript script) : m_script(std::move(script)) {}
    Array effectsTaskList() override { return m_script.list; }
    bool allowUseReviewAsResult() const override { return m_script.allowReview; }
    Picture reviewImage() const override { return m_script.review; }
    bool appliedEffect() const override { return m_script.applied; }

private:
    PanelScript m_script;
};

class RecordingEditingObserver final : public EditingObserver {
public:
    void phaseChanged(int phase, int previousPhase) override {
        phases.push_back({phase, previousPhase});
    }
    void pickerChanged(PickerSource) override {}
    void editScreenChanged(const EditScreenState& state) override { last = state; }

    std::vector<std::pair<int, int>> phases;
    EditScreenState last;
};

// Both pictures hold the same bytes (and size).
bool SamePixels(const Picture& a, const Picture& b);

class EditingWorld {
    // First, so that the paths below can be taken from them.
    std::unique_ptr<ScratchFolder> m_documents;
    std::unique_ptr<ScratchFolder> m_library;

public:
    // A world over the given folders; fresh scratch folders for those not given.
    explicit EditingWorld(const std::string& documents = "", const std::string& library = "");
    ~EditingWorld();

    // Runs the main queue until the flow's background work (the root's, the
    // session's picture writes) has ended.
    void Settle();

    PhotoAppViewController& root() { return *m_root; }
    // The edit screen; fails the test when there is none.
    EditViewController& editor();

    // Takes `picture` in as a picture from outside the library, or opens the
    // library's photo `reference`, and, when the size sheet comes up, answers
    // it with `sheetChoice` (nothing: leaves it).
    void OpenPicture(const Picture& picture, std::optional<int> sheetChoice);
    void OpenLibraryPhoto(const std::string& reference, std::optional<int> sheetChoice);
    // Writes `picture` into the library as `reference` (PNG or JPEG by name).
    void PutInLibrary(const std::string& reference, const Picture& picture);
    // Makes the panel of `title` a ScriptedPanel handing over `script`, or,
    // with nothing, a panel whose set-up fails; records the requests.
    void SetPanel(const std::string& title, std::optional<PanelScript> script);
    // Opens a panel with `script`, presses Done and settles.
    void Apply(const PanelScript& script, const std::string& title = "STR_MENU_CURVE");
    void Apply(const Array& list) { Apply(PanelScript{list, {}, true, true}); }
    // Presses Save and settles.
    void Save();
    // The files saved into the library's Vantrel folder.
    std::vector<std::string> SavedFiles() const;

    std::string documentsPath;
    std::string libraryPath;
    RecordingUIServices ui;
    Settings settings;
    EffectsProcesser processor;
    ImageCacheManager imageCache;
    RecordingEditingObserver observer;
    EffectPanelRegistry panels;
    std::vector<EffectPanelRequest> panelRequests;

private:
    void AnswerSheet(std::optional<int> sheetChoice);

    std::unique_ptr<PhotoAppViewController> m_root;
};

}  // namespace vantrel::test
