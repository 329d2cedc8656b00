#include "platform/PictureCodec.h"

#include <algorithm>
#include <cctype>

#include "platform/Files.h"
#include "platform/JpegCodec.h"
#include "platform/PngCodec.h"

namespace vantrel {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(
        ending.begin(), ending.end(), text.end() - ending.size(),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

}  // namespace

std::optional<PictureFormat> SniffPictureFormat(std::span<const unsigned char> bytes) {
    if (LooksLikePng(bytes)) return PictureFormat::Png;
    if (LooksLikeJpeg(bytes)) return PictureFormat::Jpeg;
    return std::nullopt;
}

std::optional<PictureFormat> PictureFormatForPath(std::string_view path) {
    if (EndsWithIgnoringCase(path, ".png")) return PictureFormat::Png;
    if (EndsWithIgnoringCase(path, ".jpg") || EndsWithIgnoringCase(path, ".jpeg")) {
        return PictureFormat::Jpeg;
    }
    return std::nullopt;
}

Result<Picture> DecodePicture(std::span<const unsigned char> bytes, std::int64_t maxPixels) {
    const std::optional<PictureFormat> format = SniffPictureFormat(bytes);
    if (!format) return Result<Picture>::Failure("The data is neither a PNG nor a JPEG file.");
    return *format == PictureFormat::Png ? DecodePng(bytes, maxPixels)
                                         : DecodeJpeg(bytes, maxPixels);
}

Result<Picture> ReadPictureFile(const std::string& path) {
    Result<std::vector<unsigned char>> bytes = ReadWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) return Result<Picture>::Failure(bytes.error());
    Result<Picture> picture = DecodePicture(bytes.value());
    if (!picture) return Result<Picture>::Failure("\"" + path + "\": " + picture.error());
    return picture;
}

Result<std::vector<unsigned char>> EncodePicture(const Picture& picture, PictureFormat format,
                                                 int jpegQuality) {
    return format == PictureFormat::Png ? EncodePng(picture) : EncodeJpeg(picture, jpegQuality);
}

Result<Done> WritePictureFile(const Picture& picture, const std::string& path, int jpegQuality) {
    const std::optional<PictureFormat> format = PictureFormatForPath(path);
    if (!format) {
        return Result<Done>::Failure("Can not write \"" + path +
                                     "\": its name must end in .png, .jpg or .jpeg.");
    }
    Result<std::vector<unsigned char>> bytes = EncodePicture(picture, *format, jpegQuality);
    if (!bytes) return Result<Done>::Failure(bytes.error());
    return WriteFileAtomically(path, bytes.value());
}

}  // namespace vantrel
