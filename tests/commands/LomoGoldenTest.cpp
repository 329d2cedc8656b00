// Every lomo look on one small photo, byte for byte against the pictures
// stored in tests/golden/lomo. Run with VANTREL_REGENERATE_GOLDEN=1 to write
// them (and the input) afresh; see tests/golden/lomo/README.md.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Core/base/Zoom.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"
#include "platform/Picture.h"
#include "platform/PictureCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

const std::string kGoldenFolder = std::string(VANTREL_SOURCE_DIR) + "/tests/golden/lomo/";
constexpr int kInputWidth = 96;
constexpr int kInputHeight = 64;

bool Regenerating() {
    const char* flag = std::getenv("VANTREL_REGENERATE_GOLDEN");
    return flag && std::string(flag) == "1";
}

std::string GoldenFile(int style) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d_", style);
    return kGoldenFolder + number + std::string(kLomoNames[style]) + ".png";
}

// The input: the parrots photo scaled down by 8 with the zoom operation.
void WriteInput() {
    Result<Picture> photo = ReadPictureFile(test::TestDataPath("photos/kodim23.png"));
    ASSERT_TRUE(photo.ok()) << photo.error();
    auto source = BitmapFromPicture(photo.value());
    ASSERT_TRUE(source);
    auto small = CreateImageZoom(*source, kInputWidth, kInputHeight);
    ASSERT_TRUE(small);
    ASSERT_TRUE(WritePictureFile(PictureFromBitmap(*small), kGoldenFolder + "input.png").ok());
}

TEST(LomoGolden, EveryStyleMatchesItsStoredPicture) {
    if (Regenerating()) WriteInput();
    Result<Picture> input = ReadPictureFile(kGoldenFolder + "input.png");
    ASSERT_TRUE(input.ok()) << input.error();
    ASSERT_EQ(input.value().width(), kInputWidth);
    for (int style = 0; style < static_cast<int>(kLomoStyleCount); ++style) {
        auto bitmap = BitmapFromPicture(input.value());
        ASSERT_TRUE(bitmap);
        srandom(1);
        ASSERT_EQ(ApplyLomoStyle(*bitmap, style), 1) << kLomoNames[style];
        const Picture result = PictureFromBitmap(*bitmap);
        if (Regenerating()) {
            ASSERT_TRUE(WritePictureFile(result, GoldenFile(style)).ok());
            continue;
        }
        Result<Picture> expected = ReadPictureFile(GoldenFile(style));
        ASSERT_TRUE(expected.ok()) << expected.error();
        EXPECT_EQ(test::BytesOf(result), test::BytesOf(expected.value())) << kLomoNames[style];
    }
}

}  // namespace
}  // namespace vantrel
