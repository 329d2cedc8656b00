#include "editing/panels/EffectProcessViewController.h"

#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "editing/ImageCacheManager.h"
#include "editing/Settings.h"
#include "editing/StateValues.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

constexpr char kNoPanelError[] = "Not find panel!";

// The panel of a menu title: its key, or the key's localised text.
const PanelSpec* PanelForTitle(std::string_view title) {
    if (const PanelSpec* panelSpec = FindPanel(title)) return panelSpec;
    for (const PanelSpec& panelSpec : PanelTable()) {
        if (currentUIServices().localizedString(panelSpec.titleKey) == title) return &panelSpec;
    }
    return nullptr;
}

}  // namespace

EffectProcessViewController::EffectProcessViewController(
    EffectProcessViewControllerDelegate* delegate, EffectsProcesser& processor,
    const Settings& settings, ImageCacheManager& imageCache)
    : m_delegate(delegate),
      m_processor(processor),
      m_settings(settings),
      m_imageCache(imageCache) {}

EffectProcessViewController::~EffectProcessViewController() {
    if (m_panel) m_panel->release();
}

bool EffectProcessViewController::processImage(const Picture& image, std::string_view effectMark,
                                               double reallyScale) {
    m_fullImage = image;
    m_reallyScale = reallyScale;
    return setEffectModeByMark(effectMark);
}

bool EffectProcessViewController::setEffectModeByMark(std::string_view title) {
    // The panel open until now lets go of the processor before the next one takes it.
    if (m_panel) m_panel->release();
    m_panel.reset();
    const PanelSpec* panelSpec = PanelForTitle(title);
    if (!panelSpec) {
        ErrorManager::sharedErrorManager().setErrorString(kNoPanelError);
        return false;
    }
    PanelContext context{this,
                         &m_processor,
                         m_fullImage,
                         m_reallyScale,
                         m_settings.highQualityPreview(),
                         m_settings.photoMaxSize(),
                         &m_imageCache};
    std::shared_ptr<EffectsToolView> panel = panelSpec->make(*panelSpec, context);
    m_title = std::string(panelSpec->titleKey);
    if (!panel->initFinish()) {
        panel->release();
        return false;
    }
    m_panel = std::move(panel);
    m_panel->reset();
    return true;
}

void EffectProcessViewController::actionDone() {
    if (!m_panel || !m_delegate) return;
    if (m_panel->appliedEffect()) {
        m_delegate->effectProcessDone();
    } else {
        m_delegate->effectProcessBack();
    }
}

void EffectProcessViewController::actionBack() {
    if (m_panel && m_delegate) m_delegate->effectProcessBack();
}

void EffectProcessViewController::titleTapped() {
    if (m_panel) m_panel->reset();
}

Array EffectProcessViewController::effectsTaskList() {
    return m_panel ? m_panel->effectsTaskList() : Array();
}

bool EffectProcessViewController::allowUseReviewAsResult() const {
    return m_panel && m_panel->allowUseReviewAsResult();
}

Picture EffectProcessViewController::reviewImage() const {
    return m_panel ? m_panel->reviewImage() : Picture();
}

bool EffectProcessViewController::appliedEffect() const {
    return m_panel && m_panel->appliedEffect();
}

void EffectProcessViewController::etvChangeImage(const Picture& picture) {
    m_showing = picture;
    ++m_imageVersion;
}

Dictionary EffectProcessViewController::state() const {
    Dictionary state = m_panel ? m_panel->state() : Dictionary();
    std::string_view showing = "none";
    if (m_panel && !m_showing.empty()) {
        if (m_showing.data() == m_panel->originalImage().data()) showing = "original";
        if (m_showing.data() == m_panel->reviewImage().data()) showing = "review";
    }
    state.set("displayTitle", Value(m_title));
    state.set("showing", Value(showing));
    state.set("imageVersion", NumberValue(m_imageVersion));
    state.set("buttons", Array{Value("STR_BUTTON_DONE"), Value("STR_BUTTON_BACK")});
    return state;
}

namespace {

std::unique_ptr<EffectPanelHost> MakeHost(const EffectPanelRequest& request,
                                          const Settings& settings, ImageCacheManager& imageCache) {
    EffectsProcesser& processor =
        request.processor ? *request.processor : EffectsProcesser::sharedEffectsProcesser();
    auto host = std::make_unique<EffectProcessViewController>(request.delegate, processor, settings,
                                                              imageCache);
    if (!host->processImage(request.workingImage, request.title, request.scaleMark)) {
        return nullptr;
    }
    return host;
}

// The program's panels in the standard registry, over the shared settings
// and picture cache (taken when a panel is made, never at start).
const bool kStandardPanels = [] {
    for (const PanelSpec& panelSpec : PanelTable()) {
        EffectPanelRegistry::standard().registerPanel(
            std::string(panelSpec.titleKey), [](const EffectPanelRequest& request) {
                return MakeHost(request, Settings::sharedSettings(),
                                ImageCacheManager::sharedManager());
            });
    }
    return true;
}();

}  // namespace

void RegisterEffectPanels(EffectPanelRegistry& registry, const Settings& settings,
                          ImageCacheManager& imageCache) {
    for (const PanelSpec& panelSpec : PanelTable()) {
        registry.registerPanel(std::string(panelSpec.titleKey),
                               [&settings, &imageCache](const EffectPanelRequest& request) {
                                   return MakeHost(request, settings, imageCache);
                               });
    }
}

}  // namespace vantrel
