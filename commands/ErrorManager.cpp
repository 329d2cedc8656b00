#include "commands/ErrorManager.h"

#include "platform/UIServices.h"

namespace vantrel {

ErrorManager& ErrorManager::sharedErrorManager() {
    static ErrorManager instance;
    return instance;
}

void ErrorManager::setErrorString(std::string_view message) {
    std::lock_guard lock(m_mutex);
    m_errorString = message;
    m_error = true;
}

bool ErrorManager::error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::string ErrorManager::errorString() const {
    std::lock_guard lock(m_mutex);
    return m_errorString;
}

void ErrorManager::showErrorString() const {
    std::string title;
    {
        std::lock_guard lock(m_mutex);
        if (!m_error) return;
        title = m_errorString;
    }
    // Outside the lock: the alert may record errors of its own.
    currentUIServices().showAlert(title, "Error", "OK!");
}

}  // namespace vantrel
