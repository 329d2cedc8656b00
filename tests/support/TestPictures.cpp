#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantrel::test {

Picture MakePicture(int width, int height, const std::function<Rgba(int x, int y)>& rule) {
    PixelBuffer buffer = PixelBuffer::Allocate(width, height);
    EXPECT_FALSE(buffer.empty());
    if (buffer.empty()) return Picture();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba pixel = rule(x, y);
            std::memcpy(buffer.data() + (static_cast<size_t>(y) * width + x) * 4, pixel.data(), 4);
        }
    }
    return buffer.Finish();
}

Rgba PixelOf(const Picture& picture, int x, int y) {
    Rgba pixel{};
    std::memcpy(pixel.data(), picture.pixel(x, y), 4);
    return pixel;
}

std::vector<std::uint8_t> BytesOf(const Picture& picture) {
    if (picture.empty()) return {};
    return std::vector<std::uint8_t>(picture.data(), picture.data() + picture.byteCount());
}

// The build's folders come in on this file alone, so that every other file
// compiles the same in any checkout (and a compiler cache can share it).
std::string TestDataPath(const std::string& relative) {
    return std::string(VANTREL_TESTDATA_DIR) + "/" + relative;
}

std::string SourcePath(const std::string& relative) {
    return std::string(VANTREL_SOURCE_DIR) + "/" + relative;
}

std::string ProgramPath() {
    return VANTREL_BINARY;
}

std::vector<unsigned char> ReadTestData(const std::string& relative) {
    std::ifstream file(TestDataPath(relative), std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing test file " << relative;
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "can not make a scratch folder";
    m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vantrel::test
