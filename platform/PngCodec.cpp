#include "platform/PngCodec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Core/global/TiMemory.h"
#include "platform/ExifOrientation.h"
#include "platform/Premultiply.h"

// libpng reports errors by longjmp. The functions that call setjmp hold only
// plain data; everything with a destructor lives in their callers, so that a
// jump never skips a destructor.

namespace vantrel {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::size_t kMessageBytes = 200;
// History pictures are written after every edit: fast deflate with the one
// "up" filter writes a photo several times faster than zlib's default level
// with adaptive filtering, for files about a tenth larger.
constexpr int kCompressionLevel = 2;

struct PngError {
    char message[kMessageBytes] = "";
};

void StoreMessage(PngError& error, const char* text) {
    std::snprintf(error.message, sizeof error.message, "%s", text ? text : "unknown error");
}

void OnError(png_structp png, png_const_charp text) {
    StoreMessage(*static_cast<PngError*>(png_get_error_ptr(png)), text);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// ---- Reading ----

// What a file may make the decoder keep. Only the chunks that make the
// pixels (IHDR, PLTE, tRNS, IDAT) and eXIf, for the orientation, are read;
// every other chunk is passed over without its data being kept. eXIf is
// kept raw, as libpng keeps unknown chunks, so that libpng's chunk memory
// limit applies to it: no chunk gets more memory than the file has bytes.
constexpr png_byte kExifChunk[] = {'e', 'X', 'I', 'f', '\0'};
constexpr std::size_t kMaxKeptChunkBytes = std::size_t{8} << 20;
constexpr int kMaxKeptChunks = 4;
// A bound on all of libpng's memory for one decode, whatever path it takes:
// the rows of the widest picture need about 2 MiB, the kept chunks at most
// kMaxKeptChunks x kMaxKeptChunkBytes.
constexpr std::size_t kMaxLibpngBytes = std::size_t{64} << 20;

// libpng's own memory during one decode, counted through its memory hooks.
struct PngMemory {
    std::size_t live = 0;
    std::size_t peak = 0;
};

thread_local std::size_t gLastDecodePeak = 0;

png_voidp Allocate(png_structp png, png_alloc_size_t size) {
    auto* memory = static_cast<PngMemory*>(png_get_mem_ptr(png));
    if (size > kMaxLibpngBytes - memory->live) return nullptr;
    auto* block = static_cast<std::max_align_t*>(std::malloc(sizeof(std::max_align_t) + size));
    if (!block) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    memory->live += size;
    memory->peak = std::max(memory->peak, memory->live);
    return block + 1;
}

void Release(png_structp png, png_voidp pointer) {
    if (!pointer) return;
    auto* memory = static_cast<PngMemory*>(png_get_mem_ptr(png));
    std::max_align_t* block = static_cast<std::max_align_t*>(pointer) - 1;
    memory->live -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

struct PngReader {
    PngError error;
    PngMemory memory;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    std::int64_t maxPixels = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int width = 0;
    int height = 0;
    int passes = 1;
    bool hasAlpha = false;
    int orientation = 1;
};

void ReadFromMemory(png_structp png, png_bytep target, png_size_t length) {
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (reader->size - reader->offset < length) png_error(png, "the file is truncated");
    std::memcpy(target, reader->data + reader->offset, length);
    reader->offset += length;
}

// Asks libpng for 8-bit RGBA rows of any kind of PNG.
void RequestRgba(PngReader& r, int bitDepth, int colourType) {
    const bool hasTrns = png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(r.png);
    if (hasTrns) png_set_tRNS_to_alpha(r.png);
    if (bitDepth == 16) png_set_scale_16(r.png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(r.png);
    r.hasAlpha = hasTrns || (colourType & PNG_COLOR_MASK_ALPHA);
    if (!r.hasAlpha) png_set_filler(r.png, 0xFF, PNG_FILLER_AFTER);
    r.passes = png_set_interlace_handling(r.png);
}

void LimitChunks(PngReader& r) {
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_ALWAYS, kExifChunk, 1);
    png_set_chunk_malloc_max(r.png, std::min(r.size, kMaxKeptChunkBytes));
    png_set_chunk_cache_max(r.png, kMaxKeptChunks);
}

// The orientation of the first eXIf chunk before the pixel data.
int OrientationOf(PngReader& r) {
    png_unknown_chunkp chunks = nullptr;
    const int count = png_get_unknown_chunks(r.png, r.info, &chunks);
    for (int i = 0; i < count; ++i) {
        if (std::memcmp(chunks[i].name, kExifChunk, 4) != 0) continue;
        return ExifOrientationFromTiff(chunks[i].data, chunks[i].size);
    }
    return 1;
}

// Reads the chunks before the pixel data; false with a message when the
// file is not a usable PNG.
bool ReadPngInfo(PngReader& r, int& bitDepth, int& colourType) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_read_fn(r.png, &r, ReadFromMemory);
    LimitChunks(r);
    png_read_info(r.png, r.info);
    png_uint_32 width = 0, height = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    r.width = static_cast<int>(width);
    r.height = static_cast<int>(height);
    r.orientation = OrientationOf(r);
    return true;
}

// Reads every row as 8-bit premultiplied RGBA into `pixels`.
bool ReadPngPixels(PngReader& r, int bitDepth, int colourType, unsigned char* pixels) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    RequestRgba(r, bitDepth, colourType);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != static_cast<png_size_t>(r.width) * 4) {
        png_error(r.png, "unexpected row layout");
    }
    const std::size_t pitch = static_cast<std::size_t>(r.width) * 4;
    for (int pass = 0; pass < r.passes; ++pass) {
        const bool last = pass == r.passes - 1;
        for (int y = 0; y < r.height; ++y) {
            unsigned char* row = pixels + y * pitch;
            png_read_row(r.png, row, nullptr);
            if (last && r.hasAlpha) PremultiplyPixels(row, static_cast<std::size_t>(r.width));
        }
    }
    return true;
}

Result<Picture> DecodeWith(PngReader& r) {
    int bitDepth = 0, colourType = 0;
    if (!ReadPngInfo(r, bitDepth, colourType)) return Result<Picture>::Failure(r.error.message);
    const std::string refusal = PictureSizeError(r.width, r.height, r.maxPixels);
    if (!refusal.empty()) return Result<Picture>::Failure(refusal);
    PixelBuffer buffer = PixelBuffer::Allocate(r.width, r.height);
    if (buffer.empty()) return Result<Picture>::Failure("Not enough memory for the picture.");
    if (!ReadPngPixels(r, bitDepth, colourType, buffer.data())) {
        return Result<Picture>::Failure(r.error.message);
    }
    Picture upright = UprightPicture(buffer.Finish(), r.orientation);
    if (upright.empty()) return Result<Picture>::Failure("Not enough memory for the picture.");
    return Result<Picture>::Success(std::move(upright));
}

// ---- Writing ----

struct PngWriter {
    PngError error;
    png_structp png = nullptr;
    png_infop info = nullptr;
    const Picture* picture = nullptr;
    TiBuffer<unsigned char> rowBuffer;
    std::vector<unsigned char>* out = nullptr;
};

void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    bool stored = false;
    try {
        writer->out->insert(writer->out->end(), data, data + length);
        stored = true;
    } catch (const std::exception&) {
    }
    if (!stored) png_error(png, "Not enough memory for the PNG file.");
}

void FlushNothing(png_structp) {}

bool WritePngRows(PngWriter& w, bool opaque) {
    if (setjmp(png_jmpbuf(w.png))) return false;
    const Picture& picture = *w.picture;
    png_set_write_fn(w.png, &w, WriteToMemory, FlushNothing);
    png_set_compression_level(w.png, kCompressionLevel);
    png_set_filter(w.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_IHDR(w.png, w.info, picture.width(), picture.height(), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    // Opaque pictures need no un-premultiplying: libpng drops the alpha byte.
    if (opaque) png_set_filler(w.png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < picture.height(); ++y) {
        const unsigned char* row = picture.pixel(0, y);
        if (!opaque) {
            UnpremultiplyPixels(row, w.rowBuffer.get(), static_cast<std::size_t>(picture.width()));
            row = w.rowBuffer.get();
        }
        png_write_row(w.png, row);
    }
    png_write_end(w.png, w.info);
    return true;
}

Result<std::vector<unsigned char>> EncodeWith(PngWriter& w, std::vector<unsigned char>& out) {
    using Outcome = Result<std::vector<unsigned char>>;
    const Picture& picture = *w.picture;
    const bool opaque = IsOpaque(picture.data(), picture.byteCount() / 4);
    if (!opaque) {
        w.rowBuffer = TiBuffer<unsigned char>(static_cast<std::size_t>(picture.pitch()));
        if (!w.rowBuffer) return Outcome::Failure("Not enough memory for the PNG file.");
    }
    const bool written = WritePngRows(w, opaque);
    if (!written)
        return Outcome::Failure(std::string("Can not write the PNG file: ") + w.error.message);
    return Outcome::Success(std::move(out));
}

}  // namespace

std::size_t PngMemoryTestHook::PeakBytesOfLastDecode() {
    return gLastDecodePeak;
}

bool LooksLikePng(std::span<const unsigned char> bytes) {
    return bytes.size() >= sizeof kSignature &&
           std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
}

Result<Picture> DecodePng(std::span<const unsigned char> bytes, std::int64_t maxPixels) {
    PngReader reader;
    reader.data = bytes.data();
    reader.size = bytes.size();
    reader.maxPixels = std::min(maxPixels, kMaxPicturePixels);
    reader.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &reader.error, OnError, OnWarning,
                                          &reader.memory, Allocate, Release);
    if (reader.png) reader.info = png_create_info_struct(reader.png);
    if (!reader.png || !reader.info) {
        png_destroy_read_struct(&reader.png, nullptr, nullptr);
        return Result<Picture>::Failure("Not enough memory to read a PNG file.");
    }
    Result<Picture> result = Result<Picture>::Failure("Not enough memory for the picture.");
    try {
        result = DecodeWith(reader);
    } catch (const std::exception&) {
    }
    png_destroy_read_struct(&reader.png, &reader.info, nullptr);
    gLastDecodePeak = reader.memory.peak;
    if (!result) return Result<Picture>::Failure("Can not read the PNG file: " + result.error());
    return result;
}

Result<std::vector<unsigned char>> EncodePng(const Picture& picture) {
    using Outcome = Result<std::vector<unsigned char>>;
    if (picture.empty()) return Outcome::Failure("There is no picture to write.");
    std::vector<unsigned char> out;
    PngWriter writer;
    writer.picture = &picture;
    writer.out = &out;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer.error, OnError, OnWarning);
    if (writer.png) writer.info = png_create_info_struct(writer.png);
    Outcome result = Outcome::Failure("Not enough memory to write a PNG file.");
    if (writer.png && writer.info) {
        try {
            result = EncodeWith(writer, out);
        } catch (const std::exception&) {
        }
    }
    png_destroy_write_struct(&writer.png, &writer.info);
    return result;
}

}  // namespace vantrel
