// The share kit's parts that need no provider: OAuth signing, tokens and
// callbacks, and the sharing.json file.
#include <gtest/gtest.h>

#include "Share/OAuth/OAuthRequest.h"
#include "Share/OAuthCallback.h"
#include "Share/ShareConfig.h"
#include "support/Assertions.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

TEST(OAuthEncoding, KeepsOnlyTheUnreservedSetAndATokenComesFromATokenAnswerOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"AZaz09-._~", "AZaz09-._~"},
        {"a b+c*d", "a%20b%2Bc%2Ad"},
        {"/?=&%:@!'()", "%2F%3F%3D%26%25%3A%40%21%27%28%29"},
        {"\xC3\xA9\x7f", "%C3%A9%7F"},
    };
    for (const auto& [text, encoded] : cases) {
        EXPECT_EQ(OAuthPercentEncode(text), encoded);
        EXPECT_EQ(OAuthPercentDecode(encoded), text);
    }
    EXPECT_EQ(OAuthPercentDecode("%zz%4"), "%zz%4");
    // A token comes from a token answer only.
    const auto token = OAuthToken::fromResponseBody(
        "oauth_token=ab%2Bc&oauth_token_secret=s3&oauth_callback_confirmed=true");
    ASSERT_TRUE(token);
    EXPECT_EQ(token->key, "ab+c");
    EXPECT_EQ(token->secret, "s3");
    for (const char* body : {"oauth_token=a", "oauth_token=&oauth_token_secret=s", "<html>", ""})
        EXPECT_FALSE(OAuthToken::fromResponseBody(body)) << body;
}

// RFC 5849, section 3.4.1.1: the parameters come from the query, the form
// body and the header; the realm is no parameter.
TEST(OAuthSignature, BaseStringOfTheRfc5849Example) {
    const OAuthParameters parameters = ParseFormText(
        "b5=%3D%253D&a3=a&c%40=&a2=r%20b&"  // the query
        "c2&a3=2+q&"                        // the form body
        "oauth_consumer_key=9djdj82h48djs9d2&oauth_token=kkk9d7dh3k39sjv7&"
        "oauth_signature_method=HMAC-SHA1&oauth_timestamp=137131201&oauth_nonce=7d8f3e4a");
    EXPECT_EQ(SignatureBaseString("post", "HTTP://Example.com:80/request?b5=%3D%253D", parameters),
              "POST&http%3A%2F%2Fexample.com%2Frequest&a2%3Dr%2520b%26a3%3D2%2520q%26a3%3Da%26b5%"
              "3D%253D%25253D%26c%2540%3D%26c2%3D%26oauth_consumer_key%3D9djdj82h48djs9d2%26oauth_"
              "nonce%3D7d8f3e4a%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%"
              "3D137131201%26oauth_token%3Dkkk9d7dh3k39sjv7");
}

// RFC 5849, section 1.2: the printer's three signed requests (temporary
// credentials, token credentials, the photo), which send no oauth_version.
TEST(OAuthSignature, TheRfc5849WalkThrough) {
    const struct {
        const char* method;
        const char* url;
        const char* parameters;  // form-encoded, after the printer's key and method
        const char* tokenSecret;
        const char* signature;
    } cases[] = {
        {"POST", "https://photos.example.net/initiate",
         "oauth_timestamp=137131200&oauth_nonce=wIjqoS&"
         "oauth_callback=http%3A%2F%2Fprinter.example.com%2Fready",
         "", "74KNZJeDHnMBp0EMJ9ZHt/XKycU="},
        {"POST", "https://photos.example.net/token",
         "oauth_token=hh5s93j4hdidpola&oauth_timestamp=137131201&oauth_nonce=walatlh&"
         "oauth_verifier=hfdp7dh39dks9884",
         "hdhd0244k9j7ao03", "gKgrFCywp7rO0OXSjdot/IHF7IU="},
        {"GET", "http://photos.example.net/photos?file=vacation.jpg&size=original",
         "oauth_token=nnch734d00sl2jdk&oauth_timestamp=137131202&oauth_nonce=chapoH&"
         "file=vacation.jpg&size=original",
         "pfkkdhi9sl3r4s00", "MdpQcU8iPSUjWoN/UDMsK2sui9I="},
    };
    const std::string printer =
        "oauth_consumer_key=dpf43f3p2l4k3l03&oauth_signature_method=HMAC-SHA1&";
    for (const auto& c : cases) {
        const std::string base =
            SignatureBaseString(c.method, c.url, ParseFormText(printer + c.parameters));
        EXPECT_EQ(SignText(OAuthSignatureMethod::HmacSha1, base,
                           SignatureKey("kd94hf93k423kf44", c.tokenSecret)),
                  c.signature)
            << base;
    }
}

OAuthRequest PhotosExample(OAuthSignatureMethod method) {
    OAuthRequest request("http://photos.example.net/photos?file=vacation.jpg&size=original",
                         {"dpf43f3p2l4k3l03", "kd94hf93k423kf44"},
                         OAuthToken{"nnch734d00sl2jdk", "pfkkdhi9sl3r4s00"},
                         "http://photos.example.net/", method);
    request.setNonceAndTimestamp("kllo9940pd9333jh", "1191242096");
    EXPECT_TRUE(request.prepare().ok());
    return request;
}

// OAuth Core 1.0a, appendix A.5: the photos request, signed and as a header.
TEST(OAuthSignature, TheOAuthCoreAppendixExample) {
    const OAuthRequest request = PhotosExample(OAuthSignatureMethod::HmacSha1);
    EXPECT_EQ(request.signatureBaseString(),
              "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_"
              "key%3Ddpf43f3p2l4k3l03%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%"
              "3DHMAC-SHA1%26oauth_timestamp%3D1191242096%26oauth_token%3Dnnch734d00sl2jdk%26oauth_"
              "version%3D1.0%26size%3Doriginal");
    EXPECT_EQ(request.signature(), "tR3+Ty81lMeYAr/Fid0kMTYa/WM=");
    EXPECT_EQ(
        request.authorizationHeader(),
        "OAuth realm=\"http://photos.example.net/\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", "
        "oauth_token=\"nnch734d00sl2jdk\", oauth_signature_method=\"HMAC-SHA1\", "
        "oauth_signature=\"tR3%2BTy81lMeYAr%2FFid0kMTYa%2FWM%3D\", "
        "oauth_timestamp=\"1191242096\", oauth_nonce=\"kllo9940pd9333jh\", "
        "oauth_version=\"1.0\"");
    EXPECT_EQ(PhotosExample(OAuthSignatureMethod::Plaintext).signature(),
              "kd94hf93k423kf44&pfkkdhi9sl3r4s00");
}

// Without a token no oauth_token item; the extras sorted and encoded, then
// the verifier last; an empty extra is refused.
TEST(OAuthSignature, HeaderWithExtraParametersAndVerifier) {
    OAuthRequest request("https://api.example.com/oauth/access_token", {"key", "c&s"}, std::nullopt,
                         "", OAuthSignatureMethod::Plaintext);
    request.setOAuthParameterName("x_zeta", "a b");
    request.setOAuthParameterName("oauth_callback", "Vantrel://handleOAuthLogin");
    request.setVerifier("123456");
    request.setNonceAndTimestamp("n0", "1700000000");
    ASSERT_TRUE(request.prepare().ok());
    EXPECT_EQ(request.authorizationHeader(),
              "OAuth realm=\"\", oauth_consumer_key=\"key\", oauth_signature_method=\"PLAINTEXT\", "
              "oauth_signature=\"c%2526s%26\", oauth_timestamp=\"1700000000\", "
              "oauth_nonce=\"n0\", oauth_version=\"1.0\", "
              "oauth_callback=\"Vantrel%3A%2F%2FhandleOAuthLogin\", x_zeta=\"a%20b\", "
              "oauth_verifier=\"123456\"");
    EXPECT_NE(request.signatureBaseString().find("oauth_verifier%3D123456"), std::string::npos);
    OAuthRequest refusing("https://api.example.com/", {"key", "secret"});
    for (const auto& [name, value] : {std::pair{"", "v"}, std::pair{"n", ""}}) {
        test::ExpectAssertion(
            [&, name = name, value = value] { refusing.setOAuthParameterName(name, value); },
            "parameterName && parameterValue", "setOAuthParameterName", "Share/OAuth/OAuthRequest",
            55);
    }
}

TEST(OAuthRequest, SendsPlusAsEscapedAndParametersOfAGetInTheQuery) {
    OAuthRequest request("https://api.example.com/a+b?q=1+2", {"key", "secret"});
    request.setParameters({{"x", "y z"}});
    ASSERT_TRUE(request.prepare().ok());
    const HttpRequest http = request.toHttpRequest();
    EXPECT_EQ(http.url, "https://api.example.com/a%2Bb?q=1%2B2&x=y%20z");
    EXPECT_NE(request.signatureBaseString().find("q%3D1%252B2"), std::string::npos);
    EXPECT_TRUE(http.body.empty());
}
// Without a file nothing is set up and each provider says what it lacks; a
// file's keys, addresses and limits are read; an unusable file sets nothing
// up and says why.
TEST(ShareConfig, ReadsKeysAddressesAndLimitsAndSaysWhatIsNotSetUp) {
    test::ScratchFolder folder;
    const std::string file = folder.File(kShareConfigFileName);
    const ShareConfig none = ShareConfig::load(file);
    EXPECT_EQ(none.problem, "");
    EXPECT_EQ(none.setupProblem(kShareSina),
              "Sina Weibo is not set up: add its consumer_key and consumer_secret under \"sina\" "
              "in " +
                  file + ".");
    EXPECT_NE(none.setupProblem(kShareFacebook).find("app_id"), std::string::npos);
    EXPECT_NE(none.setupProblem(9).find("no share provider"), std::string::npos);

    test::WriteText(file, R"({
        "sina": {"consumer_key": 1234567890, "consumer_secret": "s1", "api": "http://127.0.0.1:9/s"},
        "twitter": {"consumer_key": "k2", "consumer_secret": "s2", "twitpic_key": "t"},
        "facebook": {"app_id": "42", "graph": "http://graph.example.com/"},
        "douban": {"consumer_key": "k3", "consumer_secret": "s3"},
        "callback": "http://127.0.0.1:8080/handleOAuthLogin", "timeout_seconds": 2.5})");
    const ShareConfig config = ShareConfig::load(file);
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

    for (const char* text : {"not json", R"({"sina": "x"})", R"({"timeout_seconds": 0})",
                             R"({"twitter": {"consumer_key": ["k"]}})"}) {
        test::WriteText(file, text);
        const ShareConfig unusable = ShareConfig::load(file);
        EXPECT_NE(unusable.problem.find("can not be used"), std::string::npos) << text;
        EXPECT_NE(unusable.setupProblem(kShareSina).find(unusable.problem), std::string::npos);
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
