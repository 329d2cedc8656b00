#include "platform/UIServices.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "platform/Dispatch.h"

namespace vantrel {
namespace {

void Print(std::string_view kind, std::string_view text) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kind.size()), kind.data(),
                 static_cast<int>(text.size()), text.data());
}

// Alerts and sheets go to the standard error stream (never answered),
// everything else is a no-op.
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

void UIServices::showAlertWithButtons(const AlertRequest& request, ChoiceHandler) {
    Print("alert", request.title + " / " + request.message);
}

void UIServices::showActionSheet(const ActionSheetRequest& request, ChoiceHandler) {
    Print("sheet", request.title);
}

void UIServices::displayCompleted(std::string_view) {}
void UIServices::showTitleTip(std::string_view) {}
void UIServices::openURL(std::string_view) {}

UIServices& currentUIServices() {
    UIServices* services = g_current.load(std::memory_order_acquire);
    return services ? *services : g_default;
}

void setCurrentUIServices(UIServices* services) {
    g_current.store(services, std::memory_order_release);
}

ChoiceHandler answerOnMainQueue(ChoiceHandler handler) {
    auto shared = std::make_shared<ChoiceHandler>(std::move(handler));
    return [shared](int index) {
        dispatchAsync(DispatchQueue::Main, [shared, index] { (*shared)(index); });
    };
}

}  // namespace vantrel
