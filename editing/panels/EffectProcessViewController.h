// EffectProcessViewController: the host of one open effect panel, between
// the edit session and the panel. It makes the panel of a menu title over
// the working image, shows what the panel asks it to show, and answers the
// session's questions when the panel is applied (the result's command list,
// whether the preview may stand for the result).
//
// Done hands the session effectProcessDone when the panel applies an
// effect, else effectProcessBack; Back always hands effectProcessBack.
// Tapping the title resets the panel. Destroying the host releases the
// panel, so that nothing reaches it afterwards.
//
// Threads: the main queue, except effectsTaskList, allowUseReviewAsResult,
// reviewImage and appliedEffect, which the session asks on a background
// queue while the panel is covered.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "commands/Value.h"
#include "editing/EffectPanelHost.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class EffectsProcesser;
class ImageCacheManager;
class Settings;

class EffectProcessViewController final : public EffectPanelHost, public EffectsToolViewDelegate {
public:
    EffectProcessViewController(EffectProcessViewControllerDelegate* delegate,
                                EffectsProcesser& processor, const Settings& settings,
                                ImageCacheManager& imageCache);
    ~EffectProcessViewController() override;
    EffectProcessViewController(const EffectProcessViewController&) = delete;
    EffectProcessViewController& operator=(const EffectProcessViewController&) = delete;

    // processImage:effectMark:reallyScale: the working image, the menu title
    // (its key or its text) and the edit screen's scaleMark. False when the
    // title names no panel ("Not find panel!" recorded) or the panel can't
    // be set up (its error recorded).
    bool processImage(const Picture& image, std::string_view effectMark, double reallyScale);
    bool setEffectModeByMark(std::string_view title);

    // The open panel; null before processImage succeeds.
    EffectsToolView* panel() const { return m_panel.get(); }
    void actionDone();
    void actionBack();
    void titleTapped();

    Array effectsTaskList() override;
    bool allowUseReviewAsResult() const override;
    Picture reviewImage() const override;
    bool appliedEffect() const override;

    void etvChangeImage(const Picture& picture) override;
    Picture etvShowingImage() const override { return m_showing; }
    void etvSetTitle(std::string_view title) override { m_title = std::string(title); }

    // The picture shown and a number that grows whenever it changes.
    const Picture& showingImage() const { return m_showing; }
    int imageVersion() const { return m_imageVersion; }
    const std::string& title() const { return m_title; }

    // The panel's state with the host's: the title shown, which picture is
    // shown ("original", "review" or "none") and its version, the buttons.
    Dictionary state() const;

private:
    EffectProcessViewControllerDelegate* m_delegate;
    EffectsProcesser& m_processor;
    const Settings& m_settings;
    ImageCacheManager& m_imageCache;
    Picture m_fullImage;
    double m_reallyScale = 1.0;
    std::shared_ptr<EffectsToolView> m_panel;
    Picture m_showing;
    int m_imageVersion = 0;
    std::string m_title;
};

// Registers every panel of the table under its title key; the hosts read
// `settings` and keep look previews in `imageCache`. The standard registry
// (EffectPanelRegistry::standard()) holds them all from the start, over the
// shared settings and picture cache.
void RegisterEffectPanels(EffectPanelRegistry& registry, const Settings& settings,
                          ImageCacheManager& imageCache);

}  // namespace vantrel
