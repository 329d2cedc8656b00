// The random-number filters give the same picture in every fresh process:
// the program never seeds random(). The test runs this test binary again,
// twice, as a child that applies the filters before anything else draws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Core/filter/Diffuse.h"
#include "Core/filter/Noise.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

constexpr const char kOutputVariable[] = "VANTREL_FRESH_PROCESS_OUTPUT";

// Colour grain, monochrome grain, then diffusion, one after the other, as the
// first draws of the process.
std::vector<std::uint8_t> ApplyRandomFilters() {
    test::Bitmap bitmap = test::Gradient(23, 17, TiRGBABpp);
    AddNoise(*bitmap, 5, true);
    AddNoise(*bitmap, 3, false);
    Diffuse(*bitmap, 1, 3);
    return test::Pixels(*bitmap);
}

// In the child, this runs before main, writes the picture and ends the
// process, so that nothing else has drawn a number first.
const bool kChildWroteAndExited = [] {
    const char* path = std::getenv(kOutputVariable);
    if (!path) return false;
    const std::vector<std::uint8_t> pixels = ApplyRandomFilters();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    std::_Exit(0);
}();

std::vector<std::uint8_t> RunFreshProcess(const std::string& output) {
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) return {};
    std::remove(output.c_str());
    const std::string command = std::string(kOutputVariable) + "='" + output + "' '" +
                                std::string(self, length) + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(output, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(RandomFilters, AFreshProcessAlwaysGivesTheSamePicture) {
    ASSERT_FALSE(kChildWroteAndExited);
    const std::string output =
        testing::TempDir() + "vantrel_fresh_process_" + std::to_string(getpid());
    const std::vector<std::uint8_t> first = RunFreshProcess(output);
    const std::vector<std::uint8_t> second = RunFreshProcess(output);
    std::remove(output.c_str());
    ASSERT_EQ(first.size(), 23u * 17u * 4u) << "the child wrote no picture";
    EXPECT_EQ(first, second);
    EXPECT_NE(first, test::Pixels(*test::Gradient(23, 17, TiRGBABpp)));

    // An unseeded random() runs as if seeded with 1; here too the filters
    // must give the child's picture, so they never seed it themselves.
    srandom(1);
    EXPECT_EQ(ApplyRandomFilters(), first);
}

}  // namespace
}  // namespace vantrel
