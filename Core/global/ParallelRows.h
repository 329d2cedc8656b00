// Splitting a pass over rows into bands run on several threads.
//
// Only for passes whose rows are independent (each output row depends on
// input that no other band writes), so that the result is bit-identical to
// the serial pass. Never for passes that draw random numbers in scan order or
// read pixels written earlier in the same pass.
#pragma once

#include <functional>

namespace vantrel {

// Calls band(rowBegin, rowEnd) over [0, rows) in contiguous bands, on up to
// the machine's hardware threads (the caller's thread included). Small passes
// (rows * rowWork below a threshold) run serially on the caller's thread.
// rowWork is the rough cost of one row, e.g. its pixel count.
void ParallelRows(int rows, long rowWork,
                  const std::function<void(int rowBegin, int rowEnd)>& band);

}  // namespace vantrel
