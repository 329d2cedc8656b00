#include <gtest/gtest.h>

#include <cstring>

#include "Core/base/GradientMask.h"
#include "editing/GradientImage.h"

namespace vantrel {
namespace {

TEST(GradientImage, DrawsThePresetAsTheRendererDoes) {
    const GradientImage image(7);
    const Picture picture = image.getImageBySize(Size{40.9f, 12.2f});
    ASSERT_FALSE(picture.empty());
    ASSERT_EQ(picture.width(), 40);
    ASSERT_EQ(picture.height(), 12);
    const auto expected = CreateGradientPresetBitmap(7, 40, 12);
    ASSERT_TRUE(expected);
    EXPECT_EQ(0, std::memcmp(picture.data(), expected->GetData(), 40 * 12 * 4));
    EXPECT_EQ(picture.data()[3], 255) << "opaque";
}

TEST(GradientImage, GivesNoPictureForNoPresetOrNoPixels) {
    EXPECT_TRUE(GradientImage(13).getImageBySize(Size{8, 8}).empty());
    EXPECT_TRUE(GradientImage(-1).getImageBySize(Size{8, 8}).empty());
    EXPECT_TRUE(GradientImage(0).getImageBySize(Size{0.5f, 8}).empty());
    EXPECT_TRUE(GradientImage(0).getImageBySize(Size{1e9f, 1e9f}).empty());
}

}  // namespace
}  // namespace vantrel
