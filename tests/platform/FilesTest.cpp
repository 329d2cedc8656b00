#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/Files.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(Files, AWrittenFileReadsBackWholeAndReplacesTheOldOneLeavingNothingElse) {
    test::ScratchFolder folder;
    const std::string path = folder.File("history_1.png");
    ASSERT_TRUE(WriteFileAtomically(path, Bytes("first version, longer")).ok());
    const Result<Done> second = WriteFileAtomically(path, Bytes("second"));
    ASSERT_TRUE(second.ok()) << second.error();
    const Result<std::vector<unsigned char>> read = ReadWholeFile(path, 1000);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.value(), Bytes("second"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"history_1.png"});

    ASSERT_TRUE(WriteFileAtomically(path, {}).ok());
    EXPECT_TRUE(ReadWholeFile(path, 0).value().empty());
}

TEST(Files, NewFilesFollowTheCreationMask) {
    test::ScratchFolder folder;
    const mode_t previous = ::umask(022);
    const bool written = WriteFileAtomically(folder.File("a"), Bytes("x")).ok();
    ::umask(previous);
    ASSERT_TRUE(written);
    struct stat status {};
    ASSERT_EQ(::stat(folder.File("a").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST(Files, AFailedWriteNamesTheFileAndLeavesTheOldOneAlone) {
    test::ScratchFolder folder;
    const Result<Done> missing =
        WriteFileAtomically(folder.File("no/such/folder/x.png"), Bytes("x"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("no/such/folder/x.png"), std::string::npos) << missing.error();

    // A folder in the way: the rename fails, the temporary file goes.
    ASSERT_EQ(::mkdir(folder.File("taken").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.File("taken/inside").c_str(), 0755), 0);
    EXPECT_FALSE(WriteFileAtomically(folder.File("taken"), Bytes("x")).ok());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"taken"});
}

TEST(Files, ReadsRefuseMissingOversizedAndIrregularFiles) {
    test::ScratchFolder folder;
    const std::string path = folder.File("ten");
    ASSERT_TRUE(WriteFileAtomically(path, Bytes("0123456789")).ok());
    EXPECT_EQ(ReadWholeFile(path, 10).value(), Bytes("0123456789"));
    const Result<std::vector<unsigned char>> tooBig = ReadWholeFile(path, 9);
    EXPECT_FALSE(tooBig.ok());
    EXPECT_NE(tooBig.error().find("larger than 9 bytes"), std::string::npos) << tooBig.error();
    const Result<std::vector<unsigned char>> missing = ReadWholeFile(folder.File("none"), 10);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("none"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile(folder.path(), 1 << 20).ok());
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(folder.File("pipe"), 10).ok()) << "must not wait on a pipe";
}

}  // namespace
}  // namespace vantrel
