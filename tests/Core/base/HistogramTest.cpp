#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "Core/base/Histogram.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

TEST(Histogram, CountsChannelsAndDisplayGray) {
    auto bitmap = test::MakeBitmap(2, 1, 4, [](int x, int, int c) -> std::uint8_t {
        if (c == 3) return 9;
        return (x == 0 && c == 0) || (x == 1 && c == 2) ? 255 : 0;
    });
    const auto h = ComputeHistogram(*bitmap);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->redCounts[255], 1);
    EXPECT_EQ(h->redCounts[0], 1);
    EXPECT_EQ(h->blueCounts[255], 1);
    EXPECT_EQ(h->blueCounts[0], 1);
    EXPECT_EQ(h->greenCounts[0], 2);
    EXPECT_EQ(h->lumCounts[54], 1);
    EXPECT_EQ(h->lumCounts[18], 1);
    EXPECT_EQ(std::vector<int>(h->maxCount, h->maxCount + 4), (std::vector<int>{1, 1, 2, 1}));
    EXPECT_EQ(std::accumulate(h->lumCounts, h->lumCounts + 256, 0), 2);
}

TEST(Histogram, GrayIsRoundedInDouble) {
    // 14 * 0.7152 + 76 * 0.0722 + 0.5 is just below 16 in double (16 in float).
    auto bitmap = test::Constant(3, 1, 3, {0, 14, 76});
    const auto h = ComputeHistogram(*bitmap);
    EXPECT_EQ(h->lumCounts[15], 3);
    EXPECT_EQ(h->maxCount[0], 3);
    auto white = test::Constant(1, 1, 3, {255, 255, 255});
    EXPECT_EQ(ComputeHistogram(*white)->lumCounts[255], 1);
}

TEST(Histogram, ChannelNumbersPutGrayFirst) {
    const auto h = ComputeHistogram(*test::Gradient(7, 5, 3));
    EXPECT_EQ(h->getValues(0), h->lumCounts);
    EXPECT_EQ(h->getValues(1), h->redCounts);
    EXPECT_EQ(h->getValues(2), h->greenCounts);
    EXPECT_EQ(h->getValues(3), h->blueCounts);
    for (int channel : {4, -1}) {
        test::ExpectAssertion([&] { h->getValues(channel); }, "false", "getValues",
                              "Core/base/Histogram.h", 35);
    }
}

TEST(Histogram, ViewsBandsAndEmptyOrUnsupportedBitmaps) {
    // Large enough to be counted in bands on several threads.
    const auto photo = test::Noise(900, 700, 4, 8);
    const auto region = photo->GetBitmapDataFromRect(100, 50, 600, 500);
    const auto h = ComputeHistogram(*region);
    const auto packed = ComputeHistogram(*region->Clone(false));
    EXPECT_EQ(0, std::memcmp(h.get(), packed.get(), sizeof(TiHistogram)));
    for (int channel = 0; channel < 4; ++channel) {
        const std::int32_t* v = h->getValues(channel);
        EXPECT_EQ(std::accumulate(v, v + 256, 0), 600 * 500);
        EXPECT_EQ(*std::max_element(v, v + 256), h->maxCount[channel]);
    }
    const auto whole = ComputeHistogram(*photo);
    EXPECT_NE(0, std::memcmp(h.get(), whole.get(), sizeof(TiHistogram)));

    auto empty = test::Constant(0, 0, 3, {0, 0, 0});
    const auto none = ComputeHistogram(*empty);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->maxCount[0], 0);
    EXPECT_EQ(std::accumulate(none->redCounts, none->redCounts + 256, 0), 0);
    EXPECT_FALSE(ComputeHistogram(*test::Gradient(3, 3, 1)));
}

}  // namespace
}  // namespace vantrel
