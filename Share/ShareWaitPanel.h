// ShareWaitPanel: the one wait panel of the share exchange ("STR_CONNECTING"
// while a login starts, "STR_SENDING" while a post goes out), shown through
// the UI services.
//
// A panel shown with a time limit is removed when the limit passes, but only
// if it is still the panel on screen: the 15-second removal of a login's
// "STR_CONNECTING" never takes away a later "STR_SENDING". remove() does
// nothing when no panel of the share exchange is shown, so it can't take
// away another part's panel.
//
// Threads: main queue only.
#pragma once

#include <chrono>
#include <memory>
#include <string_view>

namespace vantrel {

class ShareWaitPanel {
public:
    ShareWaitPanel() : m_state(std::make_shared<State>()) {}

    // Shows the localised `titleKey` over the screen, touches blocked.
    void show(std::string_view titleKey);
    // Shows it and removes it after `limit` unless it is gone or replaced.
    void showFor(std::string_view titleKey, std::chrono::milliseconds limit);
    void remove();
    bool shown() const { return m_state->shown; }

private:
    struct State {
        bool shown = false;
        unsigned generation = 0;
    };
    std::shared_ptr<State> m_state;
};

}  // namespace vantrel
