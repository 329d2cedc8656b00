#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Core/base/GrayInvert.h"
#include "app/cli/ApplyCommand.h"
#include "app/cli/CliMain.h"
#include "commands/CommandTable.h"
#include "commands/EffectsProcesser.h"
#include "platform/PictureCodec.h"
#include "platform/Resources.h"
#include "support/ChildProcess.h"
#include "support/CliRun.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel::cli {
namespace {

using test::Decoded;
using test::Outcome;
using test::RunMain;
using test::ScratchFolder;
using test::WriteText;

// A 16 x 10 opaque gradient written as PNG.
Picture WriteInput(const std::string& path) {
    const Picture picture = test::MakePicture(16, 10, [](int x, int y) {
        return test::Rgba{static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 25),
                          static_cast<std::uint8_t>(200 - x * 5), 255};
    });
    EXPECT_TRUE(WritePictureFile(picture, path).ok());
    return picture;
}

// `picture` with `operation` applied to the region (x, y, width, height).
std::vector<std::uint8_t> Edited(const Picture& picture, int x, int y, int width, int height,
                                 const std::function<void(TiBitmapData&)>& operation) {
    const auto bitmap = BitmapFromPicture(picture);
    return test::Pixels(*test::WithRegion(*bitmap, x, y, width, height, operation));
}

class ApplyCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        input = WriteInput(folder.File("in.png"));
        EffectsProcesser::sharedEffectsProcesser().setParamScale(1.0);
    }
    void TearDown() override { setResourceFile("actions", "json", ""); }

    ScratchFolder folder;
    Picture input;
};

TEST_F(ApplyCommandTest, InformationFormsPrintAndSucceed) {
    EXPECT_EQ(RunMain({"--version"}).out, "vantrel 9.8.7\n");
    EXPECT_EQ(RunMain({"commands"}).out, commandListing());
    const Outcome help = RunMain({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, UsageText());
    const Outcome bad = RunMain({"apply", "in.png"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find(UsageText()), std::string::npos);
}

TEST_F(ApplyCommandTest, CommandsJoinInArgumentOrderAtTheParamScale) {
    WriteText(
        folder.File("left.json"),
        R"({"commands": [{"cmd": "CMD_SET_SELECTION", "selection": ["0", "0", "16", "0"]}]})");
    const std::string gray = R"({"cmd": "CMD_GRAY"})";
    const auto toGray = [](TiBitmapData& v) { ConvertToGray(v); };

    // At scale 0.5 the selection covers the left 8 columns.
    const Outcome left =
        RunMain({"apply", folder.File("in.png"), folder.File("left.png"), "--commands",
                 folder.File("left.json"), "--command", gray, "--param-scale", "0.5"});
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(left.out, "wrote " + folder.File("left.png") + " (16 x 10)\n");
    EXPECT_EQ(Decoded(folder.File("left.png")), Edited(input, 0, 0, 8, 10, toGray));

    // Gray first: the selection after it changes nothing.
    const Outcome whole =
        RunMain({"apply", folder.File("in.png"), folder.File("whole.png"), "--command", gray,
                 "--commands", folder.File("left.json"), "--param-scale", "0.5"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(Decoded(folder.File("whole.png")), Edited(input, 0, 0, 16, 10, toGray));
    // Written under a temporary name and renamed: nothing else is left.
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"in.png", "left.json", "left.png", "whole.png"}));
}

TEST_F(ApplyCommandTest, JpegOutputIsWrittenAtTheGivenQuality) {
    const Outcome outcome =
        RunMain({"apply", folder.File("in.png"), folder.File("out.jpg"), "--command",
                 R"({"cmd": "CMD_ANTICOLOR"})", "--quality", "40"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto bitmap = BitmapFromPicture(input);
    InvertColor(*bitmap);
    const auto encoded = EncodePicture(PictureFromBitmap(*bitmap), PictureFormat::Jpeg, 40);
    ASSERT_TRUE(encoded.ok());
    const Result<Picture> expected = DecodePicture(encoded.value());
    EXPECT_EQ(Decoded(folder.File("out.jpg")), test::BytesOf(expected.value()));
}

TEST_F(ApplyCommandTest, FailuresWriteNothingAndSayWhy) {
    WriteText(folder.File("out.png"), "the old file");
    WriteText(folder.File("bare.json"), R"({"name": "no commands here"})");
    WriteText(folder.File("mixed.json"), R"({"commands": [{"cmd": "CMD_GRAY"}, "CMD_GRAY"]})");
    const std::string in = folder.File("in.png");
    const std::string out = folder.File("out.png");
    const std::vector<std::pair<std::vector<std::string>, std::string>> failures = {
        {{"apply", in, out, "--command", R"({"cmd": "CMD_POSTERIZE", "levels": "1"})"},
         "CMD_POSTERIZE"},
        {{"apply", in, out, "--command", R"({"cmd": "CMD_CALL_ACTION", "actionName": "None"})"},
         "Not find Action!"},
        {{"apply", folder.File("missing.png"), out}, "missing.png"},
        {{"apply", folder.File("bare.json"), out}, "bare.json"},
        {{"apply", in, out, "--commands", folder.File("missing.json")}, "missing.json"},
        {{"apply", in, out, "--commands", folder.File("bare.json")}, "\"commands\""},
        {{"apply", in, out, "--commands", folder.File("mixed.json")}, "not a dictionary"},
    };
    for (const auto& [args, reason] : failures) {
        const Outcome outcome = RunMain(args);
        EXPECT_EQ(outcome.status, 1) << reason;
        EXPECT_EQ(outcome.err.rfind("vantrel: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
    EXPECT_EQ(test::TextOf(out), "the old file");
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"bare.json", "in.png", "mixed.json", "out.png"}));
}

// The program's exit status is its outcome's; a successful run is the mixed
// list's below.
TEST_F(ApplyCommandTest, TheProgramExitsWithTheStatusOfItsOutcome) {
    const std::string in = folder.File("in.png"), out = folder.File("out.png");
    const std::pair<std::vector<std::string>, int> runs[] = {
        {{"--version"}, 0},
        {{}, 2},
        {{"apply", in}, 2},
        {{"apply", in, out, "--command", R"({"cmd": "CMD_POSTERIZE"})"}, 1},
    };
    for (auto [args, status] : runs) {
        args.insert(args.begin(), test::ProgramPath());
        EXPECT_EQ(test::RunProgram(args), status) << args.back();
    }
    EXPECT_FALSE(std::ifstream(out).good());
}

// A photo through a mixed list: a region grayed, the picture mirrored, cut,
// zoomed, turned a quarter and then 30 degrees, and a named action. The
// expected picture is the same list run in-process, written and read back.
TEST_F(ApplyCommandTest, AMixedListOnAPhotoWritesTheExpectedPicture) {
    const std::string photo = test::TestDataPath("photos/kodim23.png");
    WriteText(folder.File("actions.json"), R"({"actions": [{"name": "Poster", "commands": [
        {"cmd": "CMD_POSTERIZE", "levels": "6"},
        {"cmd": "CMD_CURVE", "points": ["0", "30", "0", "255", "220", "0"], "channel": "CHANEL_B"}]}]})");
    WriteText(folder.File("list.json"), R"({"commands": [
        {"cmd": "CMD_SET_SELECTION", "selection": ["100", "80", "300", "200"]},
        {"cmd": "CMD_GRAY"},
        {"cmd": "CMD_FLIP", "flipH": "1", "flipV": "0"},
        {"cmd": "CMD_CLIP", "rect": ["40", "30", "600", "400"]},
        {"cmd": "CMD_ZOOM", "scale": "0.750000"},
        {"cmd": "CMD_ROTATE", "degrees": "90.000000"}]})");
    const std::string rotate = R"({"cmd": "CMD_ROTATE", "degrees": "30.000000"})";
    const std::string action = R"({"cmd": "CMD_CALL_ACTION", "actionName": "Poster"})";
    ASSERT_EQ(test::RunProgram({test::ProgramPath(), "apply", photo, folder.File("out.png"),
                                "--commands", folder.File("list.json"), "--command", rotate,
                                "--actions", folder.File("actions.json"), "--command", action}),
              0);

    Result<Array> list = LoadCommandList(
        std::vector<CommandSource>{{CommandSource::Kind::File, folder.File("list.json")},
                                   {CommandSource::Kind::Json, rotate},
                                   {CommandSource::Kind::Json, action}});
    ASSERT_TRUE(list.ok());
    setResourceFile("actions", "json", folder.File("actions.json"));
    const Result<Picture> original = ReadPictureFile(photo);
    ASSERT_TRUE(original.ok());
    EffectsProcesser processor;
    const Picture edited = processor.runCommands(list.value(), original.value());
    ASSERT_FALSE(edited.empty());
    // 768 x 512 cut to 600 x 400, zoomed to 450 x 300, turned to 300 x 450,
    // then the box of 30 degrees.
    EXPECT_EQ(edited.width(), 484);
    EXPECT_EQ(edited.height(), 539);
    const auto encoded = EncodePicture(edited, PictureFormat::Png);
    ASSERT_TRUE(encoded.ok());
    EXPECT_EQ(Decoded(folder.File("out.png")),
              test::BytesOf(DecodePicture(encoded.value()).value()));
}

}  // namespace
}  // namespace vantrel::cli
