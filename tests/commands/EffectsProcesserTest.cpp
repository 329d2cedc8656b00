#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "Core/base/GrayInvert.h"
#include "Core/base/Posterize.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiMemory.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "support/CommandLists.h"
#include "support/RecordingUIServices.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using test::Bare;
using test::BytesOf;
using test::ListOf;
using test::Pixels;
using test::WithRegion;

constexpr auto kPatience = 10s;

class RecordingDelegate final : public EffectProcessDelegate {
public:
    void effectProcessFailure() override { ++failures; }
    void effectProcessFinished(const Picture& picture) override {
        finished.push_back(picture);
        if (onFinished) onFinished();
    }

    int failures = 0;
    std::vector<Picture> finished;
    std::function<void()> onFinished;
};

// A shared picture source, as panels hand it over.
std::shared_ptr<const TiBitmapData> Source(int width, int height) {
    return test::Noise(width, height, TiRGBABpp, 11);
}

// The bytes a run of `operation` over the whole of `source` gives.
std::vector<std::uint8_t> Expected(const TiBitmapData& source,
                                   const std::function<void(TiBitmapData&)>& operation) {
    return Pixels(*WithRegion(source, 0, 0, source.GetWidth(), source.GetHeight(), operation));
}

void Submit(EffectsProcesser& processor, const Array& list) {
    processor.beginAddCommandDic();
    for (const Value& command : list) processor.addCommandDic(*command.dictionary());
    processor.submitCommandDic();
}

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class EffectsProcesserTest : public ::testing::Test {
protected:
    void SetUp() override {
        drainMainQueue();
        processor.setDelegate(&delegate);
    }
    // Nothing of a run may outlive the processor.
    void TearDown() override {
        runMainQueueUntil([this] { return !processor.working(); }, kPatience);
        drainMainQueue();
    }

    test::RecordingUIServices ui;
    RecordingDelegate delegate;
    EffectsProcesser processor;
};

TEST_F(EffectsProcesserTest, ListsSubmittedDuringARunGiveOneMoreRunWithTheLatest) {
    const auto source = Source(9, 7);
    const auto first = ListOf(Bare(CMD_GRAY));
    const auto latest = ListOf(ActionCommand_POSTERIZE::commandWithLevels(3));
    Submit(processor, first);

    // Holding the bitmap runs keeps the first run in progress.
    auto blocker = test::Gradient(2, 2, TiRGBABpp);
    processor.beginProcess(blocker.get());
    processor.startProcessWithBitmap(source, 0, true, false);
    ASSERT_TRUE(WaitUntil([this] { return processor.isCommandDicListEmpty(); }));
    EXPECT_EQ(processor.actionCommandListLast(), first);
    for (const Array& list : {ListOf(Bare(CMD_ANTICOLOR)), ListOf(Bare(CMD_AUTO_LEVELS)), latest}) {
        Submit(processor, list);
        processor.startProcessWithBitmap(source, 0, true, false);
    }
    EXPECT_TRUE(processor.working());
    processor.endProcess();

    ASSERT_TRUE(runMainQueueUntil([this] { return delegate.finished.size() == 2; }, kPatience));
    ASSERT_TRUE(runMainQueueUntil([this] { return !processor.working(); }, kPatience));
    drainMainQueue();
    ASSERT_EQ(delegate.finished.size(), 2u);
    EXPECT_EQ(delegate.failures, 0);
    EXPECT_EQ(BytesOf(delegate.finished[0]), Expected(*source, ConvertToGray));
    EXPECT_EQ(BytesOf(delegate.finished[1]), Expected(*source, [](auto& v) { Posterize(v, 3); }));
    EXPECT_EQ(processor.actionCommandListLast(), latest);
    EXPECT_TRUE(processor.isCommandDicListEmpty());
    // The follow-up run shows its panel with the mask, as every restart does.
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{
                              "localized(STR_PROCESSING)", "waitPanel([STR_PROCESSING] | no mask)",
                              "removeWaitPanel", "localized(STR_PROCESSING)",
                              "waitPanel([STR_PROCESSING] | mask)", "removeWaitPanel"}));
}

// Starting with nothing submitted does nothing; a failed run reaches the
// delegate as a failure.
TEST_F(EffectsProcesserTest, AFailedRunReachesTheDelegateAsAFailure) {
    processor.startProcessWithBitmap(Source(4, 4), 0, true, true);
    EXPECT_FALSE(processor.working());
    drainMainQueue();
    EXPECT_TRUE(ui.calls().empty());
    const auto source = Source(5, 5);
    const auto before = Pixels(*source);
    Submit(processor, ListOf(Bare(CMD_GRAY), ActionCommand_POSTERIZE::commandWithLevels(1)));
    processor.startProcessWithBitmap(source, 1, true);
    ASSERT_TRUE(runMainQueueUntil([this] { return !processor.working(); }, kPatience));
    EXPECT_EQ(delegate.failures, 1);
    EXPECT_TRUE(delegate.finished.empty());
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"activityIndicator", "removeWaitPanel"}));
    EXPECT_EQ(Pixels(*source), before);  // runs work on a copy

    // Without a panel the panel is still removed; a null source fails the run.
    Submit(processor, ListOf(Bare(CMD_GRAY)));
    processor.startProcessWithBitmap(nullptr, 0, false);
    ASSERT_TRUE(runMainQueueUntil([this] { return !processor.working(); }, kPatience));
    EXPECT_EQ(delegate.failures, 2);
    EXPECT_EQ(ui.calls().back(), "removeWaitPanel");
}

TEST_F(EffectsProcesserTest, WaitProcessFinishReturnsOnceTheRunIsDelivered) {
    Submit(processor, ListOf(Bare(CMD_ANTICOLOR)));
    processor.startProcessWithBitmap(Source(6, 6), 0, false);
    std::atomic<bool> waited{false};
    bool waitedBeforeDelivery = true;
    delegate.onFinished = [&] { waitedBeforeDelivery = waited.load(); };
    std::thread waiter([&] {
        processor.waitProcessFinish();
        waited = true;
    });
    const bool done = runMainQueueUntil([&] { return waited.load(); }, kPatience);
    waiter.join();
    EXPECT_TRUE(done);
    EXPECT_FALSE(waitedBeforeDelivery);
    EXPECT_EQ(delegate.finished.size(), 1u);

    // On the main queue it could never return: it refuses.
    bool refused = false;
    dispatchAsync(DispatchQueue::Main, [&] {
        try {
            processor.waitProcessFinish();
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    drainMainQueue();
    EXPECT_TRUE(refused);
}

TEST_F(EffectsProcesserTest, BuildPhasesAreExclusiveAndCancelEndsOne) {
    Submit(processor, ListOf(Bare(CMD_GRAY)));
    const Array submitted = processor.actionCommandList();

    processor.beginAddCommandDic();
    processor.addCommandAntiColor();
    std::atomic<bool> secondBegan{false};
    auto second = std::async(std::launch::async, [&] {
        processor.beginAddCommandDic();
        secondBegan = true;
    });
    EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout);
    EXPECT_FALSE(secondBegan.load());
    processor.cancelAddCommandDic();
    ASSERT_EQ(second.wait_for(kPatience), std::future_status::ready);
    // The second phase began with an empty list; the submitted list is as it was.
    EXPECT_TRUE(processor.actionCommandListTemp().empty());
    EXPECT_EQ(processor.actionCommandList(), submitted);

    processor.addCommandComplementColor();
    processor.cancelAddCommandDic();
    EXPECT_EQ(processor.actionCommandListTemp(), ListOf(Bare(CMD_COMPLEMENT_COLOR)));
    EXPECT_EQ(processor.actionCommandList(), submitted);
    processor.clearCommandDicList();
    EXPECT_TRUE(processor.isCommandDicListEmpty());
}

TEST_F(EffectsProcesserTest, SynchronousRunsStopAtTheFirstFailure) {
    auto bitmap = test::Gradient(7, 5, TiRGBABpp);
    const auto before = Pixels(*bitmap);
    EXPECT_TRUE(processor.runCommands(Array{}, *bitmap));
    EXPECT_EQ(Pixels(*bitmap), before);

    const auto grayed = Expected(*bitmap, ConvertToGray);
    EXPECT_FALSE(processor.runCommands(
        ListOf(Bare(CMD_GRAY), ActionCommand_POSTERIZE::commandWithLevels(0), Bare(CMD_ANTICOLOR)),
        *bitmap));
    EXPECT_EQ(Pixels(*bitmap), grayed);
    EXPECT_EQ(processor.currentBitmap(), nullptr);

    // The step-by-step form runs on the bitmap given to beginProcess; a
    // base-class command runs as its subclass.
    const auto expected = Expected(*bitmap, [](auto& v) {
        InvertColor(v);
        Posterize(v, 3);
    });
    processor.beginProcess(bitmap.get());
    EXPECT_EQ(processor.currentBitmap(), bitmap.get());
    EXPECT_TRUE(processor.runCommands(ListOf(Bare(CMD_ANTICOLOR))));
    EXPECT_TRUE(processor.runActionCommand(
        *ActionCommand::commandWithDic(ActionCommand_POSTERIZE::commandWithLevels(3)->dic())));
    processor.endProcess();
    EXPECT_EQ(Pixels(*bitmap), expected);
}

// The members whose arguments are reordered or narrowed on the way to the
// factory.
TEST_F(EffectsProcesserTest, TheAddCommandFamilyHandsItsArgumentsToTheRightKeys) {
    processor.beginAddCommandDic();
    processor.addCommandUnsharpByRadius(3, 80, 4);
    processor.addCommandShadowHighlightByShadows(0.1, 1e-9);
    processor.addCommandGasBlurByRadius_H(3, 7);
    processor.addCommandBokehByBlurRadius(12, 30, 20, 45, {100, 50});
    processor.setSelection({5, 6, 7, 8});
    processor.addCommandAction("Warm Portrait");
    processor.cancelAddCommandDic();
    EXPECT_EQ(test::Texts(processor.actionCommandListTemp()),
              "[{cmd=CMD_SHARPEN amount=80 radius=3 threshold=4},"
              "{cmd=CMD_SHADOW_HIGHLIGHT shadows=0.100000 highlights=0.000000},"
              "{cmd=CMD_GASBLUR radiusH=3 radiusV=7},"
              "{cmd=CMD_BOKEH blurRadius=12 centerRadius=30 extendWidth=20 degrees=45 "
              "centerPoint=[100,50]},"
              "{cmd=CMD_SET_SELECTION selection=[5,6,7,8]},"
              "{cmd=CMD_CALL_ACTION actionName=Warm Portrait}]");
}

TEST_F(EffectsProcesserTest, PicturesRunThroughABitmapAndBack) {
    const Picture picture = PictureFromBitmap(*test::Gradient(6, 4, TiRGBABpp));
    auto bitmap = BitmapFromPicture(picture);
    const auto expected = Expected(*bitmap, InvertColor);
    const Picture result = processor.runCommands(ListOf(Bare(CMD_ANTICOLOR)), picture);
    EXPECT_EQ(BytesOf(result), expected);
    EXPECT_EQ(BytesOf(picture), Pixels(*bitmap));  // the picture itself is immutable

    EXPECT_TRUE(
        processor.runCommands(ListOf(ActionCommand_POSTERIZE::commandWithLevels(1)), picture)
            .empty());
    EXPECT_TRUE(processor.runCommands(ListOf(Bare(CMD_GRAY)), Picture()).empty());
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Can not create context!");

    ErrorManager::sharedErrorManager().setErrorString("");
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_TRUE(processor.runCommands(ListOf(Bare(CMD_GRAY)), picture).empty());
    TiMemoryTestHook::Reset();
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Can not create context!");
}

TEST_F(EffectsProcesserTest, FastZoomScalesAPicture) {
    const Picture picture = PictureFromBitmap(*test::Gradient(640, 480, TiRGBABpp));
    const Picture half = processor.fastZoomImage(picture, 0.5f);
    ASSERT_EQ(half.width(), 320);
    ASSERT_EQ(half.height(), 240);
    EXPECT_EQ(BytesOf(half), Pixels(*CreateImageZoom(*BitmapFromPicture(picture), 320, 240)));
    EXPECT_EQ(test::Texts(EffectsProcesser::taskListEffectZoomByScale(0.5f)),
              "[{cmd=CMD_ZOOM scale=0.500000}]");
}

}  // namespace
}  // namespace vantrel
