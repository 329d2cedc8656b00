// ErrorManager: the shared error record.
//
// Any layer records the message of a failure meant for the user
// (setErrorString: "Can not allocate memory!", "Not find Action!", ...); the
// screen that got the failure shows it later (showErrorString). Recording
// sets the `error` flag, which is never cleared, so a later show presents the
// most recent message again.
//
// Thread-safe: commands record errors from worker threads while screens read
// them on the main thread.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace vantrel {

class ErrorManager {
public:
    ErrorManager() = default;
    ErrorManager(const ErrorManager&) = delete;
    ErrorManager& operator=(const ErrorManager&) = delete;

    // The one record of the program, created on first use.
    static ErrorManager& sharedErrorManager();

    // Stores the message and sets the flag.
    void setErrorString(std::string_view message);
    bool error() const;
    std::string errorString() const;

    // When the flag is set, an alert (platform/UIServices.h) titled with the
    // stored message, with the message "Error" and the button "OK!".
    void showErrorString() const;

private:
    mutable std::mutex m_mutex;
    bool m_error = false;
    std::string m_errorString;
};

}  // namespace vantrel
