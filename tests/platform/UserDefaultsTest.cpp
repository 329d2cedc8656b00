#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Files.h"
#include "platform/UserDefaults.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

TEST(UserDefaults, KeepsTextsAndRealsInAPrivateFile) {
    test::ScratchFolder folder;
    const std::string file = folder.File(kUserDefaultsFileName);
    {
        UserDefaults store(file);
        store.setObject("kToken_Sina", "oauth_token=a&oauth_token_secret=b");
        store.setObject("FBExpirationDateKey", 1.5e9);
        store.setObject("gone", "x");
        store.removeObjectForKey("gone");
        ASSERT_TRUE(store.synchronize().ok());
    }
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const UserDefaults again(file);
    EXPECT_EQ(again.stringForKey("kToken_Sina"), "oauth_token=a&oauth_token_secret=b");
    EXPECT_EQ(again.doubleForKey("FBExpirationDateKey"), 1.5e9);
    EXPECT_FALSE(again.hasKey("gone"));
    EXPECT_EQ(again.doubleForKey("kToken_Sina"), std::nullopt);
}

// An unreadable file, readable by others, is replaced by a private one.
TEST(UserDefaults, AnUnreadableFileIsAnEmptyStore) {
    test::ScratchFolder folder;
    const std::string file = folder.File(kUserDefaultsFileName);
    const std::string junk = "not a property list";
    ASSERT_TRUE(
        WriteFileAtomically(file, std::vector<unsigned char>(junk.begin(), junk.end())).ok());
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    UserDefaults store(file);
    EXPECT_FALSE(store.hasKey("kToken_Sina"));
    store.setObject("kToken_Sina", "t");
    EXPECT_TRUE(store.synchronize().ok());
    EXPECT_TRUE(UserDefaults(file).hasKey("kToken_Sina"));
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace vantrel
