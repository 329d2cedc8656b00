#include <gtest/gtest.h>

#include "platform/HttpClient.h"
#include "share/FakeProvider.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

TEST(HttpClient, PlainHttpOnlyStaysOnThisMachine) {
    for (const char* url : {"https://api.twitter.com/x", "http://127.0.0.1:8080/",
                            "http://localhost/", "http://[::1]:9/", "http://127.1.2.3/"}) {
        EXPECT_TRUE(CheckHttpUrl(url).ok()) << url;
    }
    for (const char* url : {"http://api.twitter.com/", "http://127.0.0.1.example.com/",
                            "ftp://127.0.0.1/", "file:///etc/passwd", "no address"}) {
        EXPECT_FALSE(CheckHttpUrl(url).ok()) << url;
    }
}

// The fake provider, started once for these tests and stopped at exit.
const test::FakeProvider& Fake() {
    static const test::FakeProvider fake;
    return fake;
}

Result<HttpResponse> Get(const std::string& path, HttpLimits limits = {}) {
    HttpRequest request;
    request.url = Fake().base("ok") + path;
    return PerformHttpRequest(request, limits);
}

// Answers are bounded in size; redirects are counted and checked; a wait
// gives up at its limit.
TEST(HttpClientLimits, AnswersRedirectsAndWaitsAreBounded) {
    HttpLimits limits;
    limits.maxResponseBytes = 1000;
    EXPECT_EQ(Get("util/big?bytes=1000", limits).value().body.size(), 1000u);
    const Result<HttpResponse> big = Get("util/big?bytes=1001", limits);
    ASSERT_FALSE(big.ok());
    EXPECT_NE(big.error().find("larger than 1000 bytes"), std::string::npos) << big.error();
    limits.maxRedirects = 3;
    EXPECT_EQ(Get("util/redirect?hops=3", limits).value().body, "arrived");
    EXPECT_NE(Get("util/redirect?hops=4", limits).error().find("more than 3"), std::string::npos);
    EXPECT_NE(Get("util/refer-elsewhere", limits).error().find("Plain http"), std::string::npos);
    limits.maxRedirects = 0;
    const Result<HttpResponse> kept = Get("util/redirect?hops=1", limits);
    EXPECT_EQ(kept.value().status, 302);
    EXPECT_EQ(kept.value().header("location"), "/ok/util/redirect?hops=0");
    // A server that never answers times out, its query unsaid.
    limits.totalTimeout = 300ms;
    HttpRequest request;
    request.url = Fake().base("hang") + "anything?secret=s3cr3t";
    const auto start = std::chrono::steady_clock::now();
    const Result<HttpResponse> response = PerformHttpRequest(request, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    ASSERT_FALSE(response.ok());
    EXPECT_EQ(response.error().find("s3cr3t"), std::string::npos) << response.error();
}
}  // namespace
}  // namespace vantrel
