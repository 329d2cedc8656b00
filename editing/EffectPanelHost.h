// The contract between the edit session and an open effect panel.
//
// The edit session (EditViewController) opens a panel for a menu title
// through an EffectPanelFactory and holds the EffectPanelHost it gets until
// the panel is done or left. When the user applies the panel, the session
// asks the host, on a high-priority background queue while the wait panel
// covers the screen, for the command list of its result (effectsTaskList,
// which begins with the selection command of the region in effect) and, when
// allowUseReviewAsResult is set and the host's last preview (reviewImage) has
// exactly the working image's size, takes that preview as the result instead
// of running the list. appliedEffect false makes Done behave like Back.
//
// The host calls back into the session (EffectProcessViewControllerDelegate
// below) for Done and Back; the shells call the same operations on the
// session.
//
// A host owns its preview pictures and its current parameters, never the
// working image or the history.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "commands/Value.h"
#include "platform/Picture.h"

namespace vantrel {

class EffectsProcesser;

class EffectPanelHost {
public:
    virtual ~EffectPanelHost() = default;

    // The command list of the panel's result. Called off the main queue
    // while the panel is covered; it must not touch the screen.
    virtual Array effectsTaskList() = 0;
    // The preview may stand for the result when it has the working image's size.
    virtual bool allowUseReviewAsResult() const = 0;
    // The latest preview result; empty when there is none yet.
    virtual Picture reviewImage() const = 0;
    // False: Done applies nothing and closes the panel, as Back does.
    virtual bool appliedEffect() const = 0;
};

// The operations a panel host calls on the session.
class EffectProcessViewControllerDelegate {
public:
    virtual ~EffectProcessViewControllerDelegate() = default;
    virtual void effectProcessDone() = 0;
    virtual void effectProcessBack() = 0;
};

// What the session hands to a panel it opens (processImage:effectMark:reallyScale:).
struct EffectPanelRequest {
    Picture workingImage;    // the working image (fullImage)
    std::string title;       // the tapped menu item's title
    double scaleMark = 1.0;  // working image size / original photo size (reallyScale)
    EffectsProcesser* processor = nullptr;  // runs the previews; holds selectedRect
    EffectProcessViewControllerDelegate* delegate = nullptr;  // receives Done and Back
};

// Makes the host of the panel for a menu title.
class EffectPanelFactory {
public:
    virtual ~EffectPanelFactory() = default;
    // The host, or null when the title names no panel or the panel can't be
    // set up (its failure recorded in ErrorManager).
    virtual std::unique_ptr<EffectPanelHost> makePanelHost(const EffectPanelRequest& request) = 0;
};

// A factory filled from a table: menu title key ("STR_MENU_CURVE") -> maker.
// A request's title matches a key itself or the key's localised text; a
// title that matches none records "Not find panel!".
class EffectPanelRegistry final : public EffectPanelFactory {
public:
    using Maker = std::function<std::unique_ptr<EffectPanelHost>(const EffectPanelRequest&)>;

    // The program's panels: filled by EffectPanelRegistration objects in the
    // panels' own files, and the shared root's factory.
    static EffectPanelRegistry& standard();

    void registerPanel(std::string titleKey, Maker maker);
    bool contains(std::string_view titleKey) const;
    std::unique_ptr<EffectPanelHost> makePanelHost(const EffectPanelRequest& request) override;

private:
    std::map<std::string, Maker, std::less<>> m_makers;
};

// Registers a panel with the standard registry when the program starts:
//   static const EffectPanelRegistration curve("STR_MENU_CURVE", MakeCurvePanel);
// The editing library is linked whole, so a panel's file needs no other
// mention anywhere.
struct EffectPanelRegistration {
    EffectPanelRegistration(std::string titleKey, EffectPanelRegistry::Maker maker) {
        EffectPanelRegistry::standard().registerPanel(std::move(titleKey), std::move(maker));
    }
};

}  // namespace vantrel
