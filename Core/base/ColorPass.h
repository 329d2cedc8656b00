// A pass over the colour bytes of every pixel of a 3- or 4-byte bitmap.
//
// The body is called with the address of each pixel's first byte (R, then G,
// B and, for 4-byte pixels, A) and may rewrite bytes 0..2 of that pixel only.
// Rows are reached by stepping m_pitch, so views of a larger bitmap are
// honoured; an empty bitmap (a width or height of 0 or less) is left alone.
//
// RunColorChunkPass hands the body a row's pixels in chunks instead, each
// pixel as a word R | G << 8 | B << 16 (| A << 24 for 4-byte pixels), so
// that it can convert them several at a time; it writes bytes 0..2 of every
// word back (alpha is rewritten with its own value). RunColorWordPass hands
// a 4-byte row's whole groups of sixteen pixels over in place instead, for
// bodies that keep each word's alpha byte themselves.
//
// Rows are split into bands on the machine's threads (ForEachColorRowBand,
// Core/global/PixelPass.h). That is only sound for
// bodies whose result depends on the pixel alone (tables and the pixel's own
// bytes), which is what every colour operation of this folder is.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Core/global/BitmapData.h"
#include "Core/global/PixelPass.h"

namespace vantrel {

// The most pixels a chunk pass hands its body at once.
// A multiple of sixteen, so that the zero words that round a chunk up to a
// group of sixteen always fit.
constexpr int kColorChunk = 256;
static_assert(kColorChunk % 16 == 0);
// 4-byte pixels are read and written as words: R must be the low byte.
static_assert(std::endian::native == std::endian::little);

namespace color_pass_detail {

template <int Bpp, typename Body>
void PassRows(unsigned char* data, std::ptrdiff_t pitch, int width, int rowBegin, int rowEnd,
              const Body& body) {
    // A private copy of the body: the pixel stores go through unsigned char
    // pointers, which may alias anything whose address has escaped, and the
    // copy's has not, so its captures stay in registers.
    const Body local = body;
    for (int y = rowBegin; y < rowEnd; ++y) {
        unsigned char* pixel = data + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x, pixel += Bpp) local(pixel);
    }
}

template <int Bpp>
void LoadWords(const unsigned char* pixels, int count, std::uint32_t* words) {
    if constexpr (Bpp == TiRGBABpp) {
        std::memcpy(words, pixels, static_cast<std::size_t>(count) * 4);
    } else {
        for (int i = 0; i < count; ++i, pixels += Bpp) {
            words[i] = pixels[0] | static_cast<std::uint32_t>(pixels[1]) << 8 |
                       static_cast<std::uint32_t>(pixels[2]) << 16;
        }
    }
}

template <int Bpp>
void StoreWords(const std::uint32_t* words, int count, unsigned char* pixels) {
    if constexpr (Bpp == TiRGBABpp) {
        for (int i = 0; i < count; ++i, pixels += Bpp) {
            std::uint32_t original;
            std::memcpy(&original, pixels, 4);
            const std::uint32_t merged = (words[i] & 0x00ffffffu) | (original & 0xff000000u);
            std::memcpy(pixels, &merged, 4);
        }
    } else {
        for (int i = 0; i < count; ++i, pixels += Bpp) {
            pixels[0] = static_cast<unsigned char>(words[i]);
            pixels[1] = static_cast<unsigned char>(words[i] >> 8);
            pixels[2] = static_cast<unsigned char>(words[i] >> 16);
        }
    }
}

// The pixels of a row from `x` on, in chunks: each loaded into `words`,
// padded with zero words to a multiple of sixteen, handed to chunk(count)
// and stored back.
template <int Bpp, typename Chunk>
void PassChunksOfRow(unsigned char* row, int x, int width, std::uint32_t* words,
                     const Chunk& chunk) {
    for (; x < width; x += kColorChunk) {
        const int count = std::min(kColorChunk, width - x);
        unsigned char* pixels = row + static_cast<std::ptrdiff_t>(x) * Bpp;
        LoadWords<Bpp>(pixels, count, words);
        std::fill(words + count, words + ((count + 15) & ~15), 0u);
        chunk(count);
        StoreWords<Bpp>(words, count, pixels);
    }
}

template <int Bpp, typename Body>
void PassRowChunks(unsigned char* data, std::ptrdiff_t pitch, int width, int rowBegin, int rowEnd,
                   const Body& body) {
    const Body local = body;
    alignas(64) std::uint32_t words[kColorChunk];
    for (int y = rowBegin; y < rowEnd; ++y) {
        unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * pitch;
        PassChunksOfRow<Bpp>(row, 0, width, words, [&](int count) { local(words, count); });
    }
}

// As PassRowChunks, but a 4-byte row's whole groups of sixteen pixels are
// handed over in place, as the row's own bytes: they are words already, and
// copying them out and back in would cost more than some bodies' work.
template <int Bpp, typename Body>
void PassRowWords(unsigned char* data, std::ptrdiff_t pitch, int width, int rowBegin, int rowEnd,
                  const Body& body) {
    const Body local = body;
    alignas(64) std::uint32_t words[kColorChunk];
    unsigned char* const wordBytes = reinterpret_cast<unsigned char*>(words);
    const int inPlace = Bpp == TiRGBABpp ? width / 16 * 16 : 0;
    for (int y = rowBegin; y < rowEnd; ++y) {
        unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * pitch;
        if (inPlace > 0) local(row, inPlace);
        PassChunksOfRow<Bpp>(row, inPlace, width, words,
                             [&](int count) { local(wordBytes, count); });
    }
}

}  // namespace color_pass_detail

// Runs body(pixel) over every pixel of a bitmap of TiRGBBpp or TiRGBABpp bytes
// per pixel; other formats are the caller's to refuse.
template <typename Body>
void RunColorPass(const TiBitmapData& bitmap, const Body& body) {
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        color_pass_detail::PassRows<decltype(bpp)::value>(
            bitmap.GetData(), bitmap.GetPitch(), bitmap.GetWidth(), rowBegin, rowEnd, body);
    });
}

// Runs body(words, count) over every pixel of a bitmap of TiRGBBpp or
// TiRGBABpp bytes per pixel, `count` (1..kColorChunk) pixels of one row at a
// time. The words past `count`, up to the next multiple of sixteen, are 0
// and may be used as scratch.
template <typename Body>
void RunColorChunkPass(const TiBitmapData& bitmap, const Body& body) {
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        color_pass_detail::PassRowChunks<decltype(bpp)::value>(
            bitmap.GetData(), bitmap.GetPitch(), bitmap.GetWidth(), rowBegin, rowEnd, body);
    });
}

// As RunColorChunkPass, but body(bytes, count) is handed bytes that hold
// `count` words, and a 4-byte row's whole groups of sixteen pixels reach it
// in place, `count` then a multiple of sixteen with no spare words: the body
// reads and writes them with memcpy (they are the bitmap's bytes, at any
// alignment) and writes each word's top byte, alpha, back as it found it.
// The rest of such a row, and 3-byte rows, come in chunks as above.
template <typename Body>
void RunColorWordPass(const TiBitmapData& bitmap, const Body& body) {
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        color_pass_detail::PassRowWords<decltype(bpp)::value>(
            bitmap.GetData(), bitmap.GetPitch(), bitmap.GetWidth(), rowBegin, rowEnd, body);
    });
}

}  // namespace vantrel
