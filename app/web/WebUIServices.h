// The editor's user interface as the web server shows it. Alerts and sheets
// become questions that wait, with their buttons, until a page answers one;
// the wait panel and the activity indicator are state; the title tip, the
// completion message and links to open are passing notices. Everything is
// part of the state every page renders (EditorShell::snapshot), so a page
// opened or reloaded later shows the same question.
//
// Threads: the program may call from any thread; pages answer from the HTTP
// threads. `changed` runs after every change, outside the lock.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "commands/Value.h"
#include "platform/UIServices.h"

namespace vantrel::web {

class WebUIServices final : public UIServices {
public:
    // Questions beyond this many waiting are answered with their cancel
    // button at once (a page that never answers can't make them pile up).
    static constexpr std::size_t kMaxWaitingQuestions = 16;

    using Changed = std::function<void()>;
    using Notice = std::function<void(const Dictionary& notice)>;

    WebUIServices(Changed changed, Notice notice);

    void showAlert(std::string_view title, std::string_view message,
                   std::string_view button) override;
    void showAlertWithButtons(const AlertRequest& request, ChoiceHandler answer) override;
    void showActionSheet(const ActionSheetRequest& request, ChoiceHandler answer) override;
    void showWaitPanelWithTitle(std::string_view title, bool maskEnable) override;
    void showActivityIndicator() override;
    void removeWaitPanel() override;
    void displayCompleted(std::string_view message) override;
    void showTitleTip(std::string_view title) override;
    void openURL(std::string_view url) override;
    std::string localizedString(std::string_view key) override;

    // A page's answer: false when no question has `id` or it has no button
    // `index`.
    bool answer(int id, int index);

    // The questions waiting, oldest first, and the wait panel (null: none).
    Array questions() const;
    Value waitPanel() const;

private:
    struct Question {
        int id = 0;
        std::string kind;  // "alert" or "sheet"
        std::string title;
        std::string message;
        std::vector<std::string> buttons;
        int cancelIndex = -1;
        int destructiveIndex = -1;
        ChoiceHandler handler;  // empty for a one-button alert
    };
    struct WaitPanel {
        std::string kind;  // "panel" or "activity"
        std::string title;
        bool mask = true;
    };

    void ask(Question question);

    Changed m_changed;
    Notice m_notice;
    mutable std::mutex m_mutex;
    std::vector<Question> m_questions;
    std::optional<WaitPanel> m_wait;
    int m_nextId = 1;
};

}  // namespace vantrel::web
