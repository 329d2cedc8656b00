#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "commands/ErrorManager.h"
#include "support/RecordingUIServices.h"

namespace vantrel {
namespace {

TEST(ErrorManager, ShowsTheLatestMessageOnlyOnceAnErrorWasRecorded) {
    test::RecordingUIServices ui;
    ErrorManager errors;
    EXPECT_FALSE(errors.error());
    EXPECT_EQ(errors.errorString(), "");
    errors.showErrorString();
    EXPECT_TRUE(ui.calls().empty());

    errors.setErrorString("Can not allocate memory!");
    EXPECT_TRUE(errors.error());
    errors.showErrorString();
    errors.setErrorString("Not find Action!");
    // The flag is never cleared: each show presents the latest message.
    errors.showErrorString();
    errors.showErrorString();
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"alert(Can not allocate memory! | Error | OK!)",
                                                    "alert(Not find Action! | Error | OK!)",
                                                    "alert(Not find Action! | Error | OK!)"}));
}

TEST(ErrorManager, IsSharedAndTakesMessagesFromManyThreads) {
    ErrorManager& shared = ErrorManager::sharedErrorManager();
    EXPECT_EQ(&shared, &ErrorManager::sharedErrorManager());

    ErrorManager errors;
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([&errors, t] {
            const std::string message =
                std::string("worker ").append(std::to_string(t)).append(" failed");
            for (int i = 0; i < 2000; ++i) {
                errors.setErrorString(message);
                if (errors.errorString().empty()) ADD_FAILURE() << "a torn message";
            }
        });
    }
    for (auto& worker : workers) worker.join();
    EXPECT_TRUE(errors.error());
    const std::string last = errors.errorString();
    EXPECT_EQ(last.rfind("worker ", 0), 0u);
    EXPECT_EQ(last.size(), std::string("worker 0 failed").size());
}

TEST(UIServices, TheRecorderStandsInWhileItLives) {
    UIServices* before = &currentUIServices();
    {
        test::RecordingUIServices ui;
        EXPECT_EQ(&currentUIServices(), &ui);
        currentUIServices().showWaitPanelWithTitle(
            currentUIServices().localizedString("STR_PROCESSING"), true);
        currentUIServices().showActivityIndicator();
        currentUIServices().removeWaitPanel();
        EXPECT_EQ(ui.calls(), (std::vector<std::string>{"localized(STR_PROCESSING)",
                                                        "waitPanel([STR_PROCESSING] | mask)",
                                                        "activityIndicator", "removeWaitPanel"}));
    }
    EXPECT_EQ(&currentUIServices(), before);
    // The default gives keys back and shows nothing.
    setCurrentUIServices(nullptr);
    EXPECT_EQ(currentUIServices().localizedString("STR_PROCESSING"), "STR_PROCESSING");
}

}  // namespace
}  // namespace vantrel
