// Reading and writing picture files: PNG and JPEG, from memory or from a
// file, to memory or to a file.
//
// Decoded pictures are upright (the EXIF orientation applied) and
// premultiplied; see PngCodec.h and JpegCodec.h for what each format accepts
// and how samples become RGBA. A picture larger than the size limit of
// Picture.h is refused from the file's header, before pixel memory is taken.
//
// Files are read whole, up to kMaxPictureFileBytes, and written to a
// temporary name that is renamed into place, so a failed write leaves no
// part of a picture behind.
//
// Failure: an error text meant for a person; nothing is thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

enum class PictureFormat { Png, Jpeg };

constexpr std::size_t kMaxPictureFileBytes = std::size_t{512} << 20;
constexpr int kDefaultJpegQuality = 92;

// The format whose signature starts `bytes`, if any.
std::optional<PictureFormat> SniffPictureFormat(std::span<const unsigned char> bytes);

// The format a file name's extension asks for: ".png", or ".jpg" / ".jpeg"
// (any letter case); nothing for any other name.
std::optional<PictureFormat> PictureFormatForPath(std::string_view path);

// Decodes PNG or JPEG bytes, told apart by their signature. maxPixels can
// only lower the limit of Picture.h.
Result<Picture> DecodePicture(std::span<const unsigned char> bytes,
                              std::int64_t maxPixels = kMaxPicturePixels);

Result<Picture> ReadPictureFile(const std::string& path);

// PNG, or JPEG at `jpegQuality` (1 to 100).
Result<std::vector<unsigned char>> EncodePicture(const Picture& picture, PictureFormat format,
                                                 int jpegQuality = kDefaultJpegQuality);

// Writes the picture in the format its name's extension asks for.
Result<Done> WritePictureFile(const Picture& picture, const std::string& path,
                              int jpegQuality = kDefaultJpegQuality);

}  // namespace vantrel
