// Square-cell filters: Mosaics (flat tiles) and Dot (soft colour dots on
// white).
//
// Cells: the grid width g cuts the picture into ceil(width / g) columns and
// ceil(height / g) rows of cells, every cell g x g except the last column and
// the last row, which take what is left. A cell's average of a byte is its
// sum over the cell divided by the cell's pixel count (integer division).
//
// Pixel contract: any pixel size; works in place on a bitmap or a view.
// Mosaics averages every byte, alpha included; Dot treats bytes 0..2 of
// 4-byte pixels and every byte of 3- and 1-byte pixels.
//
// Failure contract: a grid width of 0 or less leaves the picture unchanged
// and returns 1; otherwise 0, picture unchanged, when the per-cell sums can't
// be had, else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Every pixel of a cell gets the cell's average. g = 1 changes nothing.
int Mosaics(TiBitmapData& bitmap, int g);

// A dot per cell: with r0 = g / 8, L = g / 2 - r0 and, for the pixel at
// column j and row i of its cell, dist = sqrt((j - g/2)^2 + (i - g/2)^2) as a
// float (g / 2 an integer, so the centre is that of a full cell even in the
// smaller last cells): dist <= r0 gives the average a; otherwise
// t = (dist - r0) / L, p = t^3 in double, and the byte becomes
// a + (255 - a) * p / 4 rounded to a float, clamped to 0..255 and truncated.
int Dot(TiBitmapData& bitmap, int g);

}  // namespace vantrel
