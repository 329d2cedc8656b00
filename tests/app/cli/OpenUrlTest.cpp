#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "Share/OAuthCallback.h"
#include "app/cli/CliMain.h"
#include "platform/Dispatch.h"
#include "platform/RunningEditor.h"
#include "share/FakeProvider.h"
#include "support/ScopedEnvironment.h"

namespace vantrel {
namespace {

int RunCli(std::vector<std::string_view> args, std::string& err) {
    std::ostringstream out, errors;
    const int status = cli::Main(args, "test", out, errors);
    err = errors.str();
    return status;
}

// `vantrel open-url` posts the URL with the published token to the editor
// named in the documents directory; without one it says so.
TEST(OpenUrl, HandsTheCallbackToTheRunningEditor) {
    test::ScratchFolder home;
    test::ScopedEnvironment environment;
    environment.Set("VANTREL_HOME", home.path());
    const test::FakeProvider editor;
    const std::string url = "vantrel://handleOAuthLogin?oauth_token=a&oauth_verifier=123456";
    std::string err;
    EXPECT_EQ(RunCli({"open-url", url}, err), 1);
    EXPECT_NE(err.find("No Vantrel editor is running"), std::string::npos) << err;

    const Result<RunningEditor> published =
        PublishRunningEditor(RunningEditorFile(), editor.base("editor"));
    ASSERT_TRUE(published.ok()) << published.error();
    struct stat status {};
    ASSERT_EQ(::stat(RunningEditorFile().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(RunCli({"open-url", url}, err), 0) << err;
    const test::FakeRecord handed = editor.records().back();
    EXPECT_EQ(handed.path, "/editor/open-url");
    EXPECT_EQ(handed.header(kOpenUrlTokenHeader), published.value().token);
    EXPECT_EQ(std::string(handed.body.begin(), handed.body.end()), url);

    WithdrawRunningEditor(RunningEditorFile(), {published.value().url, "another editor's"});
    EXPECT_TRUE(FindRunningEditor(RunningEditorFile()).ok());
    WithdrawRunningEditor(RunningEditorFile(), published.value());
    EXPECT_FALSE(FindRunningEditor(RunningEditorFile()).ok());
}

TEST(OpenUrl, TheEditorTakesOnlyItsTokenAndALoginCallback) {
    test::ScratchFolder home;
    test::ScopedEnvironment environment;
    environment.Set("VANTREL_HOME", home.path());
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
