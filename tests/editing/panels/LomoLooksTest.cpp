#include <gtest/gtest.h>

#include <set>

#include "commands/NameTables.h"
#include "editing/panels/LomoLooks.h"

namespace vantrel {
namespace {

// Each section's positions run 1, 2, ... with no gap or repeat, every shown
// style appears once, and only the four command-only styles are missing.
TEST(LomoLooks, PanelsShowFiftyLooksEachOnceInGaplessPositions) {
    std::set<int> shown;
    std::size_t total = 0;
    for (LookSection section : kLookSections) {
        const std::vector<LomoLook> looks = LooksInSection(section);
        for (std::size_t i = 0; i < looks.size(); ++i) {
            EXPECT_EQ(looks[i].position, static_cast<int>(i) + 1) << SectionTitle(section);
            EXPECT_TRUE(shown.insert(looks[i].lomo).second) << looks[i].displayName;
            const LomoLook* found = FindLook(looks[i].lomo);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->displayName, looks[i].displayName);
        }
        total += looks.size();
    }
    EXPECT_EQ(total, 50u);
    EXPECT_EQ(total, LomoLooks().size());
    for (int hidden : {LE_CLASSIC, LE_ContrastRoomGlow, LE_SoftCreamFill, LE_SmartBW1}) {
        EXPECT_EQ(shown.count(hidden), 0u);
        EXPECT_EQ(FindLook(hidden), nullptr);
    }
}

TEST(LomoLooks, SectionsInPanelOrder) {
    EXPECT_EQ(LooksInSection(LookSection::kClassic).size(), 15u);
    EXPECT_EQ(LooksInSection(LookSection::kSoft).front().displayName, "Amatorka");
    EXPECT_EQ(LooksInSection(LookSection::kBlackWhite).back().displayName, "Beauty Glow");
    EXPECT_EQ(LooksInSection(LookSection::kOther)[8].displayName, "Vibrant Blue / Purple");
    const std::vector<LomoLook> hdr = LooksInSection(LookSection::kHDR);
    ASSERT_EQ(hdr.size(), 4u);
    EXPECT_EQ(hdr[0].lomo, LE_HDR_Fix_Light);
    EXPECT_EQ(hdr[3].lomo, LE_FalseHDRI);
    EXPECT_EQ(SectionTitle(LookSection::kBlackWhite), "B/W");
}

}  // namespace
}  // namespace vantrel
