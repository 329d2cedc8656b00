#include "app/web/ShareScreen.h"

#include "Share/ShareProviders.h"
#include "Share/WBShareKit.h"
#include "commands/ErrorManager.h"
#include "editing/StateValues.h"

namespace vantrel::web {
namespace {

// The share menu's rows, in the order they are shown.
struct MenuRow {
    int code;
    const char* name;
};
constexpr MenuRow kMenuRows[] = {
    {kShareSina, "Sina Weibo"}, {kShareTwitter, "Twitter"}, {kShareFacebook, "Facebook"}};

bool IsMenuRow(int code) {
    for (const MenuRow& row : kMenuRows) {
        if (row.code == code) return true;
    }
    return false;
}

}  // namespace

ShareScreen::ShareScreen(std::function<Picture()> pendingImage, std::string instance)
    : m_pendingImage(std::move(pendingImage)), m_instance(std::move(instance)) {}

ShareScreen::~ShareScreen() = default;

ShareHandlers& ShareScreen::handlers() {
    if (!m_handlers) {
        ShareHandlers::Screens screens;
        screens.pendingImage = m_pendingImage;
        screens.foldSharePanel = [this] { m_menu = false; };
        screens.shareViewOpened = [this](ShareViewController&) { ++m_pageSerial; };
        m_handlers = std::make_unique<ShareHandlers>(
            WBShareKit::sharedWBShareKit(), std::move(screens), ErrorManager::sharedErrorManager());
    }
    return *m_handlers;
}

ShareViewController* ShareScreen::page() const {
    return m_handlers ? m_handlers->shareView() : nullptr;
}

Value ShareScreen::state() const {
    // The kit (and sharing.json) is read once the menu is first unfolded.
    Array providers;
    for (const MenuRow& row : kMenuRows) {
        const std::string problem =
            m_menu ? WBShareKit::sharedWBShareKit().setupProblem(row.code) : std::string();
        providers.push_back(Dictionary{{"code", NumberValue(row.code)},
                                       {"name", Value(row.name)},
                                       {"problem", Value(problem)}});
    }
    Value shown;
    if (const ShareViewController* open = page()) {
        const std::string thumbnail =
            "/api/image/share/thumbnail?v=" + m_instance + "-" + std::to_string(m_pageSerial);
        shown = Dictionary{{"title", Value(open->title())},
                           {"text", Value(open->text())},
                           {"defaultText", Value(open->defaultStringEnabled())},
                           {"thumbnailUrl", open->thumbnail().empty() ? Value() : Value(thumbnail)},
                           {"sending", Value(open->shareStep() == kShareStepSending)}};
    }
    return Dictionary{{"menu", Value(m_menu)}, {"providers", providers}, {"page", shown}};
}

ActionResult ShareScreen::action(std::string_view action, int code, std::string text) {
    if (action == "menu") {
        m_menu = !m_menu;
        return ActionResult::Ok();
    }
    if (action == "provider") {
        if (!IsMenuRow(code)) return ActionResult::Refused(400, "There is no such network.");
        handlers().share(code);
        return ActionResult::Ok();
    }
    ShareViewController* open = page();
    if (!open) return ActionResult::Refused(409, "The share page is not open.");
    if (action == "text") {
        if (open->defaultStringEnabled()) open->textViewShouldChange();
        if (!open->setText(std::move(text))) {
            return ActionResult::Refused(413, "The text is too long to share.");
        }
        return ActionResult::Ok();
    }
    if (action == "send") {
        open->send();
        return ActionResult::Ok();
    }
    if (action == "close") {
        open->close();
        return ActionResult::Ok();
    }
    return ActionResult::Refused(400, "The share page sends or closes.");
}

Picture ShareScreen::thumbnail(std::string_view version) const {
    const ShareViewController* open = page();
    if (!open || version != m_instance + "-" + std::to_string(m_pageSerial)) return Picture();
    return open->thumbnail();
}

void ShareScreen::leaveEditScreen() {
    m_menu = false;
    if (m_handlers) m_handlers->pushShareView();
}

}  // namespace vantrel::web
