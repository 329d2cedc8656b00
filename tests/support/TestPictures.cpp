#include "support/TestPictures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

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

Picture PhotoPicture(int width, int height) {
    return MakePicture(width, height, [width, height](int x, int y) {
        const int texture = ((x * 7) ^ (y * 13)) & 15;
        return Rgba{static_cast<std::uint8_t>(x * 200 / width + texture),
                    static_cast<std::uint8_t>(y * 200 / height + texture),
                    static_cast<std::uint8_t>((x + y) * 100 / (width + height) + 60), 255};
    });
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

namespace {

// The four bytes of `value`, most significant first.
std::array<unsigned char, 4> BigEndian(std::uint32_t value) {
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
            std::uint8_t(value)};
}

}  // namespace

Bytes PngChunk(const std::string& type, const Bytes& data) {
    // The length, the type, the data, and the CRC of the type and the data.
    Bytes chunk(4 + type.size() + data.size() + 4);
    const auto length = BigEndian(static_cast<std::uint32_t>(data.size()));
    std::copy(length.begin(), length.end(), chunk.begin());
    std::copy(data.begin(), data.end(), std::copy(type.begin(), type.end(), chunk.begin() + 4));
    const auto crc = BigEndian(static_cast<std::uint32_t>(crc32(0, &chunk[4], chunk.size() - 8)));
    std::copy(crc.begin(), crc.end(), chunk.end() - 4);
    return chunk;
}

Bytes PngFile(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
              const Bytes& samples, const std::vector<Bytes>& chunks) {
    const auto wide = BigEndian(width), high = BigEndian(height);
    Bytes header(wide.begin(), wide.end()), rows;
    header.insert(header.end(), high.begin(), high.end());
    header.insert(header.end(), {std::uint8_t(bitDepth), std::uint8_t(colourType), 0, 0, 0});
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
    const std::size_t stride = (std::size_t{width} * channels[colourType] * bitDepth + 7) / 8;
    for (std::size_t at = 0; at + stride <= samples.size(); at += stride) {
        rows.push_back(0);  // no filter
        rows.insert(rows.end(), samples.begin() + at, samples.begin() + at + stride);
    }
    Bytes deflated(compressBound(rows.size()));
    uLongf size = deflated.size();
    EXPECT_EQ(compress(deflated.data(), &size, rows.data(), rows.size()), Z_OK);
    deflated.resize(size);
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<Bytes> all = {PngChunk("IHDR", header)};
    all.insert(all.end(), chunks.begin(), chunks.end());
    all.insert(all.end(), {PngChunk("IDAT", deflated), PngChunk("IEND", {})});
    for (const Bytes& chunk : all) file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

Bytes OrientationTiff(int orientation) {
    return {'M',  'M',  0, 42, 0, 0, 0, 8, 0, 1,
            0x01, 0x12, 0, 3,  0, 0, 0, 1, 0, std::uint8_t(orientation),
            0,    0,    0, 0,  0, 0};
}

Bytes JpegSegment(unsigned char marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes segment = {0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)};
    segment.resize(2 + length);  // the length counts itself, not the marker
    std::copy(payload.begin(), payload.end(), segment.begin() + 4);
    return segment;
}

unsigned PermissionsOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
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
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vantrel::test
