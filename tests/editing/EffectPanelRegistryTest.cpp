#include <gtest/gtest.h>

#include "commands/ErrorManager.h"
#include "editing/EffectPanelHost.h"
#include "support/EditingWorld.h"

namespace vantrel {
namespace {

TEST(EffectPanelRegistry, FindsAPanelByItsKeyOrItsLocalisedTitle) {
    test::RecordingUIServices ui;  // localises "KEY" as "[KEY]"
    EffectPanelRegistry registry;
    std::vector<std::string> made;
    registry.registerPanel("STR_MENU_CURVE", [&](const EffectPanelRequest& request) {
        made.push_back(request.title);
        return std::make_unique<test::ScriptedPanel>(test::PanelScript{});
    });
    EffectPanelRequest request;
    for (const char* title : {"STR_MENU_CURVE", "[STR_MENU_CURVE]"}) {
        request.title = title;
        EXPECT_NE(registry.makePanelHost(request), nullptr) << title;
    }
    EXPECT_EQ(made, (std::vector<std::string>{"STR_MENU_CURVE", "[STR_MENU_CURVE]"}));

    request.title = "STR_MENU_NOTHING";
    EXPECT_EQ(registry.makePanelHost(request), nullptr);
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Not find panel!");
}

}  // namespace
}  // namespace vantrel
