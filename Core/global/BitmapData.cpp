#include "Core/global/BitmapData.h"

#include <climits>
#include <cstring>
#include <new>

#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/global/BitmapData";
constexpr const char kHeaderFile[] = "Core/global/BitmapData.h";

}  // namespace

TiBitmapData::TiBitmapData(unsigned char* buf, int width, int height, int pitch, int bpp,
                           bool ownsData)
    : m_data(buf),
      m_width(width),
      m_height(height),
      m_size(static_cast<int>(static_cast<unsigned>(width) * static_cast<unsigned>(height))),
      m_pitch(pitch),
      m_bpp(bpp),
      m_ownsData(ownsData) {
    TI_ASSERT(buf, "buf", 8);
    TI_ASSERT(bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1,
              "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", 9);
}

TiBitmapData::~TiBitmapData() {
    if (m_ownsData) TiFree(m_data);
}

unsigned char* TiBitmapData::GetPixel(int x, int y) const {
    TI_ASSERT_IN(kHeaderFile, x >= 0 && x < m_width, "x >=0 && x < m_width", 85);
    TI_ASSERT_IN(kHeaderFile, y >= 0 && y < m_height, "y >=0 && y < m_height", 86);
    return m_data + static_cast<std::ptrdiff_t>(y) * m_pitch +
           static_cast<std::ptrdiff_t>(x) * m_bpp;
}

std::unique_ptr<TiBitmapData> TiBitmapData::GetBitmapDataFromRect(int x, int y, int width,
                                                                  int height) const {
    TI_ASSERT_IN(kHeaderFile, x >= 0 && x < m_width, "x >= 0 && x < m_width", 151);
    TI_ASSERT_IN(kHeaderFile, y >= 0 && y < m_height, "y >= 0 && y < m_height", 152);
    return std::make_unique<TiBitmapData>(GetPixel(x, y), width, height, m_pitch, m_bpp, false);
}

std::unique_ptr<TiBitmapData> TiBitmapData::GetBitmapDataFromCenterRect(int width,
                                                                        int height) const {
    TI_ASSERT_IN(kHeaderFile, width > 0 && width <= m_width, "width > 0 && width <= m_width", 160);
    TI_ASSERT_IN(kHeaderFile, height > 0 && height < m_height, "height > 0 && height < m_height",
                 161);
    return GetBitmapDataFromRect((m_width - width) / 2, (m_height - height) / 2, width, height);
}

std::unique_ptr<TiBitmapData> TiBitmapData::Clone(bool keepPitch) const {
    const int pitch = keepPitch ? m_pitch : m_width * m_bpp;
    const std::size_t rowBytes = static_cast<std::size_t>(m_width) * m_bpp;
    const std::optional<std::size_t> bytes = TiByteCount(m_height, pitch);
    if (!bytes || m_width < 0 || rowBytes > static_cast<std::size_t>(pitch < 0 ? 0 : pitch)) {
        return nullptr;
    }
    TiBuffer<unsigned char> copy(*bytes);
    if (!copy) return nullptr;
    if (keepPitch && m_height > 0) {
        // The last row of a view at its parent's bottom has only rowBytes left
        // in the parent's buffer: copy up to there and zero the tail.
        const std::size_t span = static_cast<std::size_t>(m_height - 1) * pitch + rowBytes;
        std::memcpy(copy.get(), m_data, span);
        std::memset(copy.get() + span, 0, *bytes - span);
    } else {
        for (int y = 0; y < m_height; ++y) {
            std::memcpy(copy.get() + static_cast<std::size_t>(y) * pitch,
                        m_data + static_cast<std::ptrdiff_t>(y) * m_pitch, rowBytes);
        }
    }
    std::unique_ptr<TiBitmapData> clone(
        new (std::nothrow) TiBitmapData(copy.get(), m_width, m_height, pitch, m_bpp, true));
    if (clone) copy.release();
    return clone;
}

std::unique_ptr<TiBitmapData> NewPackedBitmap(int width, int height, int bpp, bool zeroed) {
    const std::optional<std::size_t> pitch = TiByteCount(width, bpp);
    const std::optional<std::size_t> bytes = TiByteCount(width, height, bpp);
    if (!pitch || *pitch > INT_MAX || !bytes) return nullptr;
    TiBuffer<unsigned char> pixels(*bytes, zeroed ? TiBuffer<unsigned char>::kZeroed
                                                  : TiBuffer<unsigned char>::kUninitialised);
    if (!pixels) return nullptr;
    std::unique_ptr<TiBitmapData> bitmap(new (std::nothrow) TiBitmapData(
        pixels.get(), width, height, static_cast<int>(*pitch), bpp, true));
    if (bitmap) pixels.release();
    return bitmap;
}

void TiBitmapData::TakeOver(TiBitmapData& other) {
    if (&other == this) return;
    if (m_ownsData) TiFree(m_data);
    m_data = other.m_data;
    m_width = other.m_width;
    m_height = other.m_height;
    m_size = other.m_size;
    m_pitch = other.m_pitch;
    m_bpp = other.m_bpp;
    m_ownsData = other.m_ownsData;
    other.m_ownsData = false;
}

}  // namespace vantrel
