#include "platform/JpegCodec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "platform/ExifOrientation.h"
#include "platform/Premultiply.h"

// libjpeg reports errors through our error manager, which longjmps back. The
// functions that call setjmp hold only plain data; everything with a
// destructor lives in their callers, so that a jump never skips a destructor.

namespace vantrel {
namespace {

constexpr int kMaxScans = 1000;
// The largest marker payload: a 16-bit length that counts itself.
constexpr std::size_t kMaxMarkerBytes = 65533;
constexpr int kRowBatch = 16;
constexpr long kMemoryHeadroom = 64L << 20;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWith(j_common_ptr c, const char* text) {
    auto* error = reinterpret_cast<JpegErrorManager*>(c->err);
    std::snprintf(error->message, sizeof error->message, "%s", text);
    std::longjmp(error->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr c) {
    auto* error = reinterpret_cast<JpegErrorManager*>(c->err);
    c->err->format_message(c, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings that mean picture data is missing are errors here; the others
// (stray bytes between segments and the like) are let through quietly.
void OnMessage(j_common_ptr c, int level) {
    if (level >= 0) return;
    switch (c->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_BOGUS_PROGRESSION:
            OnError(c);
        default:
            ++c->err->num_warnings;
    }
}

void Install(JpegErrorManager& error) {
    jpeg_std_error(&error.pub);
    error.pub.error_exit = OnError;
    error.pub.emit_message = OnMessage;
    error.message[0] = '\0';
}

// ---- Reading ----

struct JpegReader {
    JpegErrorManager error;
    jpeg_decompress_struct cinfo{};
    jpeg_progress_mgr progress{};
    bool created = false;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::int64_t maxPixels = 0;
    int width = 0;
    int height = 0;
    int orientation = 1;
    // Each APP1 marker is read through this one buffer in turn.
    unsigned char marker[kMaxMarkerBytes];
};

void LimitScans(j_common_ptr c) {
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(c);
    if (cinfo->input_scan_number > kMaxScans) FailWith(c, "the file has too many scans");
}

// Copies `size` bytes of the input to `target`. The memory source ends a
// truncated file with a warning that OnMessage makes an error.
void ReadInput(j_decompress_ptr cinfo, unsigned char* target, std::size_t size) {
    jpeg_source_mgr& source = *cinfo->src;
    while (size > 0) {
        if (source.bytes_in_buffer == 0 && !source.fill_input_buffer(cinfo)) {
            FailWith(reinterpret_cast<j_common_ptr>(cinfo), "the file is truncated");
        }
        const std::size_t n = std::min(size, source.bytes_in_buffer);
        std::memcpy(target, source.next_input_byte, n);
        source.next_input_byte += n;
        source.bytes_in_buffer -= n;
        target += n;
        size -= n;
    }
}

// An APP1 marker (Exif, XMP, ...): read through the reader's one buffer and
// not kept, so that a file of any number of markers costs no memory for
// them; the first orientation other than upright is taken. Other APPn and
// comment markers are skipped by the library without being kept.
boolean ReadApp1(j_decompress_ptr cinfo) {
    JpegReader& r = *static_cast<JpegReader*>(cinfo->client_data);
    unsigned char length[2];
    ReadInput(cinfo, length, 2);
    const std::size_t size = static_cast<std::size_t>(length[0] << 8 | length[1]);
    if (size < 2) FailWith(reinterpret_cast<j_common_ptr>(cinfo), "a marker has a bad length");
    ReadInput(cinfo, r.marker, size - 2);
    if (r.orientation == 1) r.orientation = ExifOrientationFromApp1(r.marker, size - 2);
    return TRUE;
}

bool ReadJpegHeader(JpegReader& r) {
    if (setjmp(r.error.jump)) return false;
    r.cinfo.err = &r.error.pub;
    r.created = true;
    jpeg_create_decompress(&r.cinfo);
    r.cinfo.client_data = &r;
    // Bounds the whole-picture coefficient arrays of progressive files.
    r.cinfo.mem->max_memory_to_use = static_cast<long>(r.maxPixels) * 8 + kMemoryHeadroom;
    r.progress.progress_monitor = LimitScans;
    r.cinfo.progress = &r.progress;
    jpeg_mem_src(&r.cinfo, r.data, static_cast<unsigned long>(r.size));
    jpeg_set_marker_processor(&r.cinfo, JPEG_APP0 + 1, ReadApp1);
    jpeg_read_header(&r.cinfo, TRUE);
    r.width = static_cast<int>(r.cinfo.image_width);
    r.height = static_cast<int>(r.cinfo.image_height);
    return true;
}

bool IsCmyk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

// Turns a row of C, M, Y, K samples into opaque RGBA in place.
void CmykToRgba(unsigned char* row, int width, bool inverted) {
    for (int x = 0; x < width; ++x, row += 4) {
        const unsigned k = inverted ? row[3] : 255u - row[3];
        for (int c = 0; c < 3; ++c) {
            row[c] = MultiplyBytes(inverted ? row[c] : 255u - row[c], k);
        }
        row[3] = 255;
    }
}

bool ReadJpegPixels(JpegReader& r, unsigned char* pixels) {
    if (setjmp(r.error.jump)) return false;
    const bool cmyk = IsCmyk(r.cinfo);
    r.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    r.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&r.cinfo);
    if (r.cinfo.output_width != r.cinfo.image_width ||
        r.cinfo.output_height != r.cinfo.image_height || r.cinfo.output_components != 4) {
        FailWith(reinterpret_cast<j_common_ptr>(&r.cinfo), "unexpected output layout");
    }
    const std::size_t pitch = static_cast<std::size_t>(r.width) * 4;
    JSAMPROW rows[kRowBatch];
    while (r.cinfo.output_scanline < r.cinfo.output_height) {
        const JDIMENSION first = r.cinfo.output_scanline;
        const JDIMENSION batch = std::min<JDIMENSION>(kRowBatch, r.cinfo.output_height - first);
        for (JDIMENSION i = 0; i < batch; ++i) rows[i] = pixels + (first + i) * pitch;
        const JDIMENSION read = jpeg_read_scanlines(&r.cinfo, rows, batch);
        if (read == 0) FailWith(reinterpret_cast<j_common_ptr>(&r.cinfo), "the file is truncated");
        if (cmyk) {
            for (JDIMENSION i = 0; i < read; ++i) {
                CmykToRgba(rows[i], r.width, r.cinfo.saw_Adobe_marker);
            }
        }
    }
    return true;
}

Result<Picture> DecodeWith(JpegReader& r) {
    if (!ReadJpegHeader(r)) return Result<Picture>::Failure(r.error.message);
    const std::string refusal = PictureSizeError(r.width, r.height, r.maxPixels);
    if (!refusal.empty()) return Result<Picture>::Failure(refusal);
    PixelBuffer buffer = PixelBuffer::Allocate(r.width, r.height);
    if (buffer.empty()) return Result<Picture>::Failure("Not enough memory for the picture.");
    if (!ReadJpegPixels(r, buffer.data())) return Result<Picture>::Failure(r.error.message);
    Picture upright = UprightPicture(buffer.Finish(), r.orientation);
    if (upright.empty()) return Result<Picture>::Failure("Not enough memory for the picture.");
    return Result<Picture>::Success(std::move(upright));
}

// ---- Writing ----

struct JpegWriter {
    JpegErrorManager error;
    jpeg_compress_struct cinfo{};
    jpeg_destination_mgr destination{};
    bool created = false;
    std::vector<unsigned char>* out = nullptr;
    std::size_t firstSize = 0;
    const Picture* picture = nullptr;
    int quality = 0;
};

JpegWriter& WriterOf(j_compress_ptr cinfo) {
    return *static_cast<JpegWriter*>(cinfo->client_data);
}

// Makes `out` `size` bytes long and points the library at the part from `used`.
void GrowOutput(j_compress_ptr cinfo, std::size_t used, std::size_t size) {
    JpegWriter& w = WriterOf(cinfo);
    bool grown = false;
    try {
        w.out->resize(size);
        grown = true;
    } catch (const std::exception&) {
    }
    if (!grown)
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "Not enough memory for the JPEG file.");
    w.destination.next_output_byte = w.out->data() + used;
    w.destination.free_in_buffer = size - used;
}

void StartOutput(j_compress_ptr cinfo) {
    GrowOutput(cinfo, 0, WriterOf(cinfo).firstSize);
}

boolean EmptyOutput(j_compress_ptr cinfo) {
    const std::size_t size = WriterOf(cinfo).out->size();
    GrowOutput(cinfo, size, size * 2);
    return TRUE;
}

void EndOutput(j_compress_ptr cinfo) {
    JpegWriter& w = WriterOf(cinfo);
    w.out->resize(w.out->size() - w.destination.free_in_buffer);
}

bool WriteJpeg(JpegWriter& w) {
    if (setjmp(w.error.jump)) return false;
    const Picture& picture = *w.picture;
    w.cinfo.err = &w.error.pub;
    w.created = true;
    jpeg_create_compress(&w.cinfo);
    w.cinfo.client_data = &w;
    w.destination.init_destination = StartOutput;
    w.destination.empty_output_buffer = EmptyOutput;
    w.destination.term_destination = EndOutput;
    w.cinfo.dest = &w.destination;
    w.cinfo.image_width = static_cast<JDIMENSION>(picture.width());
    w.cinfo.image_height = static_cast<JDIMENSION>(picture.height());
    w.cinfo.input_components = 4;
    w.cinfo.in_color_space = JCS_EXT_RGBA;  // the fourth byte is skipped
    jpeg_set_defaults(&w.cinfo);
    jpeg_set_quality(&w.cinfo, w.quality, TRUE);
    w.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&w.cinfo, TRUE);
    JSAMPROW rows[kRowBatch];
    while (w.cinfo.next_scanline < w.cinfo.image_height) {
        const JDIMENSION first = w.cinfo.next_scanline;
        const JDIMENSION batch = std::min<JDIMENSION>(kRowBatch, w.cinfo.image_height - first);
        // The library only reads the rows it is given.
        for (JDIMENSION i = 0; i < batch; ++i) {
            rows[i] = const_cast<JSAMPROW>(picture.pixel(0, static_cast<int>(first + i)));
        }
        jpeg_write_scanlines(&w.cinfo, rows, batch);
    }
    jpeg_finish_compress(&w.cinfo);
    return true;
}

}  // namespace

bool LooksLikeJpeg(std::span<const unsigned char> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Result<Picture> DecodeJpeg(std::span<const unsigned char> bytes, std::int64_t maxPixels) {
    JpegReader reader;
    Install(reader.error);
    reader.data = bytes.data();
    reader.size = bytes.size();
    reader.maxPixels = std::min(maxPixels, kMaxPicturePixels);
    Result<Picture> result = Result<Picture>::Failure("Not enough memory for the picture.");
    try {
        result = DecodeWith(reader);
    } catch (const std::exception&) {
    }
    if (reader.created) jpeg_destroy_decompress(&reader.cinfo);
    if (!result) return Result<Picture>::Failure("Can not read the JPEG file: " + result.error());
    return result;
}

Result<std::vector<unsigned char>> EncodeJpeg(const Picture& picture, int quality) {
    using Outcome = Result<std::vector<unsigned char>>;
    if (picture.empty()) return Outcome::Failure("There is no picture to write.");
    if (quality < 1 || quality > 100) {
        return Outcome::Failure("The JPEG quality must be 1 to 100, not " +
                                std::to_string(quality) + ".");
    }
    std::vector<unsigned char> out;
    JpegWriter writer;
    Install(writer.error);
    writer.out = &out;
    writer.picture = &picture;
    writer.quality = quality;
    writer.firstSize = picture.byteCount() / 16 + (64u << 10);
    const bool written = WriteJpeg(writer);
    if (writer.created) jpeg_destroy_compress(&writer.cinfo);
    if (!written) {
        return Outcome::Failure(std::string("Can not write the JPEG file: ") +
                                writer.error.message);
    }
    return Outcome::Success(std::move(out));
}

}  // namespace vantrel
