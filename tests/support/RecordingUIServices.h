// A UIServices that records every call, for tests of code that shows alerts,
// wait panels or localised texts. Installed for its lifetime; the previous
// implementation comes back when it goes.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UIServices.h"

namespace vantrel::test {

class RecordingUIServices final : public UIServices {
public:
    RecordingUIServices() : m_previous(&currentUIServices()) { setCurrentUIServices(this); }
    ~RecordingUIServices() override { setCurrentUIServices(m_previous); }
    RecordingUIServices(const RecordingUIServices&) = delete;
    RecordingUIServices& operator=(const RecordingUIServices&) = delete;

    // Texts are built by appending: GCC 12 warns falsely on "literal" + string.
    void showAlert(std::string_view title, std::string_view message,
                   std::string_view button) override {
        record(std::string("alert(")
                   .append(title)
                   .append(" | ")
                   .append(message)
                   .append(" | ")
                   .append(button)
                   .append(")"));
    }
    void showWaitPanelWithTitle(std::string_view title, bool maskEnable) override {
        record(std::string("waitPanel(")
                   .append(title)
                   .append(maskEnable ? " | mask)" : " | no mask)"));
    }
    void showActivityIndicator() override { record("activityIndicator"); }
    void removeWaitPanel() override { record("removeWaitPanel"); }
    // "[KEY]", so that tests see which key was asked for.
    std::string localizedString(std::string_view key) override {
        record(std::string("localized(").append(key).append(")"));
        return std::string("[").append(key).append("]");
    }

    // Every call so far, in order, e.g. "alert(title | Error | OK!)".
    std::vector<std::string> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    void record(std::string call) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }

    UIServices* m_previous;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

}  // namespace vantrel::test
