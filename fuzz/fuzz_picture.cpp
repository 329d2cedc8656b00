// Decoding arbitrary bytes as a picture (PNG or JPEG, told by signature)
// must fail cleanly or give a valid picture: within the size limit,
// premultiplied (no colour byte above its alpha), and unchanged by a PNG
// round trip. The EXIF parser gets the same bytes as a TIFF block.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/ExifOrientation.h"
#include "platform/PictureCodec.h"
#include "platform/PngCodec.h"

namespace {

// Lower than the product's limit so that each run stays quick; the refusal
// path is the same.
constexpr std::int64_t kFuzzMaxPixels = 4'000'000;
constexpr std::int64_t kRoundTripPixels = 1 << 16;

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckPicture(const vantrel::Picture& picture) {
    Require(!picture.empty());
    Require(static_cast<std::int64_t>(picture.width()) * picture.height() <= kFuzzMaxPixels);
    const unsigned char* p = picture.data();
    for (std::size_t i = 0; i < picture.byteCount(); i += 4) {
        Require(p[i] <= p[i + 3] && p[i + 1] <= p[i + 3] && p[i + 2] <= p[i + 3]);
    }
    if (static_cast<std::int64_t>(picture.width()) * picture.height() > kRoundTripPixels) return;
    const auto file = vantrel::EncodePng(picture);
    Require(file.ok());
    const auto again = vantrel::DecodePng(file.value());
    Require(again.ok() && again.value().width() == picture.width() &&
            again.value().height() == picture.height());
    Require(std::memcmp(again.value().data(), picture.data(), picture.byteCount()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = vantrel::DecodePicture({data, size}, kFuzzMaxPixels);
    if (picture.ok()) {
        CheckPicture(picture.value());
    } else {
        Require(!picture.error().empty());
    }
    const int orientation = vantrel::ExifOrientationFromTiff(data, size);
    Require(orientation >= 1 && orientation <= 8);
    return 0;
}
