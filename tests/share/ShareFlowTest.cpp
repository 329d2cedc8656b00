#include "share/ShareFlowTest.h"

#include <mutex>

#include "Core/global/TiLog.h"
#include "platform/Dispatch.h"

namespace vantrel::test {
namespace {

std::mutex g_logMutex;
std::vector<std::string> g_log;

void KeepLogLine(const char* line) {
    std::lock_guard lock(g_logMutex);
    g_log.emplace_back(line);
}

}  // namespace

FakeProvider* ShareFlow::s_fake = nullptr;

void ShareFlow::SetUpTestSuite() {
    s_fake = new FakeProvider();
}

void ShareFlow::TearDownTestSuite() {
    delete s_fake;
    s_fake = nullptr;
}

void ShareFlow::SetUp() {
    m_firstRecord = s_fake->requestCount();
    m_secrets = {kSinaSecret, kTwitterSecret, kTwitpicKey};
    std::lock_guard lock(g_logMutex);
    g_log.clear();
    TiSetLogSink(&KeepLogLine);
}

void ShareFlow::TearDown() {
    drainMainQueue();
    TiSetLogSink(nullptr);
    std::lock_guard lock(g_logMutex);
    for (const std::string& line : g_log) {
        for (const std::string& secret : m_secrets) {
            EXPECT_EQ(line.find(secret), std::string::npos) << "a secret in the log: " << line;
        }
    }
}

std::size_t ShareFlow::loggedLines() {
    std::lock_guard lock(g_logMutex);
    return g_log.size();
}

std::unique_ptr<WBShareKit> ShareFlow::makeKit(std::string_view mode,
                                               std::chrono::milliseconds timeout) {
    auto kit = std::make_unique<WBShareKit>(s_fake->config(mode, timeout), m_store);
    kit->setDelegate(&m_delegate);
    return kit;
}

bool ShareFlow::waitUntil(const std::function<bool()>& done) {
    return runMainQueueUntil(done, std::chrono::seconds(15));
}

std::string ShareFlow::openedUrl() const {
    const std::vector<std::string> shown = m_ui.shown();
    for (auto call = shown.rbegin(); call != shown.rend(); ++call) {
        if (call->rfind("openURL(", 0) == 0) return call->substr(8, call->size() - 9);
    }
    return "";
}

void ShareFlow::loginThroughBrowser(WBShareKit& kit, int code) {
    const std::size_t reports = m_delegate.reports.size();
    kit.login(code);
    ASSERT_TRUE(waitUntil([&] { return !openedUrl().empty(); })) << "no page was opened";
    const std::string callback = FollowInBrowser(openedUrl());
    ASSERT_FALSE(callback.empty());
    const std::string forged =
        code == kShareFacebook ? "Vantrel://handleOAuthLogin#access_token=x&state=forged"
                               : "Vantrel://handleOAuthLogin?oauth_token=other&oauth_verifier=1";
    EXPECT_FALSE(kit.handleOpenURL(forged));
    EXPECT_TRUE(kit.handleOpenURL(callback)) << callback;
    ASSERT_TRUE(waitUntil([&] { return m_delegate.reports.size() > reports; }));
    const std::string body = m_store.stringForKey(ShareProviderFor(code)->tokenKey).value_or("");
    if (const auto token = OAuthToken::fromResponseBody(body)) {
        m_secrets.push_back(token->key);
        m_secrets.push_back(token->secret);
    } else if (!body.empty()) {
        m_secrets.push_back(body);  // Facebook's access token
    }
}

void ShareFlow::post(WBShareKit& kit, int code, const std::string& text, const Picture& photo) {
    const std::size_t reports = m_delegate.reports.size();
    if (code == kShareSina) kit.sendSinaPhotoWithStatus(text, 0, 0, photo);
    if (code == kShareTwitter) kit.sendPhotoToTwitterWithStatus(text, 0, 0, photo);
    if (code == kShareFacebook) kit.sendPhotoToFacebookWithStatus(text, 0, 0, photo);
    EXPECT_TRUE(waitUntil([&] { return m_delegate.reports.size() > reports; }));
}

std::vector<FakeRecord> ShareFlow::newRecords() const {
    std::vector<FakeRecord> records = s_fake->records();
    records.erase(records.begin(), records.begin() + static_cast<long>(m_firstRecord));
    return records;
}

Picture SharePhoto() {
    return MakePicture(24, 16, [](int x, int y) {
        return Rgba{static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(y * 15), 90, 255};
    });
}

}  // namespace vantrel::test
