// The fixture of the share kit's flows: the fake providers for the suite, a
// fresh user-defaults store, recorded UI calls and kit reports, and every
// log line, which must never hold a key, a secret or a token.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Share/WBShareKit.h"
#include "platform/UserDefaults.h"
#include "share/FakeProvider.h"
#include "support/RecordingUIServices.h"
#include "support/TestPictures.h"

namespace vantrel::test {

class RecordingDelegate final : public WBShareKitDelegate {
public:
    void loginSuccess(WBShareKit&) override { reports.push_back("loginSuccess"); }
    void loginFailure(WBShareKit&) override { reports.push_back("loginFailure"); }
    void sendSuccess(WBShareKit&) override { reports.push_back("sendSuccess"); }
    void sendFailure(WBShareKit&) override { reports.push_back("sendFailure"); }
    std::vector<std::string> reports;
};

class ShareFlow : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<WBShareKit> makeKit(
        std::string_view mode = "ok", std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Runs the main queue until `done` or 15 seconds; false on the timeout.
    static bool waitUntil(const std::function<bool()>& done);
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

    static FakeProvider* s_fake;
    std::size_t m_firstRecord = 0;
    ScratchFolder m_folder;
    UserDefaults m_store{m_folder.File(kUserDefaultsFileName)};
    RecordingUIServices m_ui;
    RecordingDelegate m_delegate;
    std::vector<std::string> m_secrets;  // must never be logged
};

// A small photo for the posts.
Picture SharePhoto();

}  // namespace vantrel::test
