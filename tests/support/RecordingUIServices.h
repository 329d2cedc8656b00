// A UIServices that records every call, for tests of code that shows alerts,
// sheets, wait panels or localised texts. Installed for its lifetime; the
// previous implementation comes back when it goes. Questions (alerts with
// buttons, sheets) wait until the test answers them.
#pragma once

#include <algorithm>
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

    void showAlert(std::string_view title, std::string_view message,
                   std::string_view button) override {
        record(Call("alert", {title, message, button}));
    }
    // "alert(title | message | cancel | other...)".
    void showAlertWithButtons(const AlertRequest& request, ChoiceHandler answer) override {
        std::vector<std::string_view> parts{request.title, request.message, request.cancelButton};
        parts.insert(parts.end(), request.otherButtons.begin(), request.otherButtons.end());
        ask(Call("alert", parts), std::move(answer));
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
        record(Call("waitPanel", {title, maskEnable ? "mask" : "no mask"}));
    }
    void showActivityIndicator() override { record("activityIndicator"); }
    void removeWaitPanel() override { record("removeWaitPanel"); }
    void displayCompleted(std::string_view message) override {
        record(Call("displayCompleted", {message}));
    }
    void showTitleTip(std::string_view title) override { record(Call("titleTip", {title})); }
    void openURL(std::string_view url) override { record(Call("openURL", {url})); }
    // "[KEY]", so that tests see which key was asked for.
    std::string localizedString(std::string_view key) override {
        record(Call("localized", {key}));
        return std::string("[").append(key).append("]");
    }

    // Every call so far, in order, e.g. "alert(title | Error | OK!)".
    std::vector<std::string> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    // The calls other than localised-text look-ups.
    std::vector<std::string> shown() const {
        std::vector<std::string> shown = calls();
        std::erase_if(shown,
                      [](const std::string& call) { return call.starts_with("localized("); });
        return shown;
    }
    // Whether `call` is among them.
    bool shows(const std::string& call) const { return std::ranges::count(calls(), call) > 0; }
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

    // "name(part | part...)"; built by appending, as GCC 12 warns falsely on
    // "literal" + string.
    static std::string Call(std::string_view name, const std::vector<std::string_view>& parts) {
        std::string call = std::string(name).append("(");
        for (std::size_t i = 0; i < parts.size(); ++i) call.append(i ? " | " : "").append(parts[i]);
        return call.append(")");
    }
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
