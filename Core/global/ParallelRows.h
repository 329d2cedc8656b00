// Splitting a pass over rows into bands run on several threads.
//
// Only for passes whose rows are independent (each output row depends on
// input that no other band writes), so that the result is bit-identical to
// the serial pass. Never for passes that read pixels written earlier in the
// same pass, nor for passes that draw random numbers in scan order unless
// each band takes its draws from its own place (TiRandomDraws).
//
// One split and one thread policy for every pass: band b of n over `units`
// rows (or row blocks, column strips) takes [units * b / n, units * (b + 1) / n),
// and a pass uses at most the machine's hardware threads.
#pragma once

#include <functional>

namespace vantrel {

// The threads a pass may use: the machine's hardware threads, at least 1.
int TiThreadCount();

// How many bands a pass over `units` independent units splits into: one per
// thread, no more than `units` nor `most` (passes that keep a buffer per band
// bound it), at least 1.
int TiBandCount(int units, int most);

// The units [begin, end) of band `band` of `bands` over `units` units:
// contiguous, in order, their sizes differing by at most one.
struct TiBand {
    int begin;
    int end;
};
TiBand TiBandOf(int units, int band, int bands);

// Calls band(rowBegin, rowEnd) over [0, rows) in contiguous bands, on up to
// TiThreadCount() threads (the caller's thread included). Small passes
// (rows * rowWork below a threshold) run serially on the caller's thread.
// rowWork is the rough cost of one row, e.g. its pixel count.
void ParallelRows(int rows, long rowWork,
                  const std::function<void(int rowBegin, int rowEnd)>& band);

}  // namespace vantrel
