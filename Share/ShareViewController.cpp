#include "Share/ShareViewController.h"

#include <algorithm>
#include <cmath>

#include "Share/ShareWaitPanel.h"
#include "Share/WBShareKit.h"
#include "platform/Dispatch.h"
#include "platform/PictureScaling.h"
#include "platform/UIServices.h"

namespace vantrel {

ShareViewController::ShareViewController(WBShareKit& kit, ShareViewDelegate* delegate,
                                         ShareWaitPanel& panel)
    : m_kit(kit),
      m_delegate(delegate),
      m_panel(panel),
      m_text(currentUIServices().localizedString("STR_SHARETEXT_DEFAULT")),
      m_self(std::make_shared<ShareViewController*>(this)) {}

std::string ShareViewController::titleForCode(int code) {
    switch (code) {
        case kShareSina:
            return "新浪微博";
        case kShareTwitter:
            return "Twitpic";
        case kShareFacebook:
            return "Facebook";
        default:
            return "";
    }
}

std::string ShareViewController::title() const {
    return titleForCode(m_kit.shareCode());
}

void ShareViewController::textViewShouldChange() {
    if (!m_defaultStringEnabled) return;
    m_text.clear();
    m_defaultStringEnabled = false;
}

bool ShareViewController::setText(std::string text) {
    if (text.size() > kMaxShareTextBytes) return false;
    textViewShouldChange();
    m_text = std::move(text);
    return true;
}

std::string ShareViewController::textToSend() const {
    return m_defaultStringEnabled ? std::string() : m_text;
}

bool ShareViewController::setSendImage(const Picture& image) {
    if (image.empty()) return false;
    const double scale = std::max(static_cast<double>(kThumbnailMinPixels) / image.width(),
                                  static_cast<double>(kThumbnailMinPixels) / image.height());
    // Rounded up, so that the shorter side never falls below the minimum.
    const int width = static_cast<int>(std::ceil(image.width() * scale - 1e-9));
    const int height = static_cast<int>(std::ceil(image.height() * scale - 1e-9));
    Picture thumbnail = ScalePicture(image, width, height);
    if (thumbnail.empty()) return false;
    m_sendImage = image;
    m_thumbnail = std::move(thumbnail);
    return true;
}

void ShareViewController::send() {
    if (m_shareStep == kShareStepSending) return;  // one post at a time
    if (m_kit.isNeedLogin()) {
        m_kit.login(m_kit.shareCode());
        return;
    }
    m_shareStep = kShareStepSending;
    m_panel.show("STR_SENDING");
    dispatchAsync(DispatchQueue::Background, [self = std::weak_ptr(m_self)] {
        dispatchAsync(DispatchQueue::Main, [self] {
            if (const auto screen = self.lock()) (*screen)->post();
        });
    });
}

void ShareViewController::post() {
    switch (m_kit.shareCode()) {
        case kShareSina:
            return m_kit.sendSinaPhotoWithStatus(textToSend(), 0, 0, m_sendImage);
        case kShareTwitter:
            return m_kit.sendPhotoToTwitterWithStatus(textToSend(), 0, 0, m_sendImage);
        case kShareFacebook:
            return m_kit.sendPhotoToFacebookWithStatus(textToSend(), 0, 0, m_sendImage);
        default:
            return sendFinished(false);
    }
}

void ShareViewController::sendFinished(bool success) {
    m_shareStep = 0;
    m_panel.remove();
    UIServices& ui = currentUIServices();
    ui.showAlert("", ui.localizedString(success ? "STR_SHARED_SUCCESS" : "STR_SHARED_FAILED"),
                 "OK!");
}

void ShareViewController::close() {
    if (m_delegate) m_delegate->shareViewClose();
}

}  // namespace vantrel
