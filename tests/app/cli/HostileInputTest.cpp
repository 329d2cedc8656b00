// The vantrel command against careless or hostile input: misspelled
// commands, broken actions files, outputs that are not files, sizes larger
// than the picture.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/cli/CliMain.h"
#include "app/cli/LooksCommand.h"
#include "editing/panels/LomoLooks.h"
#include "platform/PictureCodec.h"
#include "platform/Resources.h"
#include "support/CliRun.h"
#include "support/TestPictures.h"

namespace vantrel::cli {
namespace {

using test::Outcome;
using test::RunMain;
using test::ScratchFolder;
using test::TextOf;
using test::WriteText;

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        const Picture picture = test::MakePicture(16, 10, [](int x, int y) {
            return test::Rgba{static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 25),
                              90, 255};
        });
        ASSERT_TRUE(WritePictureFile(picture, in).ok());
    }
    void TearDown() override { setResourceFile("actions", "json", ""); }

    ScratchFolder folder;
    const std::string in = folder.File("in.png");
    const std::string out = folder.File("out.png");
};

// A name outside the vocabulary is a bad argument: nothing runs, nothing
// is written, and the nearest names are offered.
TEST_F(HostileInput, AMisspelledCommandIsRefusedWithTheClosestNamesBeforeAnythingRuns) {
    WriteText(folder.File("list.json"),
              R"({"commands": [{"cmd": "CMD_GRAY"}, {"cmd": "CMD_ROTATE", "degrees": "90"},
                  {"cmd": "CMD_ZOMM", "scale": "2"}]})");
    WriteText(out, "the old file");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--command", R"({"cmd": "CMD_GREY"})"},
         "unknown command \"CMD_GREY\" in --command 1; closest known: CMD_GRAY"},
        {{"--command", R"({"cmd": "CMD_GRAY"})", "--commands", folder.File("list.json")},
         "unknown command \"CMD_ZOMM\" in " + folder.File("list.json") +
             "; closest known: CMD_ZOOM"},
        {{"--command", R"({"cmd": "GRAY"})"},
         "unknown command \"GRAY\" in --command 1; closest known: CMD_GRAY"},
        {{"--command", R"({"cmd": "CMD_SHARPNESS"})"},
         "unknown command \"CMD_SHARPNESS\" in --command 1; closest known: CMD_SHARPEN"},
        {{"--command", R"({"cmd": "cmd_gray"})"}, "closest known: CMD_GRAY"},
        {{"--command", R"({"cmd": "CMD_XYZZY_PLUGH_FROBNICATE"})"},
         "unknown command \"CMD_XYZZY_PLUGH_FROBNICATE\" in --command 1; see vantrel commands"},
        {{"--command", R"({"degrees": "90"})"}, "a command without a \"cmd\" name in --command 1"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> args = {"apply", in, out};
        args.insert(args.end(), options.begin(), options.end());
        const Outcome outcome = RunMain(args);
        EXPECT_EQ(outcome.status, 2) << message;
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
    EXPECT_EQ(TextOf(out), "the old file");
    // Lists of named actions keep the dispatcher's rule: unknown names pass.
    WriteText(folder.File("actions.json"),
              R"({"actions": [{"name": "Old", "commands": [{"cmd": "CMD_RETIRED"}]}]})");
    const Outcome stored =
        RunMain({"apply", in, out, "--actions", folder.File("actions.json"), "--command",
                 R"({"cmd": "CMD_CALL_ACTION", "actionName": "Old"})"});
    EXPECT_EQ(stored.status, 0) << stored.err;
}

// What is wrong with an --actions file is said before anything runs.
TEST_F(HostileInput, ABrokenActionsFileIsNamedWithWhatIsWrongWithIt) {
    WriteText(folder.File("text.json"), "not json at all");
    WriteText(folder.File("bare.json"), R"({"name": "no actions here"})");
    WriteText(folder.File("scalar.json"), R"({"actions": "Negative"})");
    ASSERT_EQ(::mkdir(folder.File("folder.json").c_str(), 0755), 0);
    const std::string call = R"({"cmd": "CMD_CALL_ACTION", "actionName": "Negative"})";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing.json", "No such file or directory"}, {"folder.json", "not a regular file"},
        {"text.json", "holds no JSON object"},         {"bare.json", "has no \"actions\" array"},
        {"scalar.json", "has no \"actions\" array"},
    };
    for (const auto& [file, reason] : cases) {
        const Outcome outcome =
            RunMain({"apply", in, out, "--actions", folder.File(file), "--command", call});
        EXPECT_EQ(outcome.status, 1) << file;
        EXPECT_NE(outcome.err.find(folder.File(file)), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find("Not find Action!"), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::ifstream(out).good());
}

// An OUTPUT that is a link or a pipe is refused before the commands run;
// what it points to stays as it was.
TEST_F(HostileInput, AnOutputThatIsNotARegularFileIsRefusedAndLeftAlone) {
    WriteText(folder.File("target.png"), "kept");
    ASSERT_EQ(::symlink("target.png", folder.File("link.png").c_str()), 0);
    ASSERT_EQ(::mkfifo(folder.File("pipe.png").c_str(), 0600), 0);
    for (const std::string name : {"link.png", "pipe.png"}) {
        const Outcome outcome = RunMain(
            {"apply", in, folder.File(name), "--command", R"({"cmd": "CMD_ZOOM", "scale": "0"})"});
        EXPECT_EQ(outcome.status, 1) << name;
        EXPECT_NE(outcome.err.find("not a regular file"), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(TextOf(folder.File("target.png")), "kept");
    struct stat link {};
    ASSERT_EQ(::lstat(folder.File("link.png").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

// Asking for looks larger than the picture makes them at the picture's own
// size, and says so.
TEST_F(HostileInput, LooksLargerThanThePictureAreMadeAtItsSize) {
    const std::string sheet = folder.File("sheet");
    const Outcome huge = RunMain({"looks", in, sheet, "--size", "100000"});
    ASSERT_EQ(huge.status, 0) << huge.err;
    EXPECT_EQ(huge.out.rfind("--size 100000 is larger than the picture's shorter side, 10 pixels: "
                             "the looks are made at 10\n",
                             0),
              0u)
        << huge.out;
    for (const char* name : {"None.png", "Vibrant_Blue_Purple.png", "HDR_Fix_Heavy.png"}) {
        const Picture look = ReadPictureFile(sheet + "/" + name).value();
        EXPECT_EQ(look.width(), 16) << name;
        EXPECT_EQ(look.height(), 10) << name;
    }
    EXPECT_NE(TextOf(sheet + "/index.html").find("width=\"16\" height=\"10\""), std::string::npos);
}

}  // namespace
}  // namespace vantrel::cli
