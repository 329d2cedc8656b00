#include "editing/EffectPanelHost.h"

#include <algorithm>

#include "commands/ErrorManager.h"
#include "platform/UIServices.h"

namespace vantrel {

EffectPanelRegistry& EffectPanelRegistry::standard() {
    // Never destroyed: registrations run during static initialisation and
    // panels may be made until the program ends.
    static EffectPanelRegistry& registry = *new EffectPanelRegistry();
    return registry;
}

void EffectPanelRegistry::registerPanel(std::string titleKey, Maker maker) {
    m_makers[std::move(titleKey)] = std::move(maker);
}

bool EffectPanelRegistry::contains(std::string_view titleKey) const {
    return m_makers.find(titleKey) != m_makers.end();
}

std::unique_ptr<EffectPanelHost> EffectPanelRegistry::makePanelHost(
    const EffectPanelRequest& request) {
    auto found = m_makers.find(request.title);
    if (found == m_makers.end()) {
        UIServices& ui = currentUIServices();
        found = std::find_if(m_makers.begin(), m_makers.end(), [&](const auto& entry) {
            return ui.localizedString(entry.first) == request.title;
        });
    }
    if (found == m_makers.end()) {
        ErrorManager::sharedErrorManager().setErrorString("Not find panel!");
        return nullptr;
    }
    return found->second(request);
}

}  // namespace vantrel
