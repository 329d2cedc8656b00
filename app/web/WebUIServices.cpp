#include "app/web/WebUIServices.h"

#include "editing/LocalizedStrings.h"
#include "editing/StateValues.h"

namespace vantrel::web {

WebUIServices::WebUIServices(Changed changed, Notice notice)
    : m_changed(std::move(changed)), m_notice(std::move(notice)) {}

void WebUIServices::ask(Question question) {
    ChoiceHandler refused;
    int refusedIndex = -1;
    {
        std::lock_guard lock(m_mutex);
        if (m_questions.size() >= kMaxWaitingQuestions) {
            refused = std::move(question.handler);
            refusedIndex = question.cancelIndex;
        } else {
            question.id = m_nextId++;
            m_questions.push_back(std::move(question));
        }
    }
    if (refused && refusedIndex >= 0) refused(refusedIndex);
    m_changed();
}

void WebUIServices::showAlert(std::string_view title, std::string_view message,
                              std::string_view button) {
    Question question;
    question.kind = "alert";
    question.title = title;
    question.message = message;
    question.buttons = {std::string(button)};
    question.cancelIndex = 0;
    ask(std::move(question));
}

void WebUIServices::showAlertWithButtons(const AlertRequest& request, ChoiceHandler answer) {
    Question question;
    question.kind = "alert";
    question.title = request.title;
    question.message = request.message;
    question.buttons.push_back(request.cancelButton);
    question.buttons.insert(question.buttons.end(), request.otherButtons.begin(),
                            request.otherButtons.end());
    question.cancelIndex = 0;
    question.handler = std::move(answer);
    ask(std::move(question));
}

void WebUIServices::showActionSheet(const ActionSheetRequest& request, ChoiceHandler answer) {
    Question question;
    question.kind = "sheet";
    question.title = request.title;
    question.buttons = request.buttons;
    question.cancelIndex = request.cancelButtonIndex;
    question.destructiveIndex = request.destructiveButtonIndex;
    question.handler = std::move(answer);
    ask(std::move(question));
}

void WebUIServices::showWaitPanelWithTitle(std::string_view title, bool maskEnable) {
    {
        std::lock_guard lock(m_mutex);
        m_wait = WaitPanel{"panel", std::string(title), maskEnable};
    }
    m_changed();
}

void WebUIServices::showActivityIndicator() {
    {
        std::lock_guard lock(m_mutex);
        m_wait = WaitPanel{"activity", "", false};
    }
    m_changed();
}

void WebUIServices::removeWaitPanel() {
    {
        std::lock_guard lock(m_mutex);
        m_wait.reset();
    }
    m_changed();
}

void WebUIServices::displayCompleted(std::string_view message) {
    m_notice(Dictionary{{"kind", Value("completed")}, {"text", Value(std::string(message))}});
}

void WebUIServices::showTitleTip(std::string_view title) {
    m_notice(Dictionary{{"kind", Value("tip")}, {"text", Value(std::string(title))}});
}

void WebUIServices::openURL(std::string_view url) {
    // Only web links are handed to a page; anything else could run script there.
    if (!url.starts_with("https://") && !url.starts_with("http://")) return;
    m_notice(Dictionary{{"kind", Value("openURL")}, {"url", Value(std::string(url))}});
}

std::string WebUIServices::localizedString(std::string_view key) {
    return LocalizedStrings::english().text(key);
}

bool WebUIServices::answer(int id, int index) {
    ChoiceHandler handler;
    {
        std::lock_guard lock(m_mutex);
        auto found = std::find_if(m_questions.begin(), m_questions.end(),
                                  [id](const Question& q) { return q.id == id; });
        if (found == m_questions.end()) return false;
        if (index < 0 || index >= static_cast<int>(found->buttons.size())) return false;
        handler = std::move(found->handler);
        m_questions.erase(found);
    }
    if (handler) handler(index);
    m_changed();
    return true;
}

Array WebUIServices::questions() const {
    std::lock_guard lock(m_mutex);
    Array list;
    for (const Question& question : m_questions) {
        Array buttons;
        for (const std::string& button : question.buttons) buttons.push_back(Value(button));
        list.push_back(Dictionary{{"id", NumberValue(question.id)},
                                  {"kind", Value(question.kind)},
                                  {"title", Value(question.title)},
                                  {"message", Value(question.message)},
                                  {"buttons", buttons},
                                  {"cancelIndex", NumberValue(question.cancelIndex)},
                                  {"destructiveIndex", NumberValue(question.destructiveIndex)}});
    }
    return list;
}

Value WebUIServices::waitPanel() const {
    std::lock_guard lock(m_mutex);
    if (!m_wait) return Value();
    return Dictionary{{"kind", Value(m_wait->kind)},
                      {"title", Value(m_wait->title)},
                      {"mask", Value(m_wait->mask)}};
}

}  // namespace vantrel::web
