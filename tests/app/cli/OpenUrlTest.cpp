#include <gtest/gtest.h>

#include "Share/OAuthCallback.h"
#include "platform/Dispatch.h"
#include "platform/RunningEditor.h"
#include "share/FakeProvider.h"
#include "support/CliRun.h"
#include "support/ScopedEnvironment.h"

namespace vantrel {
namespace {

// `vantrel open-url` posts the URL with the published token to the editor
// named in the documents directory; without one it says so.
TEST(OpenUrl, HandsTheCallbackToTheRunningEditorWithItsToken) {
    test::ScratchFolder home;
    test::ScopedEnvironment environment;
    environment.Set("VANTREL_HOME", home.path());
    const test::FakeProvider editor;
    const std::string url = "vantrel://handleOAuthLogin?oauth_token=a&oauth_verifier=123456";
    const test::Outcome alone = test::RunMain({"open-url", url});
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.err.find("No Vantrel editor is running"), std::string::npos) << alone.err;

    const Result<RunningEditor> published =
        PublishRunningEditor(RunningEditorFile(), editor.base("editor"));
    ASSERT_TRUE(published.ok()) << published.error();
    EXPECT_EQ(test::PermissionsOf(RunningEditorFile()), 0600u);
    EXPECT_EQ(test::RunMain({"open-url", url}).status, 0);
    const test::FakeRecord handed = editor.records().back();
    EXPECT_EQ(handed.path, "/editor/open-url");
    EXPECT_EQ(handed.header(kOpenUrlTokenHeader), published.value().token);
    EXPECT_EQ(std::string(handed.body.begin(), handed.body.end()), url);

    WithdrawRunningEditor(RunningEditorFile(), {published.value().url, "another editor's"});
    EXPECT_TRUE(FindRunningEditor(RunningEditorFile()).ok());
    WithdrawRunningEditor(RunningEditorFile(), published.value());
    EXPECT_FALSE(FindRunningEditor(RunningEditorFile()).ok());

    // The editor takes only its token and a login callback.
    const RunningEditor self{"http://127.0.0.1:1", std::string(64, 'a')};
    const std::string callback = "vantrel://handleOAuthLogin?oauth_token=a";
    EXPECT_EQ(handleOpenUrlRequest(self, std::string(64, 'b'), callback), 403);
    EXPECT_EQ(handleOpenUrlRequest(self, "", callback), 403);
    EXPECT_EQ(handleOpenUrlRequest(self, self.token, "https://example.com/"), 400);
    EXPECT_EQ(handleOpenUrlRequest(self, self.token, callback + "\n"), 202);
    EXPECT_EQ(drainMainQueue(), 1u);  // the shared kit saw it, with no login waiting
}

}  // namespace
}  // namespace vantrel
