// Opening, releasing and the flows that outlive a panel: failures to open,
// events after release, the look panels' cache, and a panel applied through
// the edit session as one undoable step.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Core/global/TiMemory.h"
#include "commands/ErrorManager.h"
#include "editing/panels/EffectProcessViewController.h"
#include "editing/panels/LomoEffectsToolView.h"
#include "platform/Dispatch.h"
#include "support/EditingWorld.h"
#include "support/PanelWorld.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using test::PanelWorld;

// Whatever allocation fails while a panel opens, it either opens whole or
// fails with the error recorded; it never opens without its preview.
TEST(PanelLifecycle, APanelThatCannotMakeItsPreviewFailsToOpen) {
    const Picture working = test::WorkingPicture(900, 600);
    for (long n = 1; n < 8; ++n) {
        PanelWorld world;
        ErrorManager::sharedErrorManager().setErrorString("");
        TiMemoryTestHook::FailAllocation(n);
        const bool opened = world.Open("STR_MENU_POSTERIZE", working);
        TiMemoryTestHook::Reset();
        if (opened) {
            EXPECT_FALSE(world.Panel().originalImage().empty()) << n;
            continue;
        }
        EXPECT_EQ(world.Host().panel(), nullptr) << n;
        EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Can not create context!");
    }
    PanelWorld world;
    EXPECT_FALSE(world.Open("STR_MENU_NOTHING", working));
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Not find panel!");
}

TEST(PanelLifecycle, ReleaseLeavesNothingBehindAndIgnoresLaterEvents) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_SHARPEN", test::WorkingPicture()));
    std::shared_ptr<EffectsToolView> panel = world.Panel().shared_from_this();
    world.imageCache.saveImageCache(test::WorkingPicture(8, 8), "kept", 0);
    panel->setControl("radius", 20);  // a preview now in flight
    EXPECT_TRUE(world.processor.working());
    world.Close();
    EXPECT_TRUE(panel->released());
    EXPECT_EQ(world.processor.delegate(), nullptr);
    EXPECT_EQ(world.processor.paramScale(), 1.0);
    EXPECT_TRUE(world.imageCache.loadImageMemCacheByName("kept").empty());
    const Picture before = panel->reviewImage();
    world.Settle();  // the late preview reaches no one
    EXPECT_EQ(panel->reviewImage().data(), before.data());
    EXPECT_FALSE(panel->setControl("radius", 5));
    EXPECT_FALSE(panel->touch("picture", {TouchPhase::Began, {1, 1}, {10, 10}}));
    EXPECT_EQ(panel->value("radius"), 20);
}

// The processor has one delegate: a run of a panel closed a moment ago ends
// after the next panel took over, and must not become that panel's preview.
TEST(PanelLifecycle, APreviousPanelsLatePreviewIsNotTheNextOnes) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_SIMPLECOLOR", test::WorkingPicture()));  // 640 x 480 preview
    world.Panel().setControl("mode", 2);
    ASSERT_TRUE(world.processor.working());
    // The HDR panel (a 453 x 339 preview) runs its first preview at once;
    // the gray-and-invert run ends after it.
    ASSERT_TRUE(world.Open("STR_MENU_HDR", test::WorkingPicture()));
    const EffectsToolView& hdr = world.Panel();
    EXPECT_EQ(hdr.reviewImage().width(), hdr.originalImage().width());
    EXPECT_EQ(world.Host().showingImage().width(), hdr.originalImage().width());
}

// A preview of a look left behind is cached under its own name and never
// shown for the look selected since; a cached look comes back from memory,
// or after a moment from disk.
TEST(PanelLifecycle, LookPreviewsAreCachedUnderTheirOwnLook) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_LOMO", test::WorkingPicture()));
    auto& lomo = world.As<LomoEffectsToolView>();
    lomo.selectItem("look", 1);
    // The worker has taken the first look's list; its result waits for the
    // main queue, which only runs once the second look is chosen.
    while (!world.processor.isCommandDicListEmpty()) std::this_thread::sleep_for(1ms);
    lomo.selectItem("look", 2);
    world.Settle();
    const auto cached = [&](int index) { return lomo.looks(0)[index].isCached; };
    ASSERT_TRUE(runMainQueueUntil([&] { return cached(1) && cached(2); }, 30s));
    const std::string first = lomo.looks(0)[1].name;
    const std::string second = lomo.looks(0)[2].name;
    EXPECT_EQ(world.Host().title(), second);
    EXPECT_EQ(lomo.reviewImage().data(), world.imageCache.loadImageMemCacheByName(second).data());
    EXPECT_NE(world.imageCache.loadImageMemCacheByName(first).data(),
              world.imageCache.loadImageMemCacheByName(second).data());

    lomo.selectItem("look", 1);  // from memory, at once
    EXPECT_FALSE(lomo.processing());
    EXPECT_EQ(lomo.reviewImage().data(), world.imageCache.loadImageMemCacheByName(first).data());

    world.imageCache.removeAllImageCache();  // memory gone: the disk copy after 0.3 s
    lomo.selectItem("look", 2);
    const Picture shownBefore = lomo.reviewImage();
    ASSERT_TRUE(
        runMainQueueUntil([&] { return lomo.reviewImage().data() != shownBefore.data(); }, 10s));
    EXPECT_EQ(lomo.reviewImage().width(), lomo.originalImage().width());
    const std::vector<std::string> calls = world.ui.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "waitPanel([STR_PROCESSING] | no mask)"),
              calls.end());
    EXPECT_EQ(calls.back(), "removeWaitPanel");
}

TEST(PanelLifecycle, SwipesStepThroughTheLooks) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_HDR", test::WorkingPicture()));
    auto& hdr = world.As<LomoEffectsToolView>();
    EXPECT_FALSE(world.Host().panel()->flags().realTimeProcess);  // only for the first preview
    const Size shown{320, 240};
    const auto swipe = [&](float from, float to) {
        hdr.touch("picture", {TouchPhase::Began, {from, 100}, shown});
        hdr.touch("picture", {TouchPhase::Ended, {to, 110}, shown});
        world.Settle();
    };
    swipe(100, 100);  // a tap: no change
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Light");
    swipe(300, 100);  // leftwards: the next look
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Normal");
    swipe(100, 300);
    swipe(100, 300);  // past the first: nothing
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Light");
    EXPECT_FALSE(hdr.selectItem("look", 4));
}

// Through the edit session: the panel's list becomes one history step, run
// on the working image (posterize), taken from a preview of the working
// image's own size (simple colour), changing the picture's size (clip), or
// previewed at once (HDR).
TEST(PanelLifecycle, DoneAppliesThePanelAsOneUndoableStep) {
    struct Case {
        const char* title;
        const char* command;
        int width, height;
    };
    for (const Case c : {Case{"STR_MENU_POSTERIZE", "CMD_POSTERIZE", 640, 480},
                         Case{"STR_MENU_SIMPLECOLOR", "CMD_GRAY", 640, 480},
                         Case{"STR_MENU_CLIP", "CMD_CLIP", 320, 320},
                         Case{"STR_MENU_HDR", "CMD_LOMO", 640, 480}}) {
        test::EditingWorld world;
        EffectPanelRegistry registry;
        RegisterEffectPanels(registry, world.settings, world.imageCache);
        world.root().setEffectPanelFactory(&registry);
        world.OpenPicture(test::PhotoPicture(640, 480), std::nullopt);
        EditViewController& editor = world.editor();
        const Picture before = editor.pendingImage();
        editor.actionEffectProcess(c.title);
        world.Settle();
        ASSERT_TRUE(runMainQueueUntil([&] { return !world.processor.working(); }, 30s));
        editor.actionDone();
        world.Settle();
        EXPECT_EQ(editor.commandIndex(), 1) << c.title;
        const Array commands = editor.commands();
        ASSERT_EQ(commands.size(), 2u) << c.title;
        EXPECT_EQ(commands[1].dictionary()->find("cmd")->stringValue(), c.command);
        EXPECT_EQ(editor.pendingImage().width(), c.width) << c.title;
        EXPECT_EQ(editor.pendingImage().height(), c.height) << c.title;
        EXPECT_FALSE(test::SamePixels(editor.pendingImage(), before)) << c.title;
        editor.actionBackEffect();
        world.Settle();
        EXPECT_EQ(editor.commandIndex(), 0) << c.title;
        EXPECT_TRUE(test::SamePixels(editor.pendingImage(), before)) << c.title;
    }
}

}  // namespace
}  // namespace vantrel
