// Picture codecs at full size: decoding and encoding a 12-megapixel JPEG,
// and encoding a 0.6-megapixel PNG (a preview-sized history picture).
// Decoding returns a new picture each time, so it pays for fresh output
// memory as BM_MemcpyFresh does.
#include <cstring>

#include "Core/global/TiMemory.h"
#include "Fixture.h"
#include "platform/JpegCodec.h"
#include "platform/Picture.h"
#include "platform/PictureCodec.h"
#include "platform/PngCodec.h"

namespace vantrel::bench {
namespace {

constexpr int kJpegQuality = 92;
constexpr int kPreviewWidth = 1000;
constexpr int kPreviewHeight = 600;

Picture PhotoPicture(int width = kWidth, int height = kHeight) {
    return PictureFromBitmap(*MakePhoto(TiRGBABpp, width, height));
}

void ReportPictureThroughput(benchmark::State& state, const Picture& picture) {
    const double pixels = static_cast<double>(picture.width()) * picture.height();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(picture.byteCount()));
    state.counters["MP/s"] =
        benchmark::Counter(pixels / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_JpegDecode(benchmark::State& state) {
    const Picture picture = PhotoPicture();
    const std::vector<unsigned char> file = EncodeJpeg(picture, kJpegQuality).value();
    for (auto _ : state) {
        Result<Picture> decoded = DecodeJpeg(file);
        if (!decoded) state.SkipWithError(decoded.error().c_str());
        benchmark::DoNotOptimize(decoded.value().data());
    }
    ReportPictureThroughput(state, picture);
    state.counters["file MB"] = static_cast<double>(file.size()) / 1e6;
}
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond);

void BM_JpegEncode(benchmark::State& state) {
    const Picture picture = PhotoPicture();
    for (auto _ : state) {
        Result<std::vector<unsigned char>> file = EncodeJpeg(picture, kJpegQuality);
        if (!file) state.SkipWithError(file.error().c_str());
        benchmark::DoNotOptimize(file.value().data());
    }
    ReportPictureThroughput(state, picture);
}
BENCHMARK(BM_JpegEncode)->Unit(benchmark::kMillisecond);

// Encodes `picture` as PNG on every pass, reporting the file's size.
void TimePngEncode(benchmark::State& state, const Picture& picture) {
    std::size_t size = 0;
    for (auto _ : state) {
        Result<std::vector<unsigned char>> file = EncodePng(picture);
        if (!file) state.SkipWithError(file.error().c_str());
        size = file.value().size();
        benchmark::DoNotOptimize(file.value().data());
    }
    ReportPictureThroughput(state, picture);
    state.counters["file MB"] = static_cast<double>(size) / 1e6;
}

void BM_PngEncodePreview(benchmark::State& state) {
    TimePngEncode(state, PhotoPicture(kPreviewWidth, kPreviewHeight));
}
BENCHMARK(BM_PngEncodePreview)->Unit(benchmark::kMillisecond);

void BM_PngEncodeKodak(benchmark::State& state) {
    TimePngEncode(
        state, ReadPictureFile(std::string(VANTREL_TESTDATA_DIR) + "/photos/kodim23.png").value());
}
BENCHMARK(BM_PngEncodeKodak)->Unit(benchmark::kMillisecond);

void BM_PngDecodePreview(benchmark::State& state) {
    const Picture picture = PhotoPicture(kPreviewWidth, kPreviewHeight);
    const std::vector<unsigned char> file = EncodePng(picture).value();
    for (auto _ : state) {
        Result<Picture> decoded = DecodePng(file);
        if (!decoded) state.SkipWithError(decoded.error().c_str());
        benchmark::DoNotOptimize(decoded.value().data());
    }
    ReportPictureThroughput(state, picture);
}
BENCHMARK(BM_PngDecodePreview)->Unit(benchmark::kMillisecond);

// The floor for the preview-sized picture: a copy of its 2.4 MB.
void BM_MemcpyPreview(benchmark::State& state) {
    const Picture picture = PhotoPicture(kPreviewWidth, kPreviewHeight);
    auto* target = static_cast<unsigned char*>(TiMalloc(picture.byteCount()));
    for (auto _ : state) {
        std::memcpy(target, picture.data(), picture.byteCount());
        benchmark::ClobberMemory();
    }
    TiFree(target);
    ReportPictureThroughput(state, picture);
}
BENCHMARK(BM_MemcpyPreview)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench
