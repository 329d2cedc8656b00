#include <gtest/gtest.h>

#include "Share/OAuthCallback.h"
#include "Share/ShareConfig.h"
#include "platform/Files.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

ShareConfig LoadText(const test::ScratchFolder& folder, const std::string& text) {
    const std::string file = folder.File(kShareConfigFileName);
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    EXPECT_TRUE(WriteFileAtomically(file, bytes).ok());
    return ShareConfig::load(file);
}

TEST(ShareConfig, WithoutAFileNothingIsSetUpAndTheAddressesArePublic) {
    test::ScratchFolder folder;
    const ShareConfig config = ShareConfig::load(folder.File(kShareConfigFileName));
    EXPECT_EQ(config.problem, "");
    EXPECT_EQ(config.provider(kShareSina).api, "https://api.t.sina.com.cn/");
    EXPECT_EQ(config.provider(kShareTwitter).twitpicApi, "https://api.twitpic.com/");
    EXPECT_EQ(config.setupProblem(kShareSina),
              "Sina Weibo is not set up: add its consumer_key and consumer_secret under \"sina\" "
              "in " +
                  folder.File(kShareConfigFileName) + ".");
    EXPECT_NE(config.setupProblem(kShareFacebook).find("app_id"), std::string::npos);
    EXPECT_NE(config.setupProblem(9).find("no share provider"), std::string::npos);
}

TEST(ShareConfig, ReadsKeysAddressesAndLimits) {
    test::ScratchFolder folder;
    const ShareConfig config = LoadText(folder, R"({
        "sina": {"consumer_key": 1234567890, "consumer_secret": "s1", "api": "http://127.0.0.1:9/s"},
        "twitter": {"consumer_key": "k2", "consumer_secret": "s2", "twitpic_key": "t"},
        "facebook": {"app_id": "42", "graph": "http://graph.example.com/"},
        "douban": {"consumer_key": "k3", "consumer_secret": "s3"},
        "callback": "http://127.0.0.1:8080/handleOAuthLogin", "timeout_seconds": 2.5})");
    EXPECT_EQ(config.problem, "");
    EXPECT_EQ(config.provider(kShareSina).consumerKey, "1234567890");
    EXPECT_EQ(config.provider(kShareSina).api, "http://127.0.0.1:9/s/");
    EXPECT_EQ(config.setupProblem(kShareSina), "");
    EXPECT_EQ(config.setupProblem(kShareTwitter), "");
    EXPECT_NE(config.setupProblem(kShareFacebook).find("Plain http to graph.example.com"),
              std::string::npos);
    EXPECT_NE(config.setupProblem(kShareDouban).find("no \"api\" address"), std::string::npos);
    EXPECT_EQ(config.callback, "http://127.0.0.1:8080/handleOAuthLogin");
    EXPECT_EQ(config.timeout.count(), 2500);
}

TEST(ShareConfig, AnUnusableFileSetsNothingUpAndSaysWhy) {
    test::ScratchFolder folder;
    for (const char* text : {"not json", R"({"sina": "x"})", R"({"timeout_seconds": 0})",
                             R"({"twitter": {"consumer_key": ["k"]}})"}) {
        const ShareConfig config = LoadText(folder, text);
        EXPECT_NE(config.problem.find("can not be used"), std::string::npos) << text;
        EXPECT_NE(config.setupProblem(kShareSina).find(config.problem), std::string::npos);
    }
}

TEST(OAuthCallback, KnowsALoginCallback) {
    for (const char* url : {"Vantrel://handleOAuthLogin?oauth_token=a&oauth_verifier=123456",
                            "vantrel://handleoauthlogin#access_token=x",
                            "http://127.0.0.1:8080/handleOAuthLogin?oauth_token=a"}) {
        EXPECT_TRUE(IsOAuthLoginCallback(url)) << url;
    }
    for (const char* url : {"vantrel://elsewhere?x", "http://127.0.0.1/other", "handleOAuthLogin",
                            "file:///handleOAuthLogin"}) {
        EXPECT_FALSE(IsOAuthLoginCallback(url)) << url;
    }
    EXPECT_FALSE(IsOAuthLoginCallback("vantrel://handleOAuthLogin?" +
                                      std::string(kMaxCallbackUrlBytes, 'a')));
}

}  // namespace
}  // namespace vantrel
