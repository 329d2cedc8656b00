#include "platform/Picture.h"

#include <cstring>
#include <new>

#include "Core/global/TiMemory.h"

namespace vantrel {

std::string PictureSizeError(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    if (width <= 0 || height <= 0) {
        return "The picture has no pixels (" + std::to_string(width) + " x " +
               std::to_string(height) + ").";
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        return "The picture is too large: " + std::to_string(width) + " x " +
               std::to_string(height) + " pixels; the limit is " + std::to_string(kMaxPictureSide) +
               " pixels a side.";
    }
    if (width * height > maxPixels) {
        return "The picture is too large: " + std::to_string(width) + " x " +
               std::to_string(height) + " pixels exceeds the limit of " +
               std::to_string(maxPixels) + " pixels.";
    }
    return {};
}

void PixelBuffer::Release::operator()(unsigned char* pixels) const {
    TiFree(pixels);
}

PixelBuffer PixelBuffer::Allocate(int width, int height) {
    PixelBuffer buffer;
    if (!PictureSizeError(width, height).empty()) return buffer;
    const std::optional<std::size_t> bytes = TiByteCount(width, height, 4);
    if (!bytes) return buffer;
    buffer.m_pixels.reset(static_cast<unsigned char*>(TiMalloc(*bytes)));
    if (buffer.m_pixels) {
        buffer.m_width = width;
        buffer.m_height = height;
    }
    return buffer;
}

Picture PixelBuffer::Finish() {
    Picture picture;
    if (empty()) return picture;
    try {
        // On a failed control block the shared pointer releases the pixels itself.
        picture.m_pixels = std::shared_ptr<const unsigned char>(m_pixels.release(), Release{});
    } catch (const std::bad_alloc&) {
        m_width = m_height = 0;
        return picture;
    }
    picture.m_width = m_width;
    picture.m_height = m_height;
    m_width = m_height = 0;
    return picture;
}

std::unique_ptr<TiBitmapData> BitmapFromPicture(const Picture& picture) {
    if (picture.empty()) return nullptr;
    std::unique_ptr<TiBitmapData> bitmap =
        NewPackedBitmap(picture.width(), picture.height(), TiRGBABpp);
    // Drawing premultiplied RGBA into a cleared premultiplied RGBA buffer
    // replaces every byte, so the copy is the whole drawing.
    if (bitmap) std::memcpy(bitmap->GetData(), picture.data(), picture.byteCount());
    return bitmap;
}

Picture PictureFromBitmap(const TiBitmapData& bitmap) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (bitmap.GetBpp() != TiRGBABpp || !PictureSizeError(width, height).empty() ||
        bitmap.GetPitch() != width * TiRGBABpp) {
        return Picture();
    }
    PixelBuffer buffer = PixelBuffer::Allocate(width, height);
    if (buffer.empty()) return Picture();
    std::memcpy(buffer.data(), bitmap.GetData(), buffer.byteCount());
    return buffer.Finish();
}

}  // namespace vantrel
