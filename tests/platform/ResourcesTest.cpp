#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Resources.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class Resources : public ::testing::Test {
protected:
    void TearDown() override {
        setResourceFile("actions", "json", {});
        setResourcesFolder({});
    }
    fs::path write(const std::string& name, const std::string& text) {
        std::ofstream(m_folder / name, std::ios::binary) << text;
        return m_folder / name;
    }
    test::ScratchFolder m_scratch;
    fs::path m_folder = m_scratch.path();
};

TEST_F(Resources, TheSourceTreeServesTheBuildAndAFolderOrFileSetForTestsComesFirstAndAlone) {
    auto found = findResource("actions", "json");
    ASSERT_TRUE(found);
    EXPECT_TRUE(fs::equivalent(*found, fs::path(test::SourcePath("resources/actions.json"))));
    // A folder or file set for tests comes first and alone.
    setResourcesFolder(m_folder);
    EXPECT_FALSE(findResource("actions", "json"));  // no fallback to the source tree
    write("actions.json", "{\"actions\": []}");
    EXPECT_EQ(readResourceText("actions", "json"), "{\"actions\": []}");

    const fs::path other = write("other.json", "{}");
    setResourceFile("actions", "json", other);
    EXPECT_EQ(readResourceText("actions", "json"), "{}");
    setResourceFile("actions", "json", m_folder / "missing.json");
    EXPECT_FALSE(readResourceText("actions", "json"));
    setResourceFile("actions", "json", {});
    EXPECT_EQ(readResourceText("actions", "json"), "{\"actions\": []}");
    // Unsafe names, folders and huge files are not found.
    fs::create_directories(m_folder / "dir.json");
    EXPECT_FALSE(findResource("../" + m_folder.filename().string() + "/actions", "json"));
    EXPECT_FALSE(findResource("actions", "json/.."));
    EXPECT_FALSE(findResource(".hidden", "json"));
    EXPECT_FALSE(findResource("", "json"));
    EXPECT_FALSE(findResource("dir", "json"));
    // A sparse file just over the limit costs no disk.
    const fs::path huge = write("huge.json", "");
    fs::resize_file(huge, kMaxResourceBytes + 1);
    EXPECT_TRUE(findResource("huge", "json"));
    EXPECT_FALSE(readResourceText("huge", "json"));
}
}  // namespace
}  // namespace vantrel
