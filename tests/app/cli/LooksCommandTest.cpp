#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "Core/base/Zoom.h"
#include "app/cli/LooksCommand.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"
#include "platform/PictureCodec.h"
#include "support/CliRun.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel::cli {
namespace {

using test::Decoded;
using test::ScratchFolder;

TEST(LooksCommand, FileNamesAreSafeAndDistinct) {
    EXPECT_EQ(LookFileName("Vibrant Blue / Purple"), "Vibrant_Blue_Purple.png");
    EXPECT_EQ(LookFileName("3D Glasses"), "3D_Glasses.png");
    EXPECT_EQ(LookFileName(" ../a&b "), "a_b.png");
    std::set<std::string> names;
    for (const LomoLook& look : LomoLooks()) {
        EXPECT_TRUE(names.insert(LookFileName(look.displayName)).second) << look.displayName;
    }
}

TEST(LooksCommand, PageListsSectionsInPanelOrderWithEscapedText) {
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
TEST(LooksCommand, WritesEveryShownLookAndThePage) {
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
}

// At 2 pixels high LE_3DGlasses cannot centre the photo in its enlarged
// copy: the page shows it as failed, a warning names it, the others are
// written and the sheet is done.
TEST(LooksCommand, ALookThatFailsIsShownOnThePageWithAWarning) {
    ScratchFolder folder;
    std::ostringstream out, err;
    EXPECT_EQ(RunLooks({test::TestDataPath("photos/kodim23.png"), folder.path(), 2}, out, err), 0);
    EXPECT_EQ(err.str(), "vantrel looks: warning: 3D Glasses: the look failed\n");
    EXPECT_NE(out.str().find("1 look failed"), std::string::npos) << out.str();
    EXPECT_EQ(folder.Names().size(), LomoLooks().size());  // 49 pictures and the page
    EXPECT_NE(test::TextOf(folder.File("index.html")).find("3D Glasses (failed)"),
              std::string::npos);
}

}  // namespace
}  // namespace vantrel::cli
