// The fake sharing providers of tests/share/fake_provider.py, started on
// 127.0.0.1 for a test suite and stopped with it (it also stops by itself
// after its lifetime or request count), and the fixture of the share kit's
// flows against them.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Share/ShareConfig.h"
#include "Share/WBShareKit.h"
#include "commands/Value.h"
#include "platform/Dispatch.h"
#include "platform/UserDefaults.h"
#include "support/RecordingUIServices.h"
#include "support/TestPictures.h"

namespace vantrel::test {

// The keys the fake knows (fake_provider.py's KEYS): made-up values of the
// providers' shapes.
inline constexpr char kSinaKey[] = "1234567890";
inline constexpr char kSinaSecret[] = "sinaSecretKd94hf93k423kf44";
inline constexpr char kTwitterKey[] = "twitterConsumerKey0001";
inline constexpr char kTwitterSecret[] = "twitterSecretXyz7Fq2";
inline constexpr char kTwitpicKey[] = "0123456789abcdef0123456789abcdef";
inline constexpr char kFacebookAppId[] = "123456789012345";

// One request as the fake received it.
struct FakeRecord {
    std::string path;
    Dictionary headers;
    std::optional<bool> verified;  // by oauthlib, where the request is signed
    Dictionary fields;             // the text fields of a multipart body
    std::vector<unsigned char> body;

    std::string header(std::string_view name) const;
    std::string field(std::string_view name) const;
};

class FakeProvider {
public:
    FakeProvider();
    ~FakeProvider();
    FakeProvider(const FakeProvider&) = delete;
    FakeProvider& operator=(const FakeProvider&) = delete;

    // "http://127.0.0.1:PORT/MODE/" ("ok", "hang", "error500", "malformed").
    std::string base(std::string_view mode) const;
    // Every provider with its keys, its addresses under `mode`.
    ShareConfig config(std::string_view mode = "ok",
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // The requests so far, in order.
    std::vector<FakeRecord> records() const;
    std::size_t requestCount() const { return records().size(); }

private:
    ScratchFolder m_folder;
    pid_t m_pid = -1;
    int m_port = 0;
};

// What the user's browser does with the authorisation page the kit opened:
// the address the provider sends it back to (its redirect).
std::string FollowInBrowser(const std::string& url);

class RecordingDelegate final : public WBShareKitDelegate {
public:
    void loginSuccess(WBShareKit&) override { reports.push_back("loginSuccess"); }
    void loginFailure(WBShareKit&) override { reports.push_back("loginFailure"); }
    void sendSuccess(WBShareKit&) override { reports.push_back("sendSuccess"); }
    void sendFailure(WBShareKit&) override { reports.push_back("sendFailure"); }
    std::vector<std::string> reports;
};

// The fixture of the share kit's flows: the fake providers for the suite, a
// fresh user-defaults store, recorded UI calls and kit reports, and every
// log line, which must never hold a key, a secret or a token.
class ShareFlow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_fake = new FakeProvider(); }
    static void TearDownTestSuite() { delete std::exchange(s_fake, nullptr); }
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<WBShareKit> makeKit(
        std::string_view mode = "ok", std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Runs the main queue until `done` or 15 seconds; false on the timeout.
    static bool waitUntil(const std::function<bool()>& done) {
        return runMainQueueUntil(done, std::chrono::seconds(15));
    }
    // The last link opened in the "browser", or "".
    std::string openedUrl() const;
    // A whole login through the browser; stale callbacks are refused on the way.
    void loginThroughBrowser(WBShareKit& kit, int code);
    // Sends the provider's post and waits for its report.
    void post(WBShareKit& kit, int code, const std::string& text, const Picture& photo);
    // Log lines so far in this test.
    static std::size_t loggedLines();
    // Requests the fake received since the test began.
    std::vector<FakeRecord> newRecords() const;

    static inline FakeProvider* s_fake = nullptr;
    std::size_t m_firstRecord = 0;
    ScratchFolder m_folder;
    UserDefaults m_store{m_folder.File(kUserDefaultsFileName)};
    RecordingUIServices m_ui;
    RecordingDelegate m_delegate;
    std::vector<std::string> m_secrets;  // must never be logged
};

}  // namespace vantrel::test
