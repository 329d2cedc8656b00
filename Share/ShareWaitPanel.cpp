#include "Share/ShareWaitPanel.h"

#include "platform/Dispatch.h"
#include "platform/UIServices.h"

namespace vantrel {

void ShareWaitPanel::show(std::string_view titleKey) {
    UIServices& ui = currentUIServices();
    ui.showWaitPanelWithTitle(ui.localizedString(titleKey), true);
    m_state->shown = true;
    ++m_state->generation;
}

void ShareWaitPanel::showFor(std::string_view titleKey, std::chrono::milliseconds limit) {
    show(titleKey);
    dispatchAfter(limit, DispatchQueue::Main,
                  [state = std::weak_ptr(m_state), generation = m_state->generation] {
                      const auto alive = state.lock();
                      if (!alive || !alive->shown || alive->generation != generation) return;
                      alive->shown = false;
                      currentUIServices().removeWaitPanel();
                  });
}

void ShareWaitPanel::remove() {
    if (!m_state->shown) return;
    m_state->shown = false;
    currentUIServices().removeWaitPanel();
}

}  // namespace vantrel
