#include <gtest/gtest.h>

#include "Share/ShareHandlers.h"
#include "commands/ErrorManager.h"
#include "platform/Dispatch.h"
#include "share/ShareFlowTest.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// A share screen over an empty store and the default providers.
struct ShareScreenWorld {
    test::RecordingUIServices ui;
    test::ScratchFolder folder;
    UserDefaults store{folder.File(kUserDefaultsFileName)};
    WBShareKit kit{ShareConfig::defaults(), store};
    ShareWaitPanel panel;
    ShareViewController screen{kit, nullptr, panel};
};

TEST(ShareViewController, TitlesAndTheDefaultText) {
    ShareScreenWorld world;
    ShareViewController& screen = world.screen;
    EXPECT_EQ(ShareViewController::titleForCode(kShareSina), "新浪微博");
    EXPECT_EQ(ShareViewController::titleForCode(kShareTwitter), "Twitpic");
    EXPECT_EQ(ShareViewController::titleForCode(kShareFacebook), "Facebook");
    EXPECT_EQ(ShareViewController::titleForCode(kShareDouban), "");

    EXPECT_EQ(screen.text(), "[STR_SHARETEXT_DEFAULT]");
    EXPECT_EQ(screen.textToSend(), "");
    screen.textViewShouldChange();
    EXPECT_EQ(screen.text(), "");
    EXPECT_FALSE(screen.defaultStringEnabled());
    EXPECT_TRUE(screen.setText("a"));
    EXPECT_FALSE(screen.setText(std::string(kMaxShareTextBytes + 1, 'x')));
    EXPECT_EQ(screen.textToSend(), "a");
}

TEST(ShareViewController, TheThumbnailIsAtLeast160PixelsEachWay) {
    ShareScreenWorld world;
    ShareViewController& screen = world.screen;
    const struct {
        int width, height, thumbWidth, thumbHeight;
    } cases[] = {{640, 960, 160, 240}, {1000, 500, 320, 160}, {40, 30, 214, 160}, {7, 7, 160, 160}};
    for (const auto& c : cases) {
        const Picture photo = test::MakePicture(c.width, c.height, [](int, int) {
            return test::Rgba{10, 20, 30, 255};
        });
        ASSERT_TRUE(screen.setSendImage(photo)) << c.width << "x" << c.height;
        EXPECT_EQ(std::pair(screen.thumbnail().width(), screen.thumbnail().height()),
                  std::pair(c.thumbWidth, c.thumbHeight));
        EXPECT_EQ(screen.sendImage().data(), photo.data());
    }
    EXPECT_FALSE(screen.setSendImage(Picture()));
}

using ShareHandlersFlow = test::ShareFlow;

// Sina's wait panel goes after its limit, but a later "sending" panel is
// not taken away by that old limit.
TEST_F(ShareHandlersFlow, TheConnectingPanelsLimitNeverRemovesALaterPanel) {
    auto kit = makeKit("hang", 1s);
    ErrorManager errors;
    Strings opened;
    ShareHandlers handlers(*kit,
                           {[] { return test::SharePhoto(); }, [&] { opened.push_back("fold"); },
                            [&](ShareViewController& screen) { opened.push_back(screen.title()); },
                            [&] { opened.push_back("closed"); }},
                           errors);
    handlers.setConnectingPanelLimit(50ms);
    handlers.share(kShareSina);
    waitUntil([&] { return m_ui.shown().size() >= 2; });
    EXPECT_EQ(m_ui.shown(), (Strings{"waitPanel([STR_CONNECTING] | mask)", "removeWaitPanel"}));

    m_store.setObject("kToken_Sina", "oauth_token=t&oauth_token_secret=s");
    m_ui.clear();
    handlers.share(kShareSina);  // logged in: the screen opens at once
    ASSERT_NE(handlers.shareView(), nullptr);
    EXPECT_EQ(opened, (Strings{"fold", "fold", "新浪微博"}));
    handlers.shareView()->send();
    handlers.shareView()->send();  // a second tap while sending does nothing
    EXPECT_EQ(handlers.shareView()->shareStep(), kShareStepSending);
    runMainQueueUntil([] { return false; }, 300ms);
    EXPECT_EQ(m_ui.shown(), (Strings{"waitPanel([STR_CONNECTING] | mask)", "removeWaitPanel",
                                     "waitPanel([STR_SENDING] | mask)"}));
    waitUntil([&] { return m_ui.shown().size() >= 5; });
    EXPECT_EQ(m_ui.shown().back(), "alert( | [STR_SHARED_FAILED] | OK!)");
    EXPECT_EQ(handlers.shareView()->shareStep(), 0);
    handlers.shareView()->close();
    EXPECT_EQ(handlers.shareView(), nullptr);
    EXPECT_EQ(opened.back(), "closed");
}

TEST_F(ShareHandlersFlow, NotSetUpOrNoPictureIsSaidPlainly) {
    auto kit = std::make_unique<WBShareKit>(ShareConfig::defaults(), m_store);
    ErrorManager errors;
    ShareHandlers handlers(*kit, {[] { return Picture(); }, {}, {}, {}}, errors);
    handlers.share(kShareTwitter);
    const Strings shown = m_ui.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("Twitter is not set up"), std::string::npos) << shown[0];
    EXPECT_EQ(kit->delegate(), nullptr);

    auto working = makeKit();
    ShareHandlers facebook(*working, {[] { return Picture(); }, {}, {}, {}}, errors);
    m_store.setObject("kToken_Facebook", "token");
    m_ui.clear();
    facebook.share(kShareFacebook);  // no wait panel; the picture can't be had
    EXPECT_EQ(facebook.shareView(), nullptr);
    EXPECT_EQ(m_ui.shown(), Strings{"alert(Can not allocate memory! | Error | OK!)"});
}

}  // namespace
}  // namespace vantrel
