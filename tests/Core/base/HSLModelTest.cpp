#include <gtest/gtest.h>

#include "Core/base/HSL.h"
#include "Core/base/HSLModel.h"

namespace vantrel {
namespace {

using hsl_model::HSLChunk;
using hsl_model::kChunk;

using ToHSL = void (*)(const std::uint32_t*, int, HSLChunk&);
using FromHSL = void (*)(const HSLChunk&, int, std::uint32_t*);

struct Compilation {
    const char* name;
    ToHSL toHSL;
    FromHSL fromHSL;
};

std::vector<Compilation> Compilations() {
    std::vector<Compilation> all = {
        {"baseline", hsl_model::WordsToHSLBaseline, hsl_model::HSLToWordsBaseline}};
    if (hsl_model::HasAvx2()) {
        all.push_back({"avx2", hsl_model::WordsToHSLAvx2, hsl_model::HSLToWordsAvx2});
    }
    return all;
}

// Every colour of the cube, a chunk at a time, with a top byte that must be
// ignored.
TEST(HSLModel, ChunkConversionToHSLMatchesRGBToHSLForEveryColour) {
    const std::vector<Compilation> compilations = Compilations();
    std::uint32_t words[kChunk];
    std::vector<HSLChunk> results(compilations.size());
    int mismatches = 0;
    for (std::uint32_t first = 0; first < (1u << 24) && mismatches < 5; first += kChunk) {
        for (int i = 0; i < kChunk; ++i) words[i] = (first + i) | (i * 37u) << 24;
        for (size_t k = 0; k < compilations.size(); ++k)
            compilations[k].toHSL(words, kChunk, results[k]);
        for (int i = 0; i < kChunk; ++i) {
            const std::uint32_t color = first + i;
            const TiHSLColor expected = RGBToHSL(color & 0xff, color >> 8 & 0xff, color >> 16);
            for (size_t k = 0; k < compilations.size(); ++k) {
                const HSLChunk& hsl = results[k];
                const TiHSLColor got{hsl.hue[i], hsl.saturation[i], hsl.lightness[i]};
                if (got == expected) continue;
                ++mismatches;
                ADD_FAILURE() << compilations[k].name << " colour " << std::hex << color << std::dec
                              << ": " << got.hue << "," << got.saturation << "," << got.lightness
                              << " instead of " << expected.hue << "," << expected.saturation << ","
                              << expected.lightness;
            }
        }
    }
}

// Every hue of the wheel (360 included), saturation and lightness.
TEST(HSLModel, ChunkConversionToRGBMatchesHSLToRGBOnTheWholeWheel) {
    const std::vector<Compilation> compilations = Compilations();
    HSLChunk hsl;
    std::vector<std::vector<std::uint32_t>> results(compilations.size(),
                                                    std::vector<std::uint32_t>(kChunk));
    int mismatches = 0;
    for (int hue = 0; hue <= 360 && mismatches < 5; ++hue) {
        for (int saturation = 0; saturation < 256; ++saturation) {
            for (int i = 0; i < kChunk; ++i) {
                hsl.hue[i] = hue;
                hsl.saturation[i] = saturation;
                hsl.lightness[i] = i;
            }
            for (size_t k = 0; k < compilations.size(); ++k) {
                compilations[k].fromHSL(hsl, kChunk, results[k].data());
            }
            for (int lightness = 0; lightness < 256; ++lightness) {
                const TiRGBColor expected = HSLToRGB(hue, saturation, lightness);
                for (size_t k = 0; k < compilations.size(); ++k) {
                    const std::uint32_t word = results[k][lightness];
                    const TiRGBColor got{static_cast<int>(word & 0xff),
                                         static_cast<int>(word >> 8 & 0xff),
                                         static_cast<int>(word >> 16)};
                    if (got == expected) continue;
                    ++mismatches;
                    ADD_FAILURE() << compilations[k].name << " HSL " << hue << "," << saturation
                                  << "," << lightness << " gave " << got.red << "," << got.green
                                  << "," << got.blue;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
