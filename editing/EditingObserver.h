// What the screens of the editing workflow show, for a shell to render: the
// root's phase, the photo picker, and the edit screen's state. The root
// (PhotoAppViewController) tells its observer on the main queue whenever one
// of them changes; the observer reads what it needs from the arguments.
// Questions and passing messages (alerts, sheets, the wait panel, the title
// tip) go through UIServices instead.
#pragma once

#include <string>

#include "Core/global/Records.h"
#include "platform/Picture.h"

namespace vantrel {

// Application phases.
inline constexpr int kPhaseMain = 1;
inline constexpr int kPhaseBrowse = 2;
inline constexpr int kPhaseEdit = 3;
inline constexpr int kPhaseSettings = 4;

// Where the picker takes pictures from; None when it is closed.
enum class PickerSource { None, Library, Camera };

// The edit screen as it is shown.
struct EditScreenState {
    bool barsShown = false;
    bool undoEnabled = false;
    bool redoEnabled = false;
    bool saveEnabled = false;
    // "W x H", the size the saved photo will have, and the label's frame.
    std::string sizeLabelText;
    float sizeLabelWidth = 0;
    float sizeLabelHeight = 0;
    Picture displayImage;        // at most about 614400 pixels
    int commandIndex = 0;        // steps in effect
    int historyCount = 0;        // steps recorded, the redo tail included
    std::string openPanelTitle;  // the open effect panel's title; empty for none
    bool rectSelectorShown = false;
    Rect rectSelectorRect;  // in working-image pixels, while shown
};

class EditingObserver {
public:
    virtual ~EditingObserver() = default;
    virtual void phaseChanged(int phase, int previousPhase) = 0;
    virtual void pickerChanged(PickerSource source) = 0;
    virtual void editScreenChanged(const EditScreenState& state) = 0;
    // A saved photo was added to the library as `reference`, so that a
    // shell can offer it beyond the library (a download, a share sheet).
    virtual void photoSaved(const std::string& reference) { (void)reference; }
};

}  // namespace vantrel
