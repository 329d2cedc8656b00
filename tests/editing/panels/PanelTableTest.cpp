#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/CliMain.h"
#include "commands/Json.h"
#include "editing/EffectPanelHost.h"
#include "editing/LocalizedStrings.h"
#include "editing/panels/PanelSchema.h"
#include "editing/panels/PanelSpec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

std::vector<std::string> MenuTitles(Menu menu) {
    std::vector<std::string> titles;
    for (const PanelSpec& panel : PanelTable()) {
        if (panel.menu == menu) titles.emplace_back(panel.titleKey);
    }
    return titles;
}

std::vector<std::string> Prefixed(std::initializer_list<const char*> names) {
    std::vector<std::string> titles;
    for (const char* name : names) titles.push_back(std::string("STR_MENU_") + name);
    return titles;
}

TEST(PanelTable, FourMenusHoldTheThirtyFivePanelsInOrder) {
    EXPECT_EQ(MenuTitles(Menu::Colour),
              Prefixed({"SIMPLECOLOR", "POSTERIZE", "THRESHOLD", "EQUALIZE", "AUTOLEVELS",
                        "SHADOWRECOVERY", "CURVE", "HSL", "SELECTIVECOLOR", "CHANNELMIXER",
                        "COLORLEVELS", "COLORBALANCE", "EXPOSURE", "BRIGHTNESS"}));
    EXPECT_EQ(MenuTitles(Menu::Fix),
              Prefixed({"GRADIENT", "SOFTGLOW", "REDEYERM", "SHARPEN", "GAUSSIANBLUR", "RADIALBLUR",
                        "REDUCENOISE", "ADDNOISE", "BOKEH"}));
    EXPECT_EQ(MenuTitles(Menu::Filter), Prefixed({"LOMO", "HDR", "RETINEX", "PAINTING", "EMBOSS",
                                                  "SKETCH", "DOT", "MOSAICS", "DIFFUSE"}));
    EXPECT_EQ(MenuTitles(Menu::Edit), Prefixed({"FLIP", "CLIP", "ROTATE"}));
    EXPECT_EQ(PanelTable().size(), 35u);
}

TEST(PanelTable, EveryPanelIsInTheStandardRegistry) {
    for (const PanelSpec& panel : PanelTable()) {
        EXPECT_TRUE(EffectPanelRegistry::standard().contains(panel.titleKey)) << panel.titleKey;
    }
}

// Keys unique, defaults inside their ranges, one item per choice, rules
// that name controls of the same panel.
TEST(PanelTable, EveryControlIsWellFormed) {
    for (const PanelSpec& panel : PanelTable()) {
        SCOPED_TRACE(panel.titleKey);
        std::set<std::string_view> keys;
        EXPECT_TRUE(panel.make != nullptr);
        EXPECT_FALSE(panel.commands.empty());
        EXPECT_GE(panel.flags.imageSizeScale, 1.0f);
        for (const ControlSpec& control : panel.controls) {
            SCOPED_TRACE(control.key);
            EXPECT_TRUE(keys.insert(control.key).second);
            EXPECT_TRUE(control.title.starts_with("STR_"));
            EXPECT_LE(control.minimum, control.defaultValue);
            EXPECT_LE(control.defaultValue, control.maximum);
            if (!control.items.empty()) {
                EXPECT_EQ(control.items.size(), std::size_t(control.maximum - control.minimum + 1));
            }
            for (const EnableRule& rule : control.enabledWhen) {
                EXPECT_GE(panel.controlIndex(rule.control), 0) << rule.control;
            }
            for (const RangeRule& rule : control.ranges) {
                const ControlSpec* toggle = panel.control(rule.toggle);
                ASSERT_NE(toggle, nullptr);
                EXPECT_EQ(toggle->kind, ControlKind::Toggle);
            }
        }
    }
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every STR_ key the program's sources name, and every key the panels show,
// has an English text.
TEST(LocalizedStrings, EveryKeyInTheSourcesHasAnEnglishText) {
    const LocalizedStrings& english = LocalizedStrings::english();
    ASSERT_GT(english.size(), 100u);
    std::set<std::string> keys;
    for (std::string_view key : PanelStringKeys()) keys.emplace(key);
    const std::regex literal("\"(STR_[A-Z0-9_]*[A-Z0-9])\"");
    for (const char* folder : {"editing", "commands", "app", "platform", "Share"}) {
        const std::filesystem::path root = std::filesystem::path(test::SourcePath(folder));
        if (!std::filesystem::exists(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string text = ReadFile(entry.path());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
                keys.insert((*it)[1]);
            }
        }
    }
    for (const std::string& key : keys) EXPECT_TRUE(english.contains(key)) << key;
}

TEST(LocalizedStrings, AKeyWithoutATextShowsTheKey) {
    const LocalizedStrings strings =
        LocalizedStrings::fromJson(R"({"STR_A": "Apple", "STR_B": 2, "STR_C": ["x"]})");
    EXPECT_EQ(strings.text("STR_A"), "Apple");
    EXPECT_EQ(strings.text("STR_B"), "STR_B");
    EXPECT_EQ(strings.text("STR_MISSING"), "STR_MISSING");
    EXPECT_EQ(LocalizedStrings::fromJson("no json").size(), 0u);
}

// `vantrel panels` prints JSON that reads back into the table's shape.
TEST(PanelSchema, VantrelPanelsPrintsTheTableAsJson) {
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> args{"panels"};
    ASSERT_EQ(cli::Main(args, "test", out, err), 0) << err.str();
    const std::optional<Dictionary> schema = dictionaryWithJSONString(out.str());
    ASSERT_TRUE(schema.has_value());
    const Array& menus = *schema->find("menus")->array();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[3].dictionary()->find("barItem")->stringValue(), "sizeMenuItem");
    const Array& panels = *schema->find("panels")->array();
    ASSERT_EQ(panels.size(), 35u);
    const Dictionary& hsl = *panels[7].dictionary();
    EXPECT_EQ(hsl.find("class")->stringValue(), "HSLEffectsToolView");
    const Dictionary& hue = *(*hsl.find("controls")->array())[1].dictionary();
    EXPECT_EQ(hue.find("key")->stringValue(), "hue");
    EXPECT_EQ(hue.find("minimum")->stringValue(), "-180");
    const Dictionary& colorized = *(*hue.find("ranges")->array())[0].dictionary();
    EXPECT_EQ(colorized.find("maximum")->stringValue(), "360");
    const Dictionary& flags = *(*panels[23].dictionary()).find("flags")->dictionary();  // LOMO
    EXPECT_EQ(flags.find("waitPanelStyle")->stringValue(), "1");
    EXPECT_FALSE(flags.find("waitPanelMaskEnabled")->boolValue());
    EXPECT_EQ(schema->find("looks")->array()->size(), 5u);
}

}  // namespace
}  // namespace vantrel
