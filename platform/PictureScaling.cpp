#include "platform/PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "Core/base/Zoom.h"

namespace vantrel {
namespace {

// The source pixels that output pixel i of `count` covers along a side of
// `length` pixels, each with the part of it that is covered.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> Spans(int length, int count) {
    std::vector<Span> spans(static_cast<std::size_t>(count));
    const double step = static_cast<double>(length) / count;
    for (int i = 0; i < count; ++i) {
        const double start = i * step;
        const double end = std::min<double>(length, (i + 1) * step);
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(start);
        for (int s = span.first; s < end; ++s) {
            const double covered = std::min<double>(s + 1, end) - std::max<double>(s, start);
            span.weights.push_back(static_cast<float>(covered / step));
        }
    }
    return spans;
}

// Averages one source row (width RGBA bytes) along its length into
// `target` (spans.size() RGBA floats).
void ReduceRow(const unsigned char* row, const std::vector<Span>& spans, float* target) {
    for (std::size_t x = 0; x < spans.size(); ++x) {
        float sum[4] = {0, 0, 0, 0};
        const Span& span = spans[x];
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            const unsigned char* pixel = row + (static_cast<std::size_t>(span.first) + k) * 4;
            for (int c = 0; c < 4; ++c) sum[c] += pixel[c] * span.weights[k];
        }
        std::copy(sum, sum + 4, target + x * 4);
    }
}

// Both passes, one output row at a time: each source row is reduced along
// its length once (twice where two output rows share it), so the work
// memory is two rows of floats.
void Reduce(const Picture& picture, int width, int height, unsigned char* target) {
    const std::vector<Span> columns = Spans(picture.width(), width);
    const std::vector<Span> rows = Spans(picture.height(), height);
    const std::size_t rowFloats = static_cast<std::size_t>(width) * 4;
    std::vector<float> reduced(rowFloats);
    std::vector<float> sum(rowFloats);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const Span& span = rows[y];
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            const int sourceRow = span.first + static_cast<int>(k);
            ReduceRow(picture.data() + static_cast<std::size_t>(sourceRow) * picture.pitch(),
                      columns, reduced.data());
            for (std::size_t i = 0; i < rowFloats; ++i) sum[i] += reduced[i] * span.weights[k];
        }
        unsigned char* out = target + y * rowFloats;
        for (std::size_t i = 0; i < rowFloats; ++i) {
            out[i] = static_cast<unsigned char>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
        }
    }
}

Picture Enlarged(const Picture& picture, int width, int height) {
    const std::unique_ptr<TiBitmapData> source = BitmapFromPicture(picture);
    if (!source) return Picture();
    const std::unique_ptr<TiBitmapData> scaled = CreateImageZoom(*source, width, height);
    return scaled ? PictureFromBitmap(*scaled) : Picture();
}

}  // namespace

Picture ScalePicture(const Picture& picture, int width, int height) {
    if (picture.empty() || !PictureSizeError(width, height).empty()) return Picture();
    if (width == picture.width() && height == picture.height()) return picture;
    if (width > picture.width() || height > picture.height()) {
        return Enlarged(picture, width, height);
    }
    try {
        PixelBuffer scaled = PixelBuffer::Allocate(width, height);
        if (scaled.empty()) return Picture();
        Reduce(picture, width, height, scaled.data());
        return scaled.Finish();
    } catch (const std::bad_alloc&) {
        return Picture();
    }
}

Result<std::unique_ptr<TiBitmapData>> ScaleToShorterSide(const Picture& picture, int size) {
    using Outcome = Result<std::unique_ptr<TiBitmapData>>;
    const std::int64_t width = picture.width();
    const std::int64_t height = picture.height();
    const std::int64_t shorter = std::min(width, height);
    if (size == shorter) {
        auto copy = BitmapFromPicture(picture);
        if (!copy) return Outcome::Failure("not enough memory");
        return Outcome::Success(std::move(copy));
    }
    const std::int64_t newWidth = std::max<std::int64_t>(1, width * size / shorter);
    const std::int64_t newHeight = std::max<std::int64_t>(1, height * size / shorter);
    const std::string sizeError = PictureSizeError(newWidth, newHeight);
    if (!sizeError.empty()) return Outcome::Failure(sizeError);
    auto source = BitmapFromPicture(picture);
    auto scaled =
        source ? CreateImageZoom(*source, static_cast<int>(newWidth), static_cast<int>(newHeight))
               : nullptr;
    if (!scaled) return Outcome::Failure("not enough memory");
    return Outcome::Success(std::move(scaled));
}

}  // namespace vantrel
