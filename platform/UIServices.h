// UIServices: what the program asks of its shell's user interface.
//
// Alerts (the error record's, for one), the wait panel and activity
// indicator shown while a command list runs in the background, and the
// localised texts of "STR_" keys. A shell (the web server, a test) installs
// its implementation; until then a harmless default writes alerts to the
// standard error stream, ignores the panels and gives each key back as its
// own text.
//
// The current implementation is process-wide and not owned: whoever installs
// one keeps it alive until it is replaced (setCurrentUIServices(nullptr)
// restores the default). Calls may come from any thread; an implementation
// hands them to its user interface's thread as it needs.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

class UIServices {
public:
    virtual ~UIServices() = default;

    // A message box with a title, a message and one button.
    virtual void showAlert(std::string_view title, std::string_view message,
                           std::string_view button) = 0;
    // A panel over the screen while work runs; maskEnable blocks touches.
    virtual void showWaitPanelWithTitle(std::string_view title, bool maskEnable) = 0;
    // A small spinner while work runs, the screen still usable.
    virtual void showActivityIndicator() = 0;
    // Removes the wait panel or the activity indicator, whichever is shown.
    virtual void removeWaitPanel() = 0;
    // The localised text of a "STR_" key.
    virtual std::string localizedString(std::string_view key) = 0;
};

// The implementation now installed, or the default.
UIServices& currentUIServices();

// Installs `services` (not owned); null restores the default.
void setCurrentUIServices(UIServices* services);

}  // namespace vantrel
