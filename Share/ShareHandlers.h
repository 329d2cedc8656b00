// ShareHandlers: the edit screen's part of sharing, as a class that the edit
// session (or the web shell) owns and calls. It is the share kit's delegate
// and the share screen's.
//
// share(code), a row of the share menu (1 Sina Weibo, 3 Twitter, 4
// Facebook): a provider that is not set up gets an alert
// "STR_SHARE_NOT_SET_UP" with the reason, and nothing else happens;
// otherwise Sina and Twitter show the wait panel "STR_CONNECTING" for at
// most 15 seconds, the share menu folds away, any open share screen closes,
// and the kit logs in.
//
// loginSuccess: the wait panel goes and, when no share screen is open, one
// opens with the edit screen's pending image; when that image can't be
// taken the screen closes again and "Can not allocate memory!" is recorded
// and shown. loginFailure: the wait panel goes, the alert "Error" /
// "STR_CONNECTING_FAILED" / "OK!", the log line "登陆失败 %d".
// sendSuccess / sendFailure: the share screen shows the result ("发送成功 %d"
// / "发送失败 %d" in the log); a failure forgets every stored token, so the
// next share logs in again.
//
// Threads: main queue only. The handlers stop being the kit's delegate when
// they go.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "Share/ShareViewController.h"
#include "Share/ShareWaitPanel.h"
#include "Share/WBShareKit.h"
#include "platform/Picture.h"

namespace vantrel {

class ErrorManager;

inline constexpr std::chrono::milliseconds kConnectingPanelLimit{15'000};

class ShareHandlers final : public WBShareKitDelegate, public ShareViewDelegate {
public:
    // What the edit screen's shell does beyond this class; any may be empty.
    struct Screens {
        std::function<Picture()> pendingImage;                      // the working image
        std::function<void()> foldSharePanel;                       // pushSharePanelView
        std::function<void(ShareViewController&)> shareViewOpened;  // push the screen
        std::function<void()> shareViewClosed;                      // back to the edit screen
    };

    ShareHandlers(WBShareKit& kit, Screens screens, ErrorManager& errors);
    ~ShareHandlers() override;
    ShareHandlers(const ShareHandlers&) = delete;
    ShareHandlers& operator=(const ShareHandlers&) = delete;

    void share(int code);

    // The open share screen, or null.
    ShareViewController* shareView() const { return m_shareView.get(); }
    // Closes the share screen and returns to the edit screen.
    void pushShareView();
    // Opens the share screen with the pending image.
    void popShareView();

    void loginSuccess(WBShareKit& kit) override;
    void loginFailure(WBShareKit& kit) override;
    void sendSuccess(WBShareKit& kit) override;
    void sendFailure(WBShareKit& kit) override;
    void shareViewClose() override { pushShareView(); }

    // The wait panel's limit (15 seconds; tests shorten it).
    void setConnectingPanelLimit(std::chrono::milliseconds limit) { m_connectingLimit = limit; }

private:
    WBShareKit& m_kit;
    Screens m_screens;
    ErrorManager& m_errors;
    ShareWaitPanel m_panel;
    std::unique_ptr<ShareViewController> m_shareView;
    std::chrono::milliseconds m_connectingLimit = kConnectingPanelLimit;
};

}  // namespace vantrel
