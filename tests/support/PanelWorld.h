// One open effect panel for a test: its own processor, settings, picture
// cache (in a scratch folder) and recording UIServices, and the panel host
// over a working image. The test is the main queue: Settle() runs it until
// the panel's previews have come back.
#pragma once

#include <memory>
#include <string>

#include "commands/EffectsProcesser.h"
#include "editing/ImageCacheManager.h"
#include "editing/Settings.h"
#include "editing/panels/EffectProcessViewController.h"
#include "support/EditingWorld.h"

namespace vantrel::test {

class PanelWorld {
public:
    ~PanelWorld();

    // Opens the panel of `title` over `working`; false when it fails.
    bool Open(const std::string& title, const Picture& working, double scaleMark = 1.0);
    // The same for a panel that must open over a 640 x 480 picture: the open
    // panel; fails the test when it does not open.
    EffectsToolView& Opened(const std::string& title);
    // Runs the main queue until no preview is in flight.
    void Settle();
    void Close() { host.reset(); }

    EffectProcessViewController& Host() { return *host; }
    EffectsToolView& Panel() { return *host->panel(); }
    // The panel as its class; fails the test when it is another.
    template <typename T>
    T& As() {
        T* panel = dynamic_cast<T*>(host->panel());
        if (!panel) throw std::logic_error("the open panel is of another class");
        return *panel;
    }

    // The texts of the result list, one line per command, joined by newlines,
    // without the leading selection: "cmd=CMD_POSTERIZE levels=4".
    std::string Result();

    RecordingUIServices ui;
    ScratchFolder cacheFolder;
    Settings settings;
    EffectsProcesser processor;
    ImageCacheManager imageCache{cacheFolder.path()};
    std::unique_ptr<EffectProcessViewController> host;
};

}  // namespace vantrel::test
