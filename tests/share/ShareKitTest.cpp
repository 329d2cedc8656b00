#include <gtest/gtest.h>

#include <regex>

#include "Share/ShareHandlers.h"
#include "commands/ErrorManager.h"
#include "platform/Dispatch.h"
#include "platform/JpegCodec.h"
#include "share/FakeProvider.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using test::FakeRecord;

std::string Text(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Field(const std::string& boundary, const std::string& name, const std::string& value) {
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
           value + "\r\n";
}

// The post's body as the three providers take it, written out here from
// their descriptions rather than from the program's builder.
std::string ExpectedBody(int code, const std::string& text, const std::string& jpeg,
                         const std::string& facebookToken) {
    if (code == kShareSina) {
        const std::string b = kSinaBoundary;
        return Field(b, "status", text) + Field(b, "source", test::kSinaKey) +
               Field(b, "lat", "0.000000") + Field(b, "long", "0.000000") + "--" + b +
               "\r\nContent-Disposition: form-data; name=\"pic\";filename=\"image.jpg\"\r\n"
               "Content-Type: image/jpeg\r\n\r\n" +
               jpeg + "\r\n--" + b + "--\r\n";
    }
    if (code == kShareTwitter) {
        const std::string b = "0xKhTmLbOuNdArY";
        return "--" + b +
               "\r\nContent-Disposition: form-data; name=\"media\"; filename=\"upload.jpg\"\r\n"
               "Content-Type: image/jpg\r\n\r\n" +
               jpeg + "\r\n" + Field(b, "message", text) + Field(b, "key", test::kTwitpicKey) +
               "--" + b + "--\r\n";
    }
    const std::string b = kGraphBoundary;
    return Field(b, "message", text) + Field(b, "access_token", facebookToken) + "--" + b +
           "\r\nContent-Disposition: form-data; name=\"picture\"; filename=\"picture.jpg\"\r\n"
           "Content-Type: image/jpeg\r\n\r\n" +
           jpeg + "\r\n--" + b + "--\r\n";
}

// The Authorization header as the kit sends it: the items in the described
// order (the token's only where one is held), then `tail`; each value of its
// fixed text or shape.
void ExpectHeader(const FakeRecord& record, bool withToken, const std::string& tail) {
    const std::string header = record.header("Authorization");
    const std::string pattern =
        std::string(R"(OAuth realm="", oauth_consumer_key="[^"]+", )") +
        (withToken ? R"(oauth_token="[^"]+", )" : "") +
        R"(oauth_signature_method="HMAC-SHA1", oauth_signature="[^"]+", )"
        R"(oauth_timestamp="[0-9]{10}", oauth_nonce="[0-9a-f]{32}", oauth_version="1\.0")" +
        tail;
    EXPECT_TRUE(std::regex_match(header, std::regex(pattern))) << record.path << ": " << header;
}

struct ProviderCase {
    int code;
    const char* uploadPath;
    const char* textField;
};

class EachProvider : public test::ShareFlow, public ::testing::WithParamInterface<ProviderCase> {};

TEST_P(EachProvider, LogsInThroughTheBrowserPostsVerifiedAndThenLogsInAtOnce) {
    const ProviderCase& provider = GetParam();
    auto kit = makeKit();
    loginThroughBrowser(*kit, provider.code);
    ASSERT_EQ(m_delegate.reports, std::vector<std::string>{"loginSuccess"});
    const char* tokenKey = ShareProviderFor(provider.code)->tokenKey;
    EXPECT_TRUE(UserDefaults(m_store.file()).hasKey(tokenKey)) << "the store was not written";

    const std::string text = "Hello from Vantrel, \xE4\xBD\xA0\xE5\xA5\xBD & +1";
    post(*kit, provider.code, text, test::PhotoPicture(24, 16));
    EXPECT_EQ(m_delegate.reports.back(), "sendSuccess");

    const std::vector<FakeRecord> records = newRecords();
    ASSERT_FALSE(records.empty());
    for (const FakeRecord& record : records)
        EXPECT_NE(record.verified, std::optional<bool>(false)) << record.path;
    const FakeRecord& upload = records.back();
    EXPECT_EQ(upload.path, provider.uploadPath);
    EXPECT_EQ(upload.verified, std::optional<bool>(true));
    EXPECT_EQ(upload.field(provider.textField), text);
    const std::string jpeg = Text(EncodeJpeg(test::PhotoPicture(24, 16), 90).value());
    const std::string expected =
        ExpectedBody(provider.code, text, jpeg, m_store.stringForKey(tokenKey).value_or(""));
    EXPECT_EQ(Text(upload.body), expected);
    EXPECT_EQ(upload.header("Content-Type"),
              "multipart/form-data; boundary=" + expected.substr(2, expected.find('\r') - 2));
    if (provider.code != kShareFacebook) {
        ExpectHeader(records[0], false, R"(, oauth_callback="Vantrel%3A%2F%2FhandleOAuthLogin")");
        ExpectHeader(records[2], true, R"(, oauth_verifier="[^"]+")");
    }
    if (provider.code == kShareTwitter) {
        EXPECT_EQ(upload.header("X-Auth-Service-Provider"),
                  s_fake->base("ok") + "twitter/1/account/verify_credentials.json");
    }

    if (provider.code == kShareFacebook) {  // the token and its expiry are kept
        const auto expiry = m_store.doubleForKey(kFBExpirationDateKey);
        ASSERT_TRUE(expiry && m_store.hasKey(kFBAccessTokenKey));
        EXPECT_EQ(m_store.stringForKey(kFBAccessTokenKey), m_store.stringForKey(tokenKey));
        EXPECT_NEAR(*expiry, static_cast<double>(std::time(nullptr)) + 3600, 30);
    }
    if (provider.code == kShareSina) {
        EXPECT_EQ(upload.header("Content-Length"), std::to_string(expected.size()));
        ExpectHeader(upload, true, "");
        // An empty text posts "Vantrel".
        post(*kit, provider.code, " \n\t", test::PhotoPicture(24, 16));
        EXPECT_EQ(m_delegate.reports.back(), "sendSuccess");
        EXPECT_EQ(newRecords().back().field("status"), "Vantrel");
    }

    EXPECT_GT(loggedLines(), 0u) << "nothing logged to look for secrets in";
    const std::size_t requests = s_fake->requestCount();
    m_ui.clear();
    m_delegate.reports.clear();
    kit->login(provider.code);
    EXPECT_EQ(m_delegate.reports, std::vector<std::string>{"loginSuccess"});
    EXPECT_EQ(s_fake->requestCount(), requests);
    EXPECT_TRUE(m_ui.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Providers, EachProvider,
    ::testing::Values(ProviderCase{kShareSina, "/ok/sina/statuses/upload.json", "status"},
                      ProviderCase{kShareTwitter, "/ok/twitpic/2/upload.json", "message"},
                      ProviderCase{kShareFacebook, "/ok/facebook/graph/me/photos", "message"}),
    [](const auto& info) { return std::string(ShareProviderFor(info.param.code)->configName); });

// A provider that never answers, fails, or answers nonsense: the right
// alert, no hang, and after a failed post no token is left.
struct FailureCase {
    const char* mode;
    int code;
    bool duringLogin;
    friend void PrintTo(const FailureCase& c, std::ostream* os) {
        *os << c.mode << " " << c.code << (c.duringLogin ? " login" : " post");
    }
};

class ProviderFailure : public test::ShareFlow,
                        public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProviderFailure, EndsWithTheRightAlertInBoundedTime) {
    const FailureCase& failure = GetParam();
    auto kit = makeKit(failure.mode, 1s);
    ErrorManager errors;
    ShareHandlers handlers(*kit, {[] { return test::PhotoPicture(24, 16); }, {}, {}, {}}, errors);
    if (!failure.duringLogin) {
        for (const ShareProvider& provider : kShareProviders)
            m_store.setObject(provider.tokenKey, "oauth_token=old&oauth_token_secret=old");
        m_store.setObject(kFBAccessTokenKey, "old");
        m_store.setObject(kFBExpirationDateKey, 1.0);
    }
    const auto start = std::chrono::steady_clock::now();
    handlers.share(failure.code);
    const bool grantsAccess = std::string_view(failure.mode) == "malformed-access";
    if (grantsAccess) {
        // The user grants access in the browser; the token answer is bad.
        ASSERT_TRUE(waitUntil([&] { return !openedUrl().empty(); }));
        EXPECT_TRUE(kit->handleOpenURL(test::FollowInBrowser(openedUrl())));
    }
    if (!failure.duringLogin) {
        ASSERT_NE(handlers.shareView(), nullptr);
        handlers.shareView()->send();
    }
    const std::string alert = failure.duringLogin ? "alert(Error | [STR_CONNECTING_FAILED] | OK!)"
                                                  : "alert( | [STR_SHARED_FAILED] | OK!)";
    ASSERT_TRUE(waitUntil([&] { return !m_ui.shown().empty() && m_ui.shown().back() == alert; }))
        << ::testing::PrintToString(m_ui.shown());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
    const std::vector<std::string> shown = m_ui.shown();
    EXPECT_EQ(shown[shown.size() - 2], "removeWaitPanel");
    if (!grantsAccess) {
        EXPECT_EQ(openedUrl(), "");
    }
    if (failure.duringLogin) {
        EXPECT_FALSE(m_store.hasKey(ShareProviderFor(failure.code)->tokenKey));
    } else {
        const UserDefaults reread(m_store.file());
        std::vector<std::string> keys = {kFBAccessTokenKey, kFBExpirationDateKey};
        for (const ShareProvider& provider : kShareProviders) keys.push_back(provider.tokenKey);
        for (const std::string& key : keys) {
            EXPECT_FALSE(m_store.hasKey(key)) << key;
            EXPECT_FALSE(reread.hasKey(key)) << key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ProviderFailure,
                         ::testing::Values(FailureCase{"hang", kShareSina, true},
                                           FailureCase{"error500", kShareTwitter, true},
                                           FailureCase{"malformed", kShareSina, true},
                                           FailureCase{"malformed", kShareTwitter, true},
                                           FailureCase{"malformed-access", kShareTwitter, true},
                                           FailureCase{"ok", kShareSina, false},
                                           FailureCase{"hang", kShareTwitter, false},
                                           FailureCase{"error500", kShareFacebook, false}));

using Strings = std::vector<std::string>;

using ShareHandlersFlow = test::ShareFlow;

// The share screen over an empty store and the default providers: its
// default text, the text's limit, and a thumbnail at least 160 pixels each
// way.
TEST_F(ShareHandlersFlow, TheShareScreensDefaultTextItsLimitAndTheThumbnail) {
    WBShareKit kit{ShareConfig::defaults(), m_store};
    ShareWaitPanel panel;
    ShareViewController screen{kit, nullptr, panel};
    EXPECT_EQ(screen.text(), "[STR_SHARETEXT_DEFAULT]");
    EXPECT_EQ(screen.textToSend(), "");
    screen.textViewShouldChange();
    EXPECT_EQ(screen.text(), "");
    EXPECT_FALSE(screen.defaultStringEnabled());
    EXPECT_TRUE(screen.setText("a"));
    EXPECT_FALSE(screen.setText(std::string(kMaxShareTextBytes + 1, 'x')));
    EXPECT_EQ(screen.textToSend(), "a");

    const struct {
        int width, height, thumbWidth, thumbHeight;
    } cases[] = {{640, 960, 160, 240}, {1000, 500, 320, 160}, {40, 30, 214, 160}, {7, 7, 160, 160}};
    for (const auto& c : cases) {
        const Picture photo = test::PhotoPicture(c.width, c.height);
        ASSERT_TRUE(screen.setSendImage(photo)) << c.width << "x" << c.height;
        EXPECT_EQ(std::pair(screen.thumbnail().width(), screen.thumbnail().height()),
                  std::pair(c.thumbWidth, c.thumbHeight));
        EXPECT_EQ(screen.sendImage().data(), photo.data());
    }
    EXPECT_FALSE(screen.setSendImage(Picture()));
}

// Sina's wait panel goes after its limit, but a later "sending" panel is
// not taken away by that old limit.
TEST_F(ShareHandlersFlow, TheConnectingPanelsLimitNeverRemovesALaterPanel) {
    auto kit = makeKit("hang", 1s);
    ErrorManager errors;
    Strings opened;
    ShareHandlers handlers(
        *kit,
        {[] { return test::PhotoPicture(24, 16); }, [&] { opened.push_back("fold"); },
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
