#include <gtest/gtest.h>

#include "platform/PictureCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Rgba;

TEST(PictureCodec, FormatsAreToldBySignatureAndByExtension) {
    EXPECT_EQ(SniffPictureFormat(test::ReadTestData("pngsuite/basn0g08.png")), PictureFormat::Png);
    EXPECT_EQ(SniffPictureFormat(test::ReadTestData("photos/canon_hdr_NO.jpg")),
              PictureFormat::Jpeg);
    EXPECT_EQ(SniffPictureFormat(std::vector<unsigned char>{'G', 'I', 'F', '8', '9', 'a'}),
              std::nullopt);
    EXPECT_EQ(SniffPictureFormat({}), std::nullopt);
    EXPECT_EQ(PictureFormatForPath("out/Photo.PNG"), PictureFormat::Png);
    EXPECT_EQ(PictureFormatForPath("a.jpg"), PictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatForPath("a.JPEG"), PictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatForPath("a.gif"), std::nullopt);
    EXPECT_EQ(PictureFormatForPath("png"), std::nullopt);
    EXPECT_FALSE(DecodePicture(std::vector<unsigned char>{'G', 'I', 'F'}).ok());
}

TEST(PictureCodec, PicturesWrittenToFilesReadBackInTheirFormat) {
    test::ScratchFolder folder;
    const Picture picture = test::MakePicture(32, 24, [](int x, int y) {
        return Rgba{std::uint8_t(x * 6), std::uint8_t(y * 8), 90, std::uint8_t(x < 16 ? 255 : 200)};
    });
    ASSERT_TRUE(WritePictureFile(picture, folder.File("a.png")).ok());
    const Result<Picture> png = ReadPictureFile(folder.File("a.png"));
    ASSERT_TRUE(png.ok()) << png.error();
    EXPECT_EQ(test::BytesOf(png.value()), test::BytesOf(picture));

    ASSERT_TRUE(WritePictureFile(picture, folder.File("a.jpeg"), 90).ok());
    const Result<Picture> jpeg = ReadPictureFile(folder.File("a.jpeg"));
    ASSERT_TRUE(jpeg.ok()) << jpeg.error();
    EXPECT_EQ(jpeg.value().width(), 32);
    EXPECT_EQ(test::PixelOf(jpeg.value(), 5, 5)[3], 255);

    EXPECT_FALSE(WritePictureFile(picture, folder.File("a.gif")).ok());
    EXPECT_FALSE(WritePictureFile(picture, folder.File("b.jpg"), 0).ok());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.jpeg", "a.png"}));
}

TEST(PictureCodec, ReadErrorsNameTheFile) {
    test::ScratchFolder folder;
    const Result<Picture> missing = ReadPictureFile(folder.File("gone.png"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("gone.png"), std::string::npos) << missing.error();
    const Result<Picture> corrupt = ReadPictureFile(test::TestDataPath("pngsuite/xcsn0g01.png"));
    EXPECT_FALSE(corrupt.ok());
    EXPECT_NE(corrupt.error().find("xcsn0g01.png"), std::string::npos) << corrupt.error();
}

}  // namespace
}  // namespace vantrel
