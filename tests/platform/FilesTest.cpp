// Whole files read with a bound and written atomically: what a replaced file
// keeps, what is refused, and what a killed write leaves behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/Files.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::BytesOf;
using test::PermissionsOf;
using test::TextOf;

// A written file reads back whole and replaces the old one, leaving nothing
// else; reads and writes that fail name the file; a read is bounded and
// does not wait on a pipe; a write into a missing folder leaves nothing.
TEST(Files, WrittenFilesReadBackWholeAndRefusalsNameTheFile) {
    test::ScratchFolder folder;
    const std::string path = folder.File("history_1.png");
    ASSERT_TRUE(WriteFileAtomically(path, {}).ok());
    EXPECT_TRUE(ReadWholeFile(path, 0).value().empty());
    ASSERT_TRUE(WriteFileAtomically(path, BytesOf("first version, longer")).ok());
    const Result<Done> second = WriteFileAtomically(path, BytesOf("0123456789"));
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(ReadWholeFile(path, 10).value(), BytesOf("0123456789"));
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(folder.File("pipe"), 10).ok()) << "must not wait on a pipe";
    EXPECT_FALSE(ReadWholeFile(folder.path(), 1 << 20).ok());
    for (const auto& [failed, says] :
         {std::pair{ReadWholeFile(path, 9).error(), std::string("larger than 9 bytes")},
          {ReadWholeFile(folder.File("none"), 10).error(), "none"},
          {WriteFileAtomically(folder.File("no/such/folder/x.png"), BytesOf("x")).error(),
           "no/such/folder/x.png"}}) {
        EXPECT_NE(failed.find(says), std::string::npos) << failed;
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"history_1.png", "pipe"}));
}

// New files follow the creation mask; a replaced one keeps its permission
// bits; a name of the longest legal length is written.
TEST(Files, PermissionsOfNewAndReplacedFilesAndTheLongestNames) {
    test::ScratchFolder folder;
    const std::string path = folder.File("private.png");
    const mode_t previous = ::umask(022);
    const bool written = WriteFileAtomically(path, BytesOf("x")).ok();
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(PermissionsOf(path), 0644u);
    for (const mode_t mode : {0600, 0640, 0755, 0444, 0604}) {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        const Result<Done> replaced = WriteFileAtomically(path, BytesOf("new"));
        ASSERT_TRUE(replaced.ok()) << replaced.error();
        EXPECT_EQ(PermissionsOf(path), mode) << std::oct << mode;
        EXPECT_EQ(TextOf(path), "new");
    }
    // The temporary name does not grow with the file's name: every legal
    // name can be written.
    for (const std::size_t length : {std::size_t{248}, std::size_t{255}}) {
        const std::string name = std::string(length - 4, 'a') + ".png";
        const Result<Done> named = WriteFileAtomically(folder.File(name), BytesOf("long"));
        ASSERT_TRUE(named.ok()) << named.error();
        EXPECT_EQ(TextOf(folder.File(name)), "long");
        ASSERT_TRUE(WriteFileAtomically(folder.File(name), BytesOf("again")).ok());
        EXPECT_EQ(TextOf(folder.File(name)), "again");
        ASSERT_EQ(::unlink(folder.File(name).c_str()), 0);
    }
    EXPECT_FALSE(WriteFileAtomically(folder.File(std::string(256, 'b')), BytesOf("x")).ok());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"private.png"});
}

// A link, a pipe, a device or a folder at the path is left as it is and
// named in the refusal; nothing is written anywhere.
TEST(Files, APathThatIsNotARegularFileIsRefusedAndLeftAsItIs) {
    test::ScratchFolder folder;
    ASSERT_TRUE(WriteFileAtomically(folder.File("target"), BytesOf("kept")).ok());
    ASSERT_EQ(::symlink("target", folder.File("link").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", folder.File("dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(folder.File("folder").c_str(), 0755), 0);
    std::vector<std::pair<std::string, std::string>> cases = {{"link", "symbolic link"},
                                                              {"dangling", "symbolic link"},
                                                              {"pipe", "pipe"},
                                                              {"folder", "folder"}};
    // Making a device node takes a privilege the test may not have.
    if (::mknod(folder.File("device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        cases.push_back({"device", "device"});
    const std::vector<std::string> before = folder.Names();
    for (const auto& [name, kind] : cases) {
        struct stat was {};
        ASSERT_EQ(::lstat(folder.File(name).c_str(), &was), 0);
        const Result<Done> written = WriteFileAtomically(folder.File(name), BytesOf("new"));
        EXPECT_FALSE(written.ok()) << name;
        EXPECT_NE(written.error().find(folder.File(name)), std::string::npos) << written.error();
        EXPECT_NE(written.error().find("not a regular file"), std::string::npos) << written.error();
        EXPECT_NE(written.error().find(kind), std::string::npos) << written.error();
        struct stat is {};
        ASSERT_EQ(::lstat(folder.File(name).c_str(), &is), 0);
        EXPECT_EQ(is.st_mode, was.st_mode) << name;
        EXPECT_EQ(is.st_ino, was.st_ino) << name;
    }
    EXPECT_EQ(TextOf(folder.File("target")), "kept");
    EXPECT_EQ(folder.Names(), before);
}

// A writer killed at random moments of its writes leaves the old file or
// the new one, whole; whatever temporary file it left is gone once the next
// write to that folder ran.
TEST(Files, AKilledWriteLeavesAWholeFileAndItsDebrisGoesWithTheNextWrite) {
    test::ScratchFolder folder;
    const std::string path = folder.File("photo.png");
    const std::vector<unsigned char> oldBytes(1 << 20, 'o');
    const std::vector<unsigned char> newBytes(3 << 20, 'n');
    const unsigned seed = std::random_device()();
    std::mt19937 draw(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (int round = 0; round < 12; ++round) {
        ASSERT_TRUE(WriteFileAtomically(path, oldBytes).ok());
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (;;) WriteFileAtomically(path, newBytes);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(draw));
        ::kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);

        const Result<std::vector<unsigned char>> left = ReadWholeFile(path, 8 << 20);
        ASSERT_TRUE(left.ok()) << left.error();
        EXPECT_TRUE(left.value() == oldBytes || left.value() == newBytes) << "round " << round;
        ASSERT_TRUE(WriteFileAtomically(folder.File("next.png"), BytesOf("next")).ok());
        ASSERT_EQ(folder.Names(), (std::vector<std::string>{"next.png", "photo.png"}))
            << "round " << round;
    }
}

}  // namespace
}  // namespace vantrel
