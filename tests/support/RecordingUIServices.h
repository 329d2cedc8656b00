// A UIServices that records every call, for tests of code that shows alerts,
// sheets, wait panels or localised texts. Installed for its lifetime; the
// previous implementation comes back when it goes. Questions (alerts with
// buttons, sheets) wait until the test answers them.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
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
    // "alert(title | message | cancel | other...)".
    void showAlertWithButtons(const AlertRequest& request, ChoiceHandler answer) override {
        std::string call = std::string("alert(").append(request.title).append(" | ");
        call.append(request.message).append(" | ").append(request.cancelButton);
        for (const std::string& button : request.otherButtons) call.append(" | ").append(button);
        ask(call.append(")"), std::move(answer));
    }
    // "sheet(title | button... | destructive N | cancel N)".
    void showActionSheet(const ActionSheetRequest& request, ChoiceHandler answer) override {
        std::string call = std::string("sheet(").append(request.title);
        for (const std::string& button : request.buttons) call.append(" | ").append(button);
        call.append(" | destructive ").append(std::to_string(request.destructiveButtonIndex));
        call.append(" | cancel ").append(std::to_string(request.cancelButtonIndex)).append(")");
        ask(call, std::move(answer));
    }
    void showWaitPanelWithTitle(std::string_view title, bool maskEnable) override {
        record(std::string("waitPanel(")
                   .append(title)
                   .append(maskEnable ? " | mask)" : " | no mask)"));
    }
    void showActivityIndicator() override { record("activityIndicator"); }
    void removeWaitPanel() override { record("removeWaitPanel"); }
    void displayCompleted(std::string_view message) override {
        record(std::string("displayCompleted(").append(message).append(")"));
    }
    void showTitleTip(std::string_view title) override {
        record(std::string("titleTip(").append(title).append(")"));
    }
    void openURL(std::string_view url) override {
        record(std::string("openURL(").append(url).append(")"));
    }
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
    // The calls other than localised-text look-ups.
    std::vector<std::string> shown() const {
        std::vector<std::string> shown;
        for (std::string& call : calls()) {
            if (call.rfind("localized(", 0) != 0) shown.push_back(std::move(call));
        }
        return shown;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
    }

    // The oldest question not answered yet, as recorded; nothing when none.
    std::optional<std::string> pendingQuestion() const {
        std::lock_guard lock(m_mutex);
        if (m_questions.empty()) return std::nullopt;
        return m_questions.front().call;
    }
    // Answers the oldest open question with `index`; false when none is open.
    bool answer(int index) {
        ChoiceHandler handler;
        {
            std::lock_guard lock(m_mutex);
            if (m_questions.empty()) return false;
            handler = std::move(m_questions.front().answer);
            m_questions.erase(m_questions.begin());
        }
        handler(index);
        return true;
    }

private:
    struct Question {
        std::string call;
        ChoiceHandler answer;
    };

    void record(std::string call) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    void ask(std::string call, ChoiceHandler answer) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        m_questions.push_back({std::move(call), std::move(answer)});
    }

    UIServices* m_previous;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::vector<Question> m_questions;
};

}  // namespace vantrel::test
