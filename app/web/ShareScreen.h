// ShareScreen: the edit screen's sharing as the web editor shows it. It owns
// the share handlers (made on the first share, so that sharing.json is read
// only when someone shares), keeps whether the share menu is unfolded, and
// describes the open share page for the snapshot. Every rule is the share
// handlers' and the share page's own; this class only forwards the page's
// requests to them.
//
// Threads: the main queue only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Share/ShareHandlers.h"
#include "app/web/EditorShell.h"
#include "commands/Value.h"
#include "platform/Picture.h"

namespace vantrel::web {

class ShareScreen {
public:
    // `pendingImage` is the edit screen's working image; `instance` keeps
    // the thumbnail's URL apart from an earlier run's.
    ShareScreen(std::function<Picture()> pendingImage, std::string instance);
    ~ShareScreen();

    // {"menu", "providers", "page"}: each provider with its name and, while
    // the menu is unfolded, why it is not set up ("" when it is); the page
    // is null while none is open.
    Value state() const;

    // "menu" (unfolds or folds the menu), "provider" (a row of the menu:
    // `code` 1, 3 or 4), "text" (the text box's new text), "send", "close".
    ActionResult action(std::string_view action, int code, std::string text);

    // The open page's thumbnail when `version` is its current one.
    Picture thumbnail(std::string_view version) const;

    // Leaving the edit screen folds the menu and closes the page.
    void leaveEditScreen();

private:
    ShareHandlers& handlers();
    ShareViewController* page() const;

    std::function<Picture()> m_pendingImage;
    std::string m_instance;
    std::unique_ptr<ShareHandlers> m_handlers;
    bool m_menu = false;
    long long m_pageSerial = 0;
};

}  // namespace vantrel::web
