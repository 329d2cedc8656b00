// UIServices: what the program asks of its shell's user interface.
//
// Alerts (the error record's, for one), alerts and action sheets whose
// answer comes back, the wait panel and activity indicator shown while work
// runs in the background, the activity indicator's completion message, a
// panel's title tip, opening a link, and the localised texts of "STR_" keys.
// A shell (the web server, a test) installs its implementation; until then a
// harmless default writes alerts and sheets to the standard error stream,
// never answers them, ignores the panels and gives each key back as its own
// text.
//
// Answers: a shell calls the ChoiceHandler it was given once, with the index
// of the button chosen, from any thread, or never (the question went away
// with the shell). Callers wrap their handler in answerOnMainQueue, so that
// it runs on the main queue whatever thread the shell answered from.
//
// The current implementation is process-wide and not owned: whoever installs
// one keeps it alive until it is replaced (setCurrentUIServices(nullptr)
// restores the default). Calls may come from any thread; an implementation
// hands them to its user interface's thread as it needs.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Receives the index of the button chosen.
using ChoiceHandler = std::function<void(int index)>;

// An alert with a cancel button (index 0) and further buttons (1, 2, ...).
struct AlertRequest {
    std::string title;
    std::string message;
    std::string cancelButton;
    std::vector<std::string> otherButtons;
};

// A sheet of buttons, indexed in order. The destructive and the cancel
// button are among them (-1: none).
struct ActionSheetRequest {
    std::string title;
    std::vector<std::string> buttons;
    int destructiveButtonIndex = -1;
    int cancelButtonIndex = -1;
};

class UIServices {
public:
    virtual ~UIServices() = default;

    // A message box with a title, a message and one button.
    virtual void showAlert(std::string_view title, std::string_view message,
                           std::string_view button) = 0;
    // A message box whose chosen button is answered.
    virtual void showAlertWithButtons(const AlertRequest& request, ChoiceHandler answer);
    // A sheet of choices whose chosen button is answered.
    virtual void showActionSheet(const ActionSheetRequest& request, ChoiceHandler answer);
    // A panel over the screen while work runs; maskEnable blocks touches.
    virtual void showWaitPanelWithTitle(std::string_view title, bool maskEnable) = 0;
    // A small spinner while work runs, the screen still usable.
    virtual void showActivityIndicator() = 0;
    // Removes the wait panel or the activity indicator, whichever is shown.
    virtual void removeWaitPanel() = 0;
    // The activity indicator's short "done" message (after logging out).
    virtual void displayCompleted(std::string_view message);
    // The tip picture of an effect panel's title, shown for a few seconds.
    virtual void showTitleTip(std::string_view title);
    // Hands a link to the system's browser (the store page of the rate request).
    virtual void openURL(std::string_view url);
    // The localised text of a "STR_" key.
    virtual std::string localizedString(std::string_view key) = 0;
};

// The implementation now installed, or the default.
UIServices& currentUIServices();

// Installs `services` (not owned); null restores the default.
void setCurrentUIServices(UIServices* services);

// A handler that runs `handler` with the answer on the main queue.
ChoiceHandler answerOnMainQueue(ChoiceHandler handler);

}  // namespace vantrel
