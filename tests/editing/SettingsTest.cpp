#include <gtest/gtest.h>

#include "editing/Settings.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "support/RecordingUIServices.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

constexpr char kStore[] = "https://store.example/vantrel";

using test::WriteText;

std::string Plist(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
           "</dict></plist>\n";
}

class SettingsTest : public testing::Test {
protected:
    test::ScratchFolder folder;
    test::RecordingUIServices ui;
    const std::string file = folder.File(kSettingsFileName);
};

TEST_F(SettingsTest, TheRateRequestComesOnTheSixthStartOnly) {
    for (int start = 1; start <= 7; ++start) {
        // One start of the program: load, the start sequence, the move to the background.
        ui.clear();
        const std::unique_ptr<Settings> settings = Settings::loadFromFile(file);
        settings->runStartSequence(ui, kStore);
        EXPECT_EQ(settings->startCount(), start - 1) << "start " << start;
        settings->save();
        const bool asked = ui.pendingQuestion().has_value();
        EXPECT_EQ(asked, start == 6) << "start " << start;
        if (asked) {
            EXPECT_EQ(*ui.pendingQuestion(),
                      "alert([STR_THANKS] | [STR_RATEIT] | [STR_NEXT_TIME] | [STR_OK])");
            ui.answer(1);
            drainMainQueue();
            EXPECT_EQ(ui.shown().back(), std::string("openURL(") + kStore + ")");
        }
    }
}

TEST_F(SettingsTest, NextTimeOpensNothing) {
    auto settings = std::make_unique<Settings>(file);
    settings->setStartCount(5);
    settings->runStartSequence(ui, kStore);
    ASSERT_TRUE(ui.answer(0));
    drainMainQueue();
    for (const std::string& call : ui.shown()) EXPECT_EQ(call.find("openURL"), std::string::npos);
}

TEST_F(SettingsTest, TheFileHoldsExactlyTheSixKeysWithTheirKinds) {
    Settings settings(file);
    settings.setShowTips(false);
    settings.setActiveAlphaChannel(true);
    settings.setStartCount(41);
    settings.setRealTime(true);      // not stored
    settings.setOriginalScale(0.5);  // not stored
    ASSERT_TRUE(settings.save());

    // A file that does not read gives an empty list, which the count fails.
    const PropertyList list = ReadPropertyList(ReadWholeFile(file, 1 << 16).value()).value();
    const std::vector<std::pair<std::string, PropertyValue>> expected{
        {"Version", std::int64_t{203}},   {"ShowTips", false},
        {"AlwaysUseOriginalSize", false}, {"HighQualityPreview", true},
        {"EnableAlphaChannel", true},     {"StartCount", std::int64_t{41}}};
    EXPECT_EQ(list.entries().size(), expected.size());
    for (const auto& [key, value] : expected) {
        ASSERT_NE(list.find(key), nullptr) << key;
        EXPECT_EQ(*list.find(key), value) << key;
    }

    const std::unique_ptr<Settings> loaded = Settings::loadFromFile(file);
    EXPECT_TRUE(loaded->isSettingSaved());
    EXPECT_FALSE(loaded->showTips());
    EXPECT_TRUE(loaded->activeAlphaChannel());
    EXPECT_EQ(loaded->startCount(), 42);
    EXPECT_FALSE(loaded->realTime());
    EXPECT_EQ(loaded->originalScale(), 0.0);
}

TEST_F(SettingsTest, AnOldVersionIsRaisedAndItsCountReset) {
    WriteText(file, Plist("<key>Version</key><integer>150</integer><key>ShowTips</key><false/>"
                          "<key>StartCount</key><integer>4</integer>"));
    const std::unique_ptr<Settings> settings = Settings::loadFromFile(file);
    EXPECT_EQ(settings->version(), 150);
    EXPECT_FALSE(settings->showTips());
    EXPECT_EQ(settings->startCount(), 5);
    settings->runStartSequence(ui, kStore);
    EXPECT_EQ(settings->version(), 203);
    EXPECT_EQ(settings->startCount(), 0);
    EXPECT_FALSE(ui.pendingQuestion());
}

// What a file gives: the start values, with the start count as decoded.
struct FileCase {
    const char* what;
    std::string text;
    int startCount;
    bool saved;
};

class SettingsFiles : public SettingsTest, public testing::WithParamInterface<FileCase> {};

TEST_P(SettingsFiles, DamagedOrHostileFilesGiveTheStartValues) {
    WriteText(file, GetParam().text);
    const std::unique_ptr<Settings> settings = Settings::loadFromFile(file);
    EXPECT_EQ(settings->startCount(), GetParam().startCount);
    EXPECT_EQ(settings->isSettingSaved(), GetParam().saved);
    EXPECT_EQ(settings->version(), 203);
    EXPECT_TRUE(settings->showTips());
    EXPECT_TRUE(settings->highQualityPreview());
    EXPECT_FALSE(settings->alwaysUseOriginalSize());
    EXPECT_FALSE(settings->activeAlphaChannel());
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

const std::string kGoodTail =
    "<key>ShowTips</key><true/><key>HighQualityPreview</key><true/>"
    "<key>StartCount</key><integer>7</integer>";

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFiles,
    testing::Values(
        FileCase{"empty", "", 0, false}, FileCase{"not a plist", "Version=203\n", 0, false},
        FileCase{"truncated", Plist("<key>Version</key><integer>203</integer>").substr(0, 60), 0,
                 false},
        FileCase{"a list, not a dictionary", "<plist><array><integer>1</integer></array></plist>",
                 0, false},
        FileCase{"Version as text", Plist("<key>Version</key><string>203</string>" + kGoodTail), 0,
                 false},
        FileCase{"ShowTips as an integer",
                 Plist("<key>Version</key><integer>203</integer><key>ShowTips</key>"
                       "<integer>1</integer>"),
                 0, false},
        FileCase{"StartCount beyond 32 bits",
                 Plist("<key>Version</key><integer>203</integer><key>StartCount</key>"
                       "<integer>4294967296</integer>"),
                 0, false},
        FileCase{"huge", Plist(std::string(70000, ' ')), 0, false},
        FileCase{"deeply nested", Plist("<key>X</key>" + Repeated("<array>", 3000)), 0, false},
        // Version 0 reads as no file, except that the count still grows.
        FileCase{"version 0", Plist("<key>Version</key><integer>0</integer>" + kGoodTail), 1,
                 false}));

}  // namespace
}  // namespace vantrel
