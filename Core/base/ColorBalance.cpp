#include "Core/base/ColorBalance.h"

#include <algorithm>
#include <mutex>

#include "Core/base/ColorPass.h"
#include "Core/base/HSLModel.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/ColorBalance";

// How strongly a shift of 1 moves each input level, per range and direction.
struct TransferCurves {
    double shadowsAdd[256];
    double shadowsSubtract[256];
    double midtonesAdd[256];
    double midtonesSubtract[256];
    double highlightsAdd[256];
    double highlightsSubtract[256];
};

const TransferCurves& GetTransferCurves() {
    static TransferCurves curves;
    static std::once_flag built;
    std::call_once(built, [] {
        for (int i = 0; i < 256; ++i) {
            const double level = i;
            // Rises steeply out of the dark end and flattens toward white.
            const double rising = 1.075 - 1.0 / (level / 16.0 + 1.0);
            // A hump over the middle levels: 0 at level 0, just below 0 at 255
            // (128/127 from the middle).
            const double centred = (level - 127.0) / 127.0;
            const double hump = 0.667 * (1.0 - centred * centred);
            curves.highlightsAdd[i] = rising;
            curves.shadowsSubtract[255 - i] = rising;
            curves.shadowsAdd[i] = hump;
            curves.midtonesAdd[i] = hump;
            curves.midtonesSubtract[i] = hump;
            curves.highlightsSubtract[i] = hump;
        }
    });
    return curves;
}

// The level map of one axis, given its shift in each of the three ranges.
void BuildAxisMap(const TransferCurves& curves, const int (&shift)[3], unsigned char (&map)[256]) {
    const double* shadow = shift[0] > 0 ? curves.shadowsAdd : curves.shadowsSubtract;
    const double* mid = shift[1] > 0 ? curves.midtonesAdd : curves.midtonesSubtract;
    const double* high = shift[2] > 0 ? curves.highlightsAdd : curves.highlightsSubtract;
    for (int i = 0; i < 256; ++i) {
        const double moved = shift[0] * shadow[i] + shift[1] * mid[i] + shift[2] * high[i];
        map[i] = TiClampByte(i + TiTrunc(moved));
    }
}

// The three level maps as words with each mapped level already in its
// byte, so that a colour maps with three lookups and two ORs.
struct WordMaps {
    std::uint32_t red[256];
    std::uint32_t green[256];
    std::uint32_t blue[256];
};

// Maps `count` words into `mapped` and keeps the rounded lightness of each
// unmapped colour ((max + min + 1) / 2 is GetLightness for bytes).
[[gnu::always_inline]] inline void MapChunkKernel(const WordMaps& maps, int count,
                                                  const std::uint32_t* __restrict words,
                                                  std::uint32_t* __restrict mapped,
                                                  int* __restrict lightness) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t red = words[i] & 0xff;
        const std::uint32_t green = words[i] >> 8 & 0xff;
        const std::uint32_t blue = words[i] >> 16 & 0xff;
        mapped[i] = maps.red[red] | maps.green[green] | maps.blue[blue];
        const std::uint32_t mx = std::max(red, std::max(green, blue));
        const std::uint32_t mn = std::min(red, std::min(green, blue));
        lightness[i] = static_cast<int>((mx + mn + 1) >> 1);
    }
}

void MapChunkBaseline(const WordMaps& maps, int count, const std::uint32_t* words,
                      std::uint32_t* mapped, int* lightness) {
    MapChunkKernel(maps, count, words, mapped, lightness);
}

TI_TARGET_AVX2 void MapChunkAvx2(const WordMaps& maps, int count, const std::uint32_t* words,
                                 std::uint32_t* mapped, int* lightness) {
    MapChunkKernel(maps, count, words, mapped, lightness);
}

void MapChunk(const WordMaps& maps, int count, const std::uint32_t* words, std::uint32_t* mapped,
              int* lightness) {
    if (hsl_model::UseAvx2()) {
        MapChunkAvx2(maps, count, words, mapped, lightness);
    } else {
        MapChunkBaseline(maps, count, words, mapped, lightness);
    }
}

}  // namespace

void BalanceColor(TiBitmapData& bitmap, int cyan, int magenta, int yellow, int tone,
                  bool preserveLuminosity) {
    TI_ASSERT(cyan >= -100 && cyan <= 100, "cyan>= -100 && cyan<=100", 40);
    TI_ASSERT(magenta >= -100 && magenta <= 100, "magenta>= -100 && magenta<=100", 41);
    TI_ASSERT(yellow >= -100 && yellow <= 100, "yellow>= -100 && yellow<=100", 42);
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return;

    // shifts[axis][range]: only the chosen range moves.
    int shifts[3][3] = {};
    if (tone >= TiToneShadows && tone <= TiToneHighlights) {
        shifts[0][tone] = cyan;
        shifts[1][tone] = magenta;
        shifts[2][tone] = yellow;
    }
    const TransferCurves& curves = GetTransferCurves();
    unsigned char maps[3][256];
    for (int axis = 0; axis < 3; ++axis) BuildAxisMap(curves, shifts[axis], maps[axis]);
    if (!preserveLuminosity) {
        RunColorPass(bitmap, [&maps](unsigned char* pixel) {
            pixel[0] = maps[0][pixel[0]];
            pixel[1] = maps[1][pixel[1]];
            pixel[2] = maps[2][pixel[2]];
        });
        return;
    }
    WordMaps words;
    for (int level = 0; level < 256; ++level) {
        words.red[level] = maps[0][level];
        words.green[level] = static_cast<std::uint32_t>(maps[1][level]) << 8;
        words.blue[level] = static_cast<std::uint32_t>(maps[2][level]) << 16;
    }
    RunColorChunkPass(bitmap, [&words](std::uint32_t* chunk, int count) {
        alignas(32) std::uint32_t mapped[kColorChunk];
        alignas(32) int lightness[kColorChunk];
        // Rounded up to whole groups: the chunk's spare words are zeros.
        const int groups = (count + 7) & ~7;
        MapChunk(words, groups, chunk, mapped, lightness);
        hsl_model::HSLChunk hsl;
        hsl_model::WordsToHSL(mapped, count, hsl);
        std::copy(lightness, lightness + count, hsl.lightness);
        hsl_model::HSLToWords(hsl, count, chunk);
    });
}

}  // namespace vantrel
