// ShareViewController: the share screen's logic, without drawing. It holds
// the photo to send (`send_image`) and its thumbnail, the text of the text
// view with its default text, and `share_step`; a shell draws it and
// forwards the user's actions.
//
// Title: "新浪微博" (Sina Weibo), "Twitpic" (Twitter), "Facebook".
// Text: the localised "STR_SHARETEXT_DEFAULT" is shown until the first
// change, which clears it (`defaultStringEnabled`); a post sends the empty
// text while the default still shows. A text over kMaxShareTextBytes is
// refused.
// Thumbnail: the photo scaled proportionally so that both sides are at
// least 160 pixels (80 x 80 points on a two-pixels-a-point screen).
// Send: logs in again when the kit needs it; otherwise `share_step` 2, the
// wait panel "STR_SENDING", and the post for the kit's provider, started
// from the Background queue and continued on the main queue. The result
// comes back through the edit screen's handlers (sendFinished): the wait
// panel goes, an alert "STR_SHARED_SUCCESS" or "STR_SHARED_FAILED" with
// "OK!" is shown, and `share_step` returns to 0.
//
// Threads: main queue only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Picture.h"

namespace vantrel {

class ShareWaitPanel;
class WBShareKit;

inline constexpr int kThumbnailMinPixels = 160;
inline constexpr std::size_t kMaxShareTextBytes = 8 * 1024;
inline constexpr int kShareStepSending = 2;

class ShareViewDelegate {
public:
    virtual ~ShareViewDelegate() = default;
    virtual void shareViewClose() = 0;
};

class ShareViewController {
public:
    ShareViewController(WBShareKit& kit, ShareViewDelegate* delegate, ShareWaitPanel& panel);
    ShareViewController(const ShareViewController&) = delete;
    ShareViewController& operator=(const ShareViewController&) = delete;

    // The screen's title for a provider code; empty for codes without a screen.
    static std::string titleForCode(int code);
    std::string title() const;

    // The text view: its text (the localised default while it shows).
    const std::string& text() const { return m_text; }
    bool defaultStringEnabled() const { return m_defaultStringEnabled; }
    // Before the first change: clears the default text.
    void textViewShouldChange();
    // The text after a change; false (and nothing kept) when it is too long.
    bool setText(std::string text);
    // What a post sends: the text, or "" while the default shows.
    std::string textToSend() const;

    // Keeps the photo and makes its thumbnail; false for an empty photo or
    // when memory is short.
    bool setSendImage(const Picture& image);
    const Picture& sendImage() const { return m_sendImage; }
    const Picture& thumbnail() const { return m_thumbnail; }

    int shareStep() const { return m_shareStep; }
    void send();
    // The post's result, from the edit screen's handlers.
    void sendFinished(bool success);
    // The close button.
    void close();

private:
    void post();

    WBShareKit& m_kit;
    ShareViewDelegate* m_delegate;
    ShareWaitPanel& m_panel;
    std::string m_text;
    bool m_defaultStringEnabled = true;
    Picture m_sendImage;
    Picture m_thumbnail;
    int m_shareStep = 0;
    std::shared_ptr<ShareViewController*> m_self;  // the post's hop holds it weakly
};

}  // namespace vantrel
