// The vantrel program: its arguments, vantrel apply and vantrel looks, and
// what they refuse.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "Core/base/GrayInvert.h"
#include "Core/base/Zoom.h"
#include "app/cli/ApplyCommand.h"
#include "app/cli/CliArguments.h"
#include "app/cli/CliMain.h"
#include "app/cli/LooksCommand.h"
#include "commands/CommandTable.h"
#include "commands/EffectsProcesser.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"
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

// `picture` with `operation` applied to the region (x, y, width, height).
std::vector<std::uint8_t> Edited(const Picture& picture, int x, int y, int width, int height,
                                 const std::function<void(TiBitmapData&)>& operation) {
    const auto bitmap = BitmapFromPicture(picture);
    return test::Pixels(*test::WithRegion(*bitmap, x, y, width, height, operation));
}

class ApplyCommandTest : public ::testing::Test {
protected:
    // A 16 x 10 opaque photo as the input PNG.
    void SetUp() override {
        ASSERT_TRUE(WritePictureFile(input, in).ok());
        EffectsProcesser::sharedEffectsProcesser().setParamScale(1.0);
    }
    void TearDown() override { setResourceFile("actions", "json", ""); }

    ScratchFolder folder;
    const std::string in = folder.File("in.png"), out = folder.File("out.png");
    const Picture input = test::PhotoPicture(16, 10);
};

TEST_F(ApplyCommandTest, CommandsJoinInArgumentOrderAtTheParamScaleAndJpegAtItsQuality) {
    WriteText(
        folder.File("left.json"),
        R"({"commands": [{"cmd": "CMD_SET_SELECTION", "selection": ["0", "0", "16", "0"]}]})");
    const std::string gray = R"({"cmd": "CMD_GRAY"})";
    const auto toGray = [](TiBitmapData& v) { ConvertToGray(v); };

    // At scale 0.5 the selection covers the left 8 columns.
    const Outcome left =
        RunMain({"apply", in, folder.File("left.png"), "--commands", folder.File("left.json"),
                 "--command", gray, "--param-scale", "0.5"});
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(left.out, "wrote " + folder.File("left.png") + " (16 x 10)\n");
    EXPECT_EQ(Decoded(folder.File("left.png")), Edited(input, 0, 0, 8, 10, toGray));

    // Gray first: the selection after it changes nothing.
    const Outcome whole = RunMain({"apply", in, folder.File("whole.png"), "--command", gray,
                                   "--commands", folder.File("left.json"), "--param-scale", "0.5"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(Decoded(folder.File("whole.png")), Edited(input, 0, 0, 16, 10, toGray));
    // JPEG at the given quality.
    const Outcome jpeg = RunMain({"apply", in, folder.File("out.jpg"), "--command",
                                  R"({"cmd": "CMD_ANTICOLOR"})", "--quality", "40"});
    ASSERT_EQ(jpeg.status, 0) << jpeg.err;
    const auto bitmap = BitmapFromPicture(input);
    InvertColor(*bitmap);
    const auto encoded = EncodePicture(PictureFromBitmap(*bitmap), PictureFormat::Jpeg, 40);
    EXPECT_EQ(Decoded(folder.File("out.jpg")),
              test::BytesOf(DecodePicture(encoded.value()).value()));
    // Written under a temporary name and renamed: nothing else is left.
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.png", "left.json", "left.png",
                                                        "out.jpg", "whole.png"}));
}

// Every refusal: its status, one line that says what is wrong, nothing on
// the standard output, and nothing written; an OUTPUT that is there, or is
// a link, stays as it was (the writer's own tests take every other kind).
TEST_F(ApplyCommandTest, RefusalsSayWhatIsWrongAndWriteNothing) {
    WriteText(out, "the old file");
    WriteText(folder.File("target.png"), "kept");
    ASSERT_EQ(::symlink("target.png", folder.File("link.png").c_str()), 0);
    ASSERT_EQ(::mkdir(folder.File("folder.json").c_str(), 0755), 0);
    WriteText(folder.File("text.json"), "not json at all");
    WriteText(folder.File("bare.json"), R"({"name": "no commands here"})");
    WriteText(folder.File("scalar.json"), R"({"actions": "Negative"})");
    WriteText(folder.File("mixed.json"), R"({"commands": [{"cmd": "CMD_GRAY"}, "CMD_GRAY"]})");
    WriteText(folder.File("list.json"),
              R"({"commands": [{"cmd": "CMD_GRAY"}, {"cmd": "CMD_ROTATE", "degrees": "90"},
                  {"cmd": "CMD_ZOMM", "scale": "2"}]})");
    const auto apply = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"apply", in, out});
        return options;
    };
    // A broken --actions file is named with what is wrong with it before
    // anything runs (not as "Not find Action!").
    const auto actions = [&](const std::string& file) {
        return apply({"--actions", folder.File(file), "--command",
                      R"({"cmd": "CMD_CALL_ACTION", "actionName": "Negative"})"});
    };
    const std::string zoom = R"({"cmd": "CMD_ZOOM", "scale": "0"})";
    const struct {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> says;
    } cases[] = {
        {apply({"--command", R"({"cmd": "CMD_POSTERIZE", "levels": "1"})"}), 1, {"CMD_POSTERIZE"}},
        {apply({"--command", R"({"cmd": "CMD_CALL_ACTION", "actionName": "None"})"}),
         1,
         {"Not find Action!"}},
        {{"apply", folder.File("missing.png"), out}, 1, {"missing.png"}},
        {{"apply", folder.File("bare.json"), out}, 1, {"bare.json"}},
        {apply({"--commands", folder.File("missing.json")}), 1, {"missing.json"}},
        {apply({"--commands", folder.File("bare.json")}), 1, {"\"commands\""}},
        {apply({"--commands", folder.File("mixed.json")}), 1, {"not a dictionary"}},
        {actions("missing.json"), 1, {folder.File("missing.json"), "No such file or directory"}},
        {actions("folder.json"), 1, {folder.File("folder.json"), "not a regular file"}},
        {actions("text.json"), 1, {folder.File("text.json"), "holds no JSON object"}},
        {actions("bare.json"), 1, {folder.File("bare.json"), "has no \"actions\" array"}},
        {actions("scalar.json"), 1, {folder.File("scalar.json"), "has no \"actions\" array"}},
        {{"apply", in, folder.File("link.png"), "--command", zoom}, 1, {"not a regular file"}},
        {{"looks", folder.File("missing.png"), folder.File("sheet")}, 1, {"missing.png"}},
        // A name outside the vocabulary is a bad argument, refused before
        // anything runs, with the nearest names offered.
        {apply({"--command", R"({"cmd": "CMD_GREY"})"}),
         2,
         {"unknown command \"CMD_GREY\" in --command 1; closest known: CMD_GRAY"}},
        {apply({"--command", R"({"cmd": "CMD_GRAY"})", "--commands", folder.File("list.json")}),
         2,
         {"unknown command \"CMD_ZOMM\" in " + folder.File("list.json") +
          "; closest known: CMD_ZOOM"}},
        {apply({"--command", R"({"cmd": "GRAY"})"}),
         2,
         {"unknown command \"GRAY\" in --command 1; closest known: CMD_GRAY"}},
        {apply({"--command", R"({"cmd": "CMD_SHARPNESS"})"}),
         2,
         {"unknown command \"CMD_SHARPNESS\" in --command 1; closest known: CMD_SHARPEN"}},
        {apply({"--command", R"({"cmd": "cmd_gray"})"}), 2, {"closest known: CMD_GRAY"}},
        {apply({"--command", R"({"cmd": "CMD_XYZZY_PLUGH_FROBNICATE"})"}),
         2,
         {"unknown command \"CMD_XYZZY_PLUGH_FROBNICATE\" in --command 1; see vantrel commands"}},
        {apply({"--command", R"({"degrees": "90"})"}),
         2,
         {"a command without a \"cmd\" name in --command 1"}},
    };
    const std::vector<std::string> files = folder.Names();
    for (const auto& [args, status, says] : cases) {
        const Outcome outcome = RunMain(args);
        EXPECT_EQ(outcome.status, status) << says[0];
        EXPECT_EQ(outcome.err.rfind("vantrel", 0), 0u) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        for (const std::string& text : says)
            EXPECT_NE(outcome.err.find(text), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
    EXPECT_EQ(test::TextOf(out), "the old file");
    EXPECT_EQ(test::TextOf(folder.File("target.png")), "kept");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.png")));
    EXPECT_EQ(folder.Names(), files);
    // Lists of named actions keep the dispatcher's rule: unknown names pass.
    WriteText(folder.File("actions.json"),
              R"({"actions": [{"name": "Old", "commands": [{"cmd": "CMD_RETIRED"}]}]})");
    const Outcome stored = RunMain(apply({"--actions", folder.File("actions.json"), "--command",
                                          R"({"cmd": "CMD_CALL_ACTION", "actionName": "Old"})"}));
    EXPECT_EQ(stored.status, 0) << stored.err;
}

// Asking for looks larger than the picture makes them at the picture's own
// size, and says so.
TEST_F(ApplyCommandTest, LooksLargerThanThePictureAreMadeAtItsSize) {
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
        EXPECT_EQ(std::pair(look.width(), look.height()), std::pair(16, 10)) << name;
    }
    EXPECT_NE(test::TextOf(sheet + "/index.html").find("width=\"16\" height=\"10\""),
              std::string::npos);
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
    // The program's exit status is its outcome's.
    EXPECT_EQ(test::RunProgram({test::ProgramPath(), "apply", photo}), 2);
    EXPECT_EQ(test::RunProgram({test::ProgramPath(), "apply", photo, folder.File("bad.png"),
                                "--command", R"({"cmd": "CMD_POSTERIZE"})"}),
              1);

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
    // 768 x 512 cut to 600 x 400, zoomed to 450 x 300, turned to 300 x 450,
    // then the box of 30 degrees.
    EXPECT_EQ(std::pair(edited.width(), edited.height()), std::pair(484, 539));
    // What a PNG keeps of it (the corners' colour without alpha goes).
    const auto encoded = EncodePicture(edited, PictureFormat::Png);
    EXPECT_EQ(Decoded(folder.File("out.png")),
              test::BytesOf(DecodePicture(encoded.value()).value()));
}

std::optional<Invocation> Parse(std::vector<std::string_view> args, std::string* error = nullptr) {
    std::string ignored;
    return ParseArguments(args, error ? *error : ignored);
}

TEST(CliArguments, ApplyAndLooksTakeOptionsAnywhereAndCommandSourcesInOrder) {
    const auto invocation =
        Parse({"apply", "--command", R"({"cmd": "CMD_GRAY"})", "in.jpg", "--commands=a.json",
               "out.JPEG", "--param-scale", "0.25", "--quality=40", "--actions", "mine.json",
               "--commands", "b.json"});
    ASSERT_TRUE(invocation);
    const ApplyOptions& apply = invocation->apply;
    EXPECT_EQ(std::tuple(invocation->mode, apply.input, apply.output, apply.outputFormat,
                         apply.paramScale, apply.quality, apply.actionsFile),
              std::tuple(Invocation::Mode::Apply, "in.jpg", "out.JPEG", PictureFormat::Jpeg, 0.25,
                         40, "mine.json"));
    ASSERT_EQ(apply.sources.size(), 3u);
    EXPECT_EQ(apply.sources[0].kind, CommandSource::Kind::Json);
    EXPECT_EQ(apply.sources[1].text, "a.json");
    EXPECT_EQ(apply.sources[2].text, "b.json");
    // Looks takes a picture, a folder and a size.
    const auto sized = Parse({"looks", "--size=96", "in.jpg", "sheet"});
    ASSERT_TRUE(sized);
    EXPECT_EQ(
        std::tuple(sized->mode, sized->looks.input, sized->looks.outputFolder, sized->looks.size),
        std::tuple(Invocation::Mode::Looks, "in.jpg", "sheet", 96));
}

TEST(CliArguments, BadCommandLinesAreRefusedWithAReasonAndInformationFormsPrint) {
    const std::vector<std::vector<std::string_view>> bad = {
        {},
        {"frobnicate"},
        {"commands", "extra"},
        {"--version", "--help"},
        {"apply", "in.png"},
        {"apply", "in.png", "out.png", "third.png"},
        {"apply", "in.png", "out.gif"},
        {"apply", "in.png", "out"},
        {"apply", "in.png", "out.png", "--quality"},
        {"apply", "in.png", "out.png", "--quality", "0"},
        {"apply", "in.png", "out.png", "--quality", "101"},
        {"apply", "in.png", "out.png", "--quality", "9x"},
        {"apply", "in.png", "out.png", "--param-scale", "0"},
        {"apply", "in.png", "out.png", "--param-scale", "-1"},
        {"apply", "in.png", "out.png", "--param-scale", "nan"},
        {"apply", "in.png", "out.png", "--param-scale", "inf"},
        {"apply", "in.png", "out.png", "--param-scale", ""},
        {"apply", "in.png", "out.png", "--command", "CMD_GRAY"},
        {"apply", "in.png", "out.png", "--colour", "red"},
        {"looks", "in.png"},
        {"looks", "in.png", "sheet", "--size", "0"},
        {"looks", "in.png", "sheet", "--size", "-3"},
        {"looks", "in.png", "sheet", "--quality", "50"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(error.empty());
    }
    // The information forms print and succeed; a bad command line shows the usage.
    EXPECT_EQ(RunMain({"--version"}).out, "vantrel 9.8.7\n");
    EXPECT_EQ(RunMain({"commands"}).out, commandListing());
    const Outcome help = RunMain({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, UsageText());
    const Outcome refused = RunMain({"apply", "in.png"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(UsageText()), std::string::npos);
}

TEST(LooksCommand, FileNamesAreSafeAndThePageFollowsThePanels) {
    EXPECT_EQ(LookFileName("Vibrant Blue / Purple"), "Vibrant_Blue_Purple.png");
    EXPECT_EQ(LookFileName("3D Glasses"), "3D_Glasses.png");
    EXPECT_EQ(LookFileName(" ../a&b "), "a_b.png");
    // The page lists the sections in the panels' order, its text escaped.
    std::vector<SheetEntry> entries;
    for (LookSection section : kLookSections) {
        for (const LomoLook& look : LooksInSection(section)) entries.push_back({look, true});
    }
    entries[1].rendered = false;  // "Purple Vinette Middle Focus"
    const std::string page = LooksIndexHtml("a <b> & \"c\"", entries, 48, 32);
    EXPECT_NE(page.find("<title>a &lt;b&gt; &amp; &quot;c&quot;</title>"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    std::size_t at = 0;
    for (std::string_view text :
         {"<h2>Classic</h2>", "src=\"None.png\"", "Purple Vinette Middle Focus (failed)",
          "<h2>Soft</h2>", "<h2>B/W</h2>", "<h2>Other</h2>", "src=\"Vibrant_Blue_Purple.png\"",
          "alt=\"Vibrant Blue / Purple\" width=\"48\" height=\"32\"", "<h2>HDR</h2>",
          "HDR Fix Light", "HDR Fix Normal", "HDR Fix Heavy", "False HDRI"}) {
        const std::size_t found = page.find(text, at);
        ASSERT_NE(found, std::string::npos) << text << " missing or out of order";
        at = found;
    }
    EXPECT_EQ(page.find("Purple_Vinette_Middle_Focus.png"), std::string::npos);
}

// Each look is made in a worker whose random() starts where a fresh
// process's does, whatever this process drew before.
TEST(LooksCommand, WritesEveryShownLookAndThePageAndSaysWhichFailed) {
    ScratchFolder folder;
    const std::string input = test::TestDataPath("photos/kodim23.png");
    random();
    random();
    std::ostringstream out, err;
    ASSERT_EQ(RunLooks({input, folder.path(), 32}, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");

    std::set<std::string> expectedFiles = {"index.html"};
    for (const LomoLook& look : LomoLooks()) expectedFiles.insert(LookFileName(look.displayName));
    const std::vector<std::string> names = folder.Names();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expectedFiles);

    // The photo at 32 pixels high, as the command scales it.
    const auto scaled = CreateImageZoom(*BitmapFromPicture(ReadPictureFile(input).value()), 48, 32);
    EXPECT_EQ(Decoded(folder.File("None.png")), test::Pixels(*scaled));
    for (int lomo : {LE_OldSepiaBlue, LE_VibrantBluePurple, LE_HDR_Heavy}) {
        auto expected = scaled->Clone(false);
        srandom(1);
        ASSERT_EQ(ApplyLomoStyle(*expected, lomo), 1);
        const std::string file = LookFileName(FindLook(lomo)->displayName);
        EXPECT_EQ(Decoded(folder.File(file)), test::Pixels(*expected)) << file;
    }

    // At 2 pixels high LE_3DGlasses cannot centre the photo in its enlarged
    // copy: the page shows it as failed, a warning names it, the others are
    // written and the sheet is done.
    ScratchFolder tiny;
    std::ostringstream tinyOut, tinyErr;
    EXPECT_EQ(RunLooks({input, tiny.path(), 2}, tinyOut, tinyErr), 0);
    EXPECT_EQ(tinyErr.str(), "vantrel looks: warning: 3D Glasses: the look failed\n");
    EXPECT_NE(tinyOut.str().find("1 look failed"), std::string::npos) << tinyOut.str();
    // 49 pictures and the page: each look has a file name of its own.
    EXPECT_EQ(tiny.Names().size(), LomoLooks().size());
    EXPECT_NE(test::TextOf(tiny.File("index.html")).find("3D Glasses (failed)"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::cli
