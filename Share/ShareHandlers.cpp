#include "Share/ShareHandlers.h"

#include "Core/global/TiLog.h"
#include "commands/ErrorManager.h"
#include "platform/UIServices.h"

namespace vantrel {

ShareHandlers::ShareHandlers(WBShareKit& kit, Screens screens, ErrorManager& errors)
    : m_kit(kit), m_screens(std::move(screens)), m_errors(errors) {}

ShareHandlers::~ShareHandlers() {
    if (m_kit.delegate() == this) m_kit.setDelegate(nullptr);
}

void ShareHandlers::share(int code) {
    UIServices& ui = currentUIServices();
    if (const std::string problem = m_kit.setupProblem(code); !problem.empty()) {
        ui.showAlert(ui.localizedString("STR_SHARE_NOT_SET_UP"), problem, "OK!");
        return;
    }
    if (code == kShareSina || code == kShareTwitter) {
        m_panel.showFor("STR_CONNECTING", m_connectingLimit);
    }
    if (m_screens.foldSharePanel) m_screens.foldSharePanel();
    pushShareView();
    m_kit.setDelegate(this);
    m_kit.login(code);
}

void ShareHandlers::pushShareView() {
    if (!m_shareView) return;
    m_shareView.reset();
    if (m_screens.shareViewClosed) m_screens.shareViewClosed();
}

void ShareHandlers::popShareView() {
    m_shareView = std::make_unique<ShareViewController>(m_kit, this, m_panel);
    if (m_screens.shareViewOpened) m_screens.shareViewOpened(*m_shareView);
    const Picture pending = m_screens.pendingImage ? m_screens.pendingImage() : Picture();
    if (!m_shareView->setSendImage(pending)) {
        pushShareView();
        m_errors.setErrorString("Can not allocate memory!");
        m_errors.showErrorString();
    }
}

void ShareHandlers::loginSuccess(WBShareKit&) {
    m_panel.remove();
    if (!m_shareView) popShareView();
}

void ShareHandlers::loginFailure(WBShareKit& kit) {
    m_panel.remove();
    UIServices& ui = currentUIServices();
    ui.showAlert("Error", ui.localizedString("STR_CONNECTING_FAILED"), "OK!");
    TiLog("登陆失败 %d", kit.shareCode());
}

void ShareHandlers::sendSuccess(WBShareKit& kit) {
    TiLog("发送成功 %d", kit.shareCode());
    if (m_shareView)
        m_shareView->sendFinished(true);
    else
        m_panel.remove();
}

void ShareHandlers::sendFailure(WBShareKit& kit) {
    TiLog("发送失败 %d", kit.shareCode());
    if (m_shareView)
        m_shareView->sendFinished(false);
    else
        m_panel.remove();
    kit.clearAllToken();
}

}  // namespace vantrel
