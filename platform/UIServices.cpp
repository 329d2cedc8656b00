#include "platform/UIServices.h"

#include <atomic>
#include <cstdio>

namespace vantrel {
namespace {

// Alerts go to the standard error stream, everything else is a no-op.
class StandardErrorUIServices final : public UIServices {
public:
    void showAlert(std::string_view title, std::string_view message,
                   std::string_view button) override {
        std::fprintf(stderr, "%.*s: %.*s [%.*s]\n", static_cast<int>(message.size()),
                     message.data(), static_cast<int>(title.size()), title.data(),
                     static_cast<int>(button.size()), button.data());
    }
    void showWaitPanelWithTitle(std::string_view, bool) override {}
    void showActivityIndicator() override {}
    void removeWaitPanel() override {}
    std::string localizedString(std::string_view key) override { return std::string(key); }
};

StandardErrorUIServices g_default;
std::atomic<UIServices*> g_current{nullptr};

}  // namespace

UIServices& currentUIServices() {
    UIServices* services = g_current.load(std::memory_order_acquire);
    return services ? *services : g_default;
}

void setCurrentUIServices(UIServices* services) {
    g_current.store(services, std::memory_order_release);
}

}  // namespace vantrel
