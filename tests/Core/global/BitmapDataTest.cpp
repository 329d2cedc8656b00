#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "Core/global/BitmapData.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::ExpectAssertion;

TEST(BitmapData, ConstructorStoresFieldsAndChecksItsPreconditions) {
    auto* buffer = static_cast<unsigned char*>(std::malloc(64));
    TiBitmapData gray(buffer, 7, 5, 8, 1, true);
    EXPECT_EQ(gray.GetData(), buffer);
    EXPECT_EQ(gray.GetWidth(), 7);
    EXPECT_EQ(gray.GetHeight(), 5);
    EXPECT_EQ(gray.GetSize(), 35);
    EXPECT_EQ(gray.GetPitch(), 8);
    EXPECT_EQ(gray.GetBpp(), 1);

    unsigned char byte = 0;
    ExpectAssertion([&] { TiBitmapData(nullptr, 1, 1, 4, 4, false); }, "buf", "TiBitmapData",
                    "Core/global/BitmapData", 8);
    ExpectAssertion([&] { TiBitmapData(&byte, 1, 1, 2, 2, false); },
                    "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", "TiBitmapData",
                    "Core/global/BitmapData", 9);
}

TEST(BitmapData, ViewSharesPixelsAndPitchWithItsParent) {
    Bitmap parent = test::Gradient(100, 80, TiRGBABpp);
    auto view = parent->GetBitmapDataFromRect(10, 20, 30, 40);
    EXPECT_EQ(view->GetPitch(), 400);
    EXPECT_EQ(view->GetSize(), 1200);
    EXPECT_FALSE(view->OwnsData());
    EXPECT_EQ(view->GetData(), parent->GetPixel(10, 20));

    view->GetPixel(0, 0)[1] = 77;
    EXPECT_EQ(parent->GetPixel(10, 20)[1], 77);
    view.reset();
    EXPECT_EQ(parent->GetPixel(10, 20)[1], 77) << "deleting a view leaves the parent's buffer";
}

TEST(BitmapData, PixelAndViewOriginsMustLieInside) {
    Bitmap bitmap = test::Gradient(4, 3, TiRGBBpp);
    const std::string header = "Core/global/BitmapData.h";
    ExpectAssertion([&] { bitmap->GetPixel(4, 0); }, "x >=0 && x < m_width", "GetPixel", header,
                    85);
    ExpectAssertion([&] { bitmap->GetPixel(0, -1); }, "y >=0 && y < m_height", "GetPixel", header,
                    86);
    ExpectAssertion([&] { bitmap->GetBitmapDataFromRect(-1, 0, 1, 1); }, "x >= 0 && x < m_width",
                    "GetBitmapDataFromRect", header, 151);
    ExpectAssertion([&] { bitmap->GetBitmapDataFromRect(0, 3, 1, 1); }, "y >= 0 && y < m_height",
                    "GetBitmapDataFromRect", header, 152);
    EXPECT_EQ(bitmap->GetPixel(3, 2), bitmap->GetData() + 2 * 12 + 3 * 3);
}

TEST(BitmapData, CenterRectIsCentredAndItsHeightMustBeSmaller) {
    Bitmap bitmap = test::Gradient(101, 101, 1);
    auto view = bitmap->GetBitmapDataFromCenterRect(50, 50);
    EXPECT_EQ(view->GetData(), bitmap->GetPixel(25, 25));

    auto fullWidth = bitmap->GetBitmapDataFromCenterRect(101, 99);
    EXPECT_EQ(fullWidth->GetData(), bitmap->GetPixel(0, 1));

    const std::string header = "Core/global/BitmapData.h";
    ExpectAssertion([&] { bitmap->GetBitmapDataFromCenterRect(101, 101); },
                    "height > 0 && height < m_height", "GetBitmapDataFromCenterRect", header, 161);
    ExpectAssertion([&] { bitmap->GetBitmapDataFromCenterRect(102, 10); },
                    "width > 0 && width <= m_width", "GetBitmapDataFromCenterRect", header, 160);
    ExpectAssertion([&] { bitmap->GetBitmapDataFromCenterRect(0, 10); },
                    "width > 0 && width <= m_width", "GetBitmapDataFromCenterRect", header, 160);
}

TEST(BitmapData, PackedCloneOfAViewHoldsExactlyTheRegion) {
    Bitmap parent = test::Noise(100, 80, TiRGBABpp);
    auto view = parent->GetBitmapDataFromRect(10, 20, 30, 40);
    Bitmap copy = view->Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->OwnsData());
    EXPECT_EQ(copy->GetPitch(), 120);
    EXPECT_EQ(test::Pixels(*copy), test::Pixels(*view));
    EXPECT_NE(copy->GetData(), view->GetData());
}

TEST(BitmapData, CloneKeepingPitchOfAPackedBitmapIsByteIdentical) {
    for (int bpp : {1, 3, 4}) {
        Bitmap bitmap = test::Noise(13, 7, bpp);
        Bitmap copy = bitmap->Clone();
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->GetPitch(), bitmap->GetPitch());
        EXPECT_EQ(test::Buffer(*copy), test::Buffer(*bitmap)) << "bpp " << bpp;
    }
}

// A view at the parent's bottom-right corner ends exactly at the end of the
// parent's buffer: keeping its pitch must not read past it.
TEST(BitmapData, CloneKeepingPitchOfABottomRightViewStaysInsideItsParent) {
    const int width = 9, height = 6, bpp = 4, pitch = width * bpp;
    const size_t bytes = static_cast<size_t>(pitch) * height;
    auto* data = static_cast<unsigned char*>(std::malloc(bytes));
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<unsigned char>(i * 7 + 1);
    TiBitmapData parent(data, width, height, pitch, bpp, true);

    auto view = parent.GetBitmapDataFromRect(5, 3, 4, 3);
    Bitmap copy = view->Clone(true);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->GetPitch(), pitch);
    const size_t span = 2 * pitch + 4 * bpp;
    EXPECT_EQ(0, std::memcmp(copy->GetData(), view->GetData(), span));
    for (size_t i = span; i < static_cast<size_t>(3 * pitch); ++i) {
        ASSERT_EQ(copy->GetData()[i], 0) << "tail byte " << i;
    }
    EXPECT_EQ(test::Pixels(*copy), test::Pixels(*view));
}

TEST(BitmapData, CloneReturnsNullWhenMemoryCannotBeHad) {
    Bitmap bitmap = test::Gradient(5, 5, 3);
    for (bool keepPitch : {false, true}) {
        TiMemoryTestHook::FailAllocation(1);
        EXPECT_EQ(bitmap->Clone(keepPitch), nullptr);
        TiMemoryTestHook::Reset();
    }
}

TEST(BitmapData, TakeOverSwapsInTheOtherBufferAndKeepsTheRecord) {
    Bitmap target = test::Gradient(4, 4, 4);
    Bitmap source = test::Noise(3, 2, 3);
    const std::vector<std::uint8_t> pixels = test::Pixels(*source);
    TiBitmapData* record = target.get();
    target->TakeOver(*source);
    EXPECT_EQ(target.get(), record);
    EXPECT_EQ(target->GetWidth(), 3);
    EXPECT_EQ(target->GetHeight(), 2);
    EXPECT_EQ(target->GetSize(), 6);
    EXPECT_EQ(target->GetBpp(), 3);
    EXPECT_TRUE(target->OwnsData());
    EXPECT_FALSE(source->OwnsData());
    EXPECT_EQ(test::Pixels(*target), pixels);
}

}  // namespace
}  // namespace vantrel
