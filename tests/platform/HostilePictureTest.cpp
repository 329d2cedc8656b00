// Picture files made to cost memory: chunks and markers that declare far
// more than the file holds, or that inflate to far more than they hold.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/JpegCodec.h"
#include "platform/PngCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kFewMegabytes = std::size_t{4} << 20;

void PutBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

// A PNG chunk with its CRC.
Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes chunk;
    chunk.reserve(12 + data.size());
    PutBigEndian(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    PutBigEndian(chunk, static_cast<std::uint32_t>(crc));
    return chunk;
}

Bytes PngStart() {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    PutBigEndian(header, 1);
    PutBigEndian(header, 1);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced
    const Bytes ihdr = Chunk("IHDR", header);
    file.insert(file.end(), ihdr.begin(), ihdr.end());
    return file;
}

// 44 bytes: a 1 x 1 header, then a chunk of `type` that declares nearly
// 2 GiB and holds three bytes.
Bytes TruncatedChunkPng(const std::string& type) {
    Bytes file = PngStart();
    PutBigEndian(file, 0x7FFFFFF0u);
    file.insert(file.end(), type.begin(), type.end());
    file.insert(file.end(), {'a', 'b', 'c'});
    return file;
}

// The fuzz corpus holds the same files, so that the fuzz runs start from them.
TEST(HostilePng, ChunksDeclaringGigabytesFailWithinAFewMegabytes) {
    for (const std::string type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "eXIf", "pCAL", "sCAL",
                                   "hIST", "tIME", "vpAg", "caNv", "IDAT"}) {
        SCOPED_TRACE(type);
        const Bytes file = TruncatedChunkPng(type);
        ASSERT_EQ(file.size(), 44u);
        const Result<Picture> decoded = DecodePng(file);
        EXPECT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error().empty());
        EXPECT_LT(PngMemoryTestHook::PeakBytesOfLastDecode(), kFewMegabytes);
    }
}

// A 2 x 1 palette picture with a half-transparent first entry, turned a
// quarter by its eXIf chunk, with `extra` chunks after its header.
Bytes PalettePng(const Bytes& extra) {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    PutBigEndian(header, 2);
    PutBigEndian(header, 1);
    header.insert(header.end(), {8, 3, 0, 0, 0});
    const Bytes exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0,
                        3,   0,   0, 0,  1, 0, 6, 0, 0, 0, 0,    0,    0};
    const Bytes row = {0, 0, 1};  // filter byte, two palette indexes
    Bytes deflated(compressBound(static_cast<uLong>(row.size())));
    uLongf deflatedSize = static_cast<uLongf>(deflated.size());
    compress2(deflated.data(), &deflatedSize, row.data(), static_cast<uLong>(row.size()), 9);
    deflated.resize(deflatedSize);
    for (const Bytes& chunk : {Chunk("IHDR", header), extra, Chunk("eXIf", exif),
                               Chunk("PLTE", {200, 100, 50, 10, 20, 30}), Chunk("tRNS", {0x80}),
                               Chunk("IDAT", deflated), Chunk("IEND", {})}) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// Ancillary chunks that are really there cost no memory in proportion
// either: 6 MB of text, compressed text that inflates to 16 MiB, a large
// palette suggestion, thousands of unknown chunks. The picture decodes as
// without them, its palette, transparency and orientation applied.
TEST(HostilePng, AncillaryChunksThatAreReallyThereAreSkippedWithoutTheirMemory) {
    const Bytes zeros(16 << 20, 0);
    Bytes deflated(compressBound(static_cast<uLong>(zeros.size())));
    uLongf deflatedSize = static_cast<uLongf>(deflated.size());
    ASSERT_EQ(compress2(deflated.data(), &deflatedSize, zeros.data(),
                        static_cast<uLong>(zeros.size()), 1),
              Z_OK);
    deflated.resize(deflatedSize);
    Bytes ztxt = {'b', 'o', 'm', 'b', 0, 0};
    ztxt.insert(ztxt.end(), deflated.begin(), deflated.end());
    Bytes text = {'n', 'o', 't', 'e', 0};
    text.resize(6 << 20, 'x');
    Bytes splt = {'p', 0, 8};
    splt.resize(splt.size() + 6 * 40000, 1);

    Bytes extra;
    for (const Bytes& chunk : {Chunk("tEXt", text), Chunk("zTXt", ztxt), Chunk("sPLT", splt)}) {
        extra.insert(extra.end(), chunk.begin(), chunk.end());
    }
    for (int i = 0; i < 2000; ++i) {
        const Bytes unknown = Chunk("vpAg", Bytes(200, static_cast<unsigned char>(i)));
        extra.insert(extra.end(), unknown.begin(), unknown.end());
    }
    const Result<Picture> plain = DecodePng(PalettePng({}));
    ASSERT_TRUE(plain.ok()) << plain.error();
    ASSERT_EQ(plain.value().width(), 1);
    ASSERT_EQ(plain.value().height(), 2);
    EXPECT_EQ(test::PixelOf(plain.value(), 0, 0)[3], 0x80);
    EXPECT_EQ(test::PixelOf(plain.value(), 0, 1), (test::Rgba{10, 20, 30, 255}));

    const Result<Picture> decoded = DecodePng(PalettePng(extra));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(test::BytesOf(decoded.value()), test::BytesOf(plain.value()));
    EXPECT_LT(PngMemoryTestHook::PeakBytesOfLastDecode(), kFewMegabytes);
}

// The memory this process has held at its peak since the peak was reset.
long PeakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

Bytes Segment(unsigned char marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes segment = {0xFF, marker, static_cast<unsigned char>(length >> 8),
                     static_cast<unsigned char>(length & 0xFF)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    return segment;
}

// An Exif block holding only an orientation flag.
Bytes ExifOrientation(unsigned char orientation) {
    return {'E',  'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42,          0, 0, 0, 8, 0, 1,
            0x01, 0x12, 0,   3,   0, 0, 0,   1,   0, orientation, 0, 0, 0, 0, 0, 0};
}

// Markers declare at most 64 KiB each but a file may hold any number: they
// are read through, the first Exif block's orientation kept, and the memory
// they take does not grow with their number.
TEST(HostileJpeg, ManyMarkersAreReadThroughWithoutKeepingThem) {
    const Picture picture = test::MakePicture(8, 4, [](int, int) {
        return test::Rgba{200, 100, 50, 255};
    });
    const Bytes plain = EncodeJpeg(picture, 90).value();
    Bytes file;
    file.reserve(std::size_t{27} << 20);  // no large buffer freed on the way
    file.insert(file.end(), plain.begin(), plain.begin() + 2);
    const Bytes exif = Segment(0xE1, ExifOrientation(6));  // a quarter turn clockwise
    file.insert(file.end(), exif.begin(), exif.end());
    Bytes filler = ExifOrientation(3);  // a half turn, which must not win
    filler.resize(65533, 0x55);
    for (int i = 0; i < 400; ++i) {
        // Mostly Exif blocks, with now and then a colour profile or a comment.
        const unsigned char marker = i % 10 == 0 ? 0xE2 : (i % 10 == 5 ? 0xFE : 0xE1);
        const Bytes segment = Segment(marker, filler);
        file.insert(file.end(), segment.begin(), segment.end());
    }
    file.insert(file.end(), plain.begin() + 2, plain.end());
    ASSERT_GT(file.size(), std::size_t{25} << 20);

    if (!ResetPeakResident()) GTEST_SKIP() << "the peak of resident memory can not be reset";
    const long before = PeakResidentKilobytes();
    const Result<Picture> decoded = DecodeJpeg(file);
    const long growth = PeakResidentKilobytes() - before;
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded.value().width(), 4);
    EXPECT_EQ(decoded.value().height(), 8);
    EXPECT_LT(growth * 1024, static_cast<long>(kFewMegabytes)) << growth << " KiB";
}

TEST(HostileJpeg, MarkersDeclaringMoreThanTheFileHoldsFailCleanly) {
    for (unsigned char marker : {0xE0, 0xE1, 0xE2, 0xED, 0xEE, 0xFE}) {
        SCOPED_TRACE(static_cast<int>(marker));
        const Bytes file = {0xFF, 0xD8, 0xFF, marker, 0xFF, 0xFF, 'E', 'x', 'i', 'f', 0, 0};
        const Result<Picture> decoded = DecodeJpeg(file);
        EXPECT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error().empty());
    }
}

}  // namespace
}  // namespace vantrel
