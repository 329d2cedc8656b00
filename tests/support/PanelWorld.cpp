#include "support/PanelWorld.h"

#include <gtest/gtest.h>

#include <chrono>

#include "editing/panels/LomoEffectsToolView.h"
#include "platform/Dispatch.h"
#include "support/ValueText.h"

namespace vantrel::test {

PanelWorld::~PanelWorld() {
    host.reset();
    Settle();  // the processor must be idle when it goes, the cache unused
    using namespace std::chrono_literals;
    runMainQueueUntil([] { return LomoEffectsToolView::cacheWorkInFlight() == 0; }, 60s);
    drainMainQueue();
}

bool PanelWorld::Open(const std::string& title, const Picture& working, double scaleMark) {
    host = std::make_unique<EffectProcessViewController>(nullptr, processor, settings, imageCache);
    const bool opened = host->processImage(working, title, scaleMark);
    Settle();
    return opened;
}

EffectsToolView& PanelWorld::Opened(const std::string& title) {
    if (!Open(title, PhotoPicture(640, 480))) throw std::runtime_error(title + " did not open");
    return Panel();
}

void PanelWorld::Settle() {
    using namespace std::chrono_literals;
    const bool settled = runMainQueueUntil(
        [&] {
            const EffectsToolView* panel = host ? host->panel() : nullptr;
            return !processor.working() && !(panel && panel->processing());
        },
        60s);
    drainMainQueue();
    if (!settled) ADD_FAILURE() << "the panel's previews did not come back";
}

std::string PanelWorld::Result() {
    const Array list = host->effectsTaskList();
    std::string lines;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string text = Texts(list[i]);
        if (i == 0) {
            EXPECT_EQ(text, "{cmd=CMD_SET_SELECTION selection=[0,0,0,0]}");
        } else {
            lines.append(i > 1 ? "\n" : "").append(text, 1, text.size() - 2);
        }
    }
    return lines;
}

}  // namespace vantrel::test
