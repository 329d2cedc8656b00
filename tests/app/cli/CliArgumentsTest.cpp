#include <gtest/gtest.h>

#include <vector>

#include "app/cli/CliArguments.h"

namespace vantrel::cli {
namespace {

std::optional<Invocation> Parse(std::vector<std::string_view> args, std::string* error = nullptr) {
    std::string ignored;
    return ParseArguments(args, error ? *error : ignored);
}

TEST(CliArguments, ApplyTakesOptionsAnywhereAndKeepsCommandSourcesInOrder) {
    const auto invocation =
        Parse({"apply", "--command", R"({"cmd": "CMD_GRAY"})", "in.jpg", "--commands=a.json",
               "out.JPEG", "--param-scale", "0.25", "--quality=40", "--actions", "mine.json",
               "--commands", "b.json"});
    ASSERT_TRUE(invocation);
    EXPECT_EQ(invocation->mode, Invocation::Mode::Apply);
    const ApplyOptions& apply = invocation->apply;
    EXPECT_EQ(apply.input, "in.jpg");
    EXPECT_EQ(apply.output, "out.JPEG");
    EXPECT_EQ(apply.outputFormat, PictureFormat::Jpeg);
    EXPECT_EQ(apply.paramScale, 0.25);
    EXPECT_EQ(apply.quality, 40);
    EXPECT_EQ(apply.actionsFile, "mine.json");
    ASSERT_EQ(apply.sources.size(), 3u);
    EXPECT_EQ(apply.sources[0].kind, CommandSource::Kind::Json);
    EXPECT_EQ(apply.sources[1].text, "a.json");
    EXPECT_EQ(apply.sources[2].text, "b.json");

    const auto plain = Parse({"apply", "a.png", "b.png"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->apply.outputFormat, PictureFormat::Png);
    EXPECT_EQ(plain->apply.paramScale, 1.0);
    EXPECT_EQ(plain->apply.quality, 92);
    EXPECT_TRUE(plain->apply.sources.empty());
}

TEST(CliArguments, LooksTakesAPictureAFolderAndASize) {
    const auto sized = Parse({"looks", "--size=96", "in.jpg", "sheet"});
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->mode, Invocation::Mode::Looks);
    EXPECT_EQ(sized->looks.input, "in.jpg");
    EXPECT_EQ(sized->looks.outputFolder, "sheet");
    EXPECT_EQ(sized->looks.size, 96);
    EXPECT_EQ(Parse({"looks", "in.png", "out"})->looks.size, 256);
}

TEST(CliArguments, BadCommandLinesAreRefusedWithAReason) {
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
}

}  // namespace
}  // namespace vantrel::cli
