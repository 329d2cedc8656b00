#include "Core/filter/Mosaics.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "Core/global/Numeric.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// The grid over one picture; sizes in 64 bits so that no grid width, however
// wild, overflows.
struct Grid {
    int g;
    int columns;
    int rows;
    int channels;  // bytes treated per pixel, starting at byte 0

    Grid(const TiBitmapData& bitmap, int width, int channelCount)
        : g(width),
          columns(static_cast<int>((std::int64_t{bitmap.GetWidth()} + width - 1) / width)),
          rows(static_cast<int>((std::int64_t{bitmap.GetHeight()} + width - 1) / width)),
          channels(channelCount) {}

    // First pixel and extent of cell number k along a side of `length` pixels.
    int Start(int k) const { return static_cast<int>(std::int64_t{k} * g); }
    int Extent(int k, int length) const { return std::min<std::int64_t>(g, length - Start(k)); }
};

std::uint8_t* Row(const TiBitmapData& bitmap, int y) {
    return bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
}

// The averages of every cell of cell row `cellRow`, channel by channel, into
// average[column * channels + channel].
void AverageCellRow(const TiBitmapData& bitmap, const Grid& grid, int cellRow,
                    std::int64_t* average) {
    const int bpp = bitmap.GetBpp();
    const int top = grid.Start(cellRow);
    const int height = grid.Extent(cellRow, bitmap.GetHeight());
    std::fill(average, average + static_cast<std::size_t>(grid.columns) * grid.channels, 0);
    for (int y = top; y < top + height; ++y) {
        const std::uint8_t* p = Row(bitmap, y);
        for (int column = 0; column < grid.columns; ++column) {
            std::int64_t* sum = average + static_cast<std::size_t>(column) * grid.channels;
            const int width = grid.Extent(column, bitmap.GetWidth());
            for (int x = 0; x < width; ++x, p += bpp) {
                for (int c = 0; c < grid.channels; ++c) sum[c] += p[c];
            }
        }
    }
    for (int column = 0; column < grid.columns; ++column) {
        const std::int64_t area = std::int64_t{grid.Extent(column, bitmap.GetWidth())} * height;
        for (int c = 0; c < grid.channels; ++c) {
            average[static_cast<std::size_t>(column) * grid.channels + c] /= area;
        }
    }
}

TiBuffer<std::int64_t> TakeAverages(const Grid& grid) {
    return TiBuffer<std::int64_t>(TiByteCount(grid.columns, grid.channels));
}

// Dot's weight of white for every column j of a cell at row i of its cell:
// negative inside the dot's centre (the pixel keeps the average).
void DotWeights(int g, int i, int columns, double* weight) {
    const float r0 = static_cast<float>(g / 8);
    const float fade = static_cast<float>(g / 2 - g / 8);
    const std::int64_t dy = std::int64_t{i} - g / 2;
    for (int j = 0; j < columns; ++j) {
        const std::int64_t dx = std::int64_t{j} - g / 2;
        const float dist = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        if (dist <= r0) {
            weight[j] = -1.0;
            continue;
        }
        const float t = (dist - r0) / fade;
        const double p = static_cast<double>(t) * t * t;
        weight[j] = p * 0.25;
    }
}

void PaintDotRow(std::uint8_t* p, int bpp, const Grid& grid, int pictureWidth,
                 const std::int64_t* average, const double* weight) {
    for (int column = 0; column < grid.columns; ++column) {
        const std::int64_t* a = average + static_cast<std::size_t>(column) * grid.channels;
        const int width = grid.Extent(column, pictureWidth);
        for (int j = 0; j < width; ++j, p += bpp) {
            for (int c = 0; c < grid.channels; ++c) {
                if (weight[j] < 0) {
                    p[c] = static_cast<std::uint8_t>(a[c]);
                } else {
                    const float v = static_cast<float>(a[c] + (255 - a[c]) * weight[j]);
                    p[c] = TiClampByte(v);
                }
            }
        }
    }
}

}  // namespace

int Mosaics(TiBitmapData& bitmap, int g) {
    if (g <= 1 || bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0) return 1;
    const Grid grid(bitmap, g, bitmap.GetBpp());
    const TiBuffer<std::int64_t> average = TakeAverages(grid);
    if (!average) return 0;
    for (int cellRow = 0; cellRow < grid.rows; ++cellRow) {
        AverageCellRow(bitmap, grid, cellRow, average.get());
        const int top = grid.Start(cellRow);
        for (int y = top; y < top + grid.Extent(cellRow, bitmap.GetHeight()); ++y) {
            std::uint8_t* p = Row(bitmap, y);
            for (int column = 0; column < grid.columns; ++column) {
                const std::int64_t* a =
                    average.get() + static_cast<std::size_t>(column) * grid.channels;
                const int width = grid.Extent(column, bitmap.GetWidth());
                for (int x = 0; x < width; ++x, p += grid.channels) {
                    for (int c = 0; c < grid.channels; ++c) p[c] = static_cast<std::uint8_t>(a[c]);
                }
            }
        }
    }
    return 1;
}

int Dot(TiBitmapData& bitmap, int g) {
    if (g <= 0 || bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0) return 1;
    const int bpp = bitmap.GetBpp();
    const Grid grid(bitmap, g, bpp == TiRGBABpp ? 3 : bpp);
    const int cellColumns = std::min(g, bitmap.GetWidth());
    const TiBuffer<std::int64_t> average = TakeAverages(grid);
    const TiBuffer<double> weight(static_cast<std::size_t>(cellColumns));
    if (!average || !weight) return 0;
    for (int cellRow = 0; cellRow < grid.rows; ++cellRow) {
        AverageCellRow(bitmap, grid, cellRow, average.get());
        const int top = grid.Start(cellRow);
        for (int i = 0; i < grid.Extent(cellRow, bitmap.GetHeight()); ++i) {
            DotWeights(g, i, cellColumns, weight.get());
            PaintDotRow(Row(bitmap, top + i), bpp, grid, bitmap.GetWidth(), average.get(),
                        weight.get());
        }
    }
    return 1;
}

}  // namespace vantrel
