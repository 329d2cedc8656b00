// The C library's random() sequence, drawn from any position at once, so
// that a pass whose draws follow scan order can still run in row bands.
//
// The default generator of random() is additive: s[i] = s[i - 31] + s[i - 3]
// modulo 2^32, each call returning s[i] >> 1. Being linear, the 31 values
// around any later position are fixed sums of the 31 held now, so a band
// that knows how many draws come before its first pixel can start there.
// TiRandomDraws reads the generator's state once, hands out streams that
// start at any index of the next `count` draws, and on leaving puts the
// generator where `count` calls of random() would have put it: a later
// random() returns what it would have after the serial pass.
//
// The state is read through initstate and setstate. Where it does not have
// the form above (another C library, or another generator chosen with
// initstate), or a probe draw from a copy of it does not come out as
// predicted, Parallel() is false: every stream then calls random() itself,
// and the pass must run its bands one after the other, in scan order. The
// program never changes the generator, so that is a safeguard.
//
// Nothing else may call random() while a TiRandomDraws is alive.
#pragma once

#include <cstdint>

namespace vantrel {

// The draws of one band, in order, starting at the index it was made for.
class TiRandomStream {
public:
    // The values the next `count` calls of random() would return in the
    // serial pass, into out[0 .. count).
    void Fill(std::uint32_t* out, int count);

private:
    friend class TiRandomDraws;
    static constexpr int kLag = 31;
    static constexpr int kBlock = 512;

    void Refill();

    bool m_library = false;  // true: each draw is a call of random()
    int m_position = kBlock;
    // The 31 values before the block, then the block.
    std::uint32_t m_values[kLag + kBlock];
};

class TiRandomDraws {
public:
    // Takes hold of the generator for `count` draws (0 or more).
    explicit TiRandomDraws(std::int64_t count);
    // Moves the generator past the `count` draws (in the parallel form; in
    // the serial one the streams' own calls did).
    ~TiRandomDraws();
    TiRandomDraws(const TiRandomDraws&) = delete;
    TiRandomDraws& operator=(const TiRandomDraws&) = delete;

    // Whether streams may run side by side.
    bool Parallel() const { return m_parallel; }

    // The draws from `index` (0 <= index <= count) on.
    TiRandomStream StreamAt(std::int64_t index) const;

private:
    std::int64_t m_count;
    bool m_parallel = false;
    char* m_library = nullptr;  // the library's own state block
    int m_rear = 0;             // the library's read position in it
    // The 31 values before the first draw, oldest first.
    std::uint32_t m_history[TiRandomStream::kLag] = {};
};

}  // namespace vantrel
