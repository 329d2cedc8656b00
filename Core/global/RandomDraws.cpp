#include "Core/global/RandomDraws.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "Core/global/TargetClones.h"

namespace vantrel {
namespace {

constexpr int kLag = 31;      // s[i] takes s[i - 31] ...
constexpr int kShortLag = 3;  // ... plus s[i - 3]

// random()'s state block in the GNU C library: a word holding
// position * kTypes + type, then the 31 values in a ring. The next draw adds
// the value at the read position to the one 3 places on (the oldest) and
// stores the sum there; both positions then move on by one.
constexpr int kTypes = 5;
constexpr int kAdditive31 = 3;  // the default type, the only one read here
constexpr int kStateWords = kLag + 1;
// The farthest term of the unrolled recurrence a refill uses.
constexpr int kReach = kLag + 2 * kShortLag;

// Coefficients of x^0 .. x^30 modulo x^31 - x^28 - 1, in 32-bit arithmetic:
// x^n stands for s[n - 31], so the coefficients of x^n give s[n - 31] as a
// sum over the 31 values s[-31] .. s[-1].
using Poly = std::array<std::uint32_t, kLag>;

Poly TimesX(const Poly& a) {
    Poly r;
    r[0] = a[kLag - 1];
    for (int i = 1; i < kLag; ++i) r[i] = a[i - 1];
    r[kLag - kShortLag] += a[kLag - 1];
    return r;
}

Poly Product(const Poly& a, const Poly& b) {
    std::uint32_t wide[2 * kLag - 1] = {};
    for (int i = 0; i < kLag; ++i) {
        for (int j = 0; j < kLag; ++j) wide[i + j] += a[i] * b[j];
    }
    // x^d = x^(d - 3) + x^(d - 31), from the top down.
    for (int d = 2 * kLag - 2; d >= kLag; --d) {
        wide[d - kShortLag] += wide[d];
        wide[d - kLag] += wide[d];
    }
    Poly r;
    std::memcpy(r.data(), wide, sizeof r);
    return r;
}

Poly PowerOfX(std::uint64_t n) {
    Poly r{};
    r[0] = 1;
    bool started = false;
    for (int bit = 63; bit >= 0; --bit) {
        if (started) r = Product(r, r);
        if (n >> bit & 1) {
            r = TimesX(r);
            started = true;
        }
    }
    return r;
}

// Fills v[31 .. end) from the 31 values before.
TI_TARGET_CLONES void Continue(std::uint32_t* v, int end) {
    for (int i = kLag; i < kReach; ++i) v[i] = v[i - kLag] + v[i - kShortLag];
    // Unrolled three times, s[i] = s[i - 9] + s[i - 31] + s[i - 34] + s[i - 37]:
    // no term nearer than 9 back, so eight values at a time in vector lanes.
    for (int i = kReach; i < end; ++i) {
        v[i] = v[i - 3 * kShortLag] + v[i - kLag] + v[i - kLag - kShortLag] +
               v[i - kLag - 2 * kShortLag];
    }
}

std::int32_t ReadWord(const char* block, int index) {
    std::int32_t word;
    std::memcpy(&word, block + 4 * index, 4);
    return word;
}

}  // namespace

void TiRandomStream::Refill() {
    if (m_library) {
        // One call at a time: a stream must never draw past its pass.
        m_values[kLag + kBlock - 1] = static_cast<std::uint32_t>(random()) << 1;
        m_position = kBlock - 1;
        return;
    }
    std::memmove(m_values, m_values + kBlock, sizeof(std::uint32_t) * kLag);
    Continue(m_values, kLag + kBlock);
    m_position = 0;
}

void TiRandomStream::Fill(std::uint32_t* out, int count) {
    while (count > 0) {
        if (m_position == kBlock) Refill();
        const int take = std::min(count, kBlock - m_position);
        const std::uint32_t* block = m_values + kLag + m_position;
        for (int i = 0; i < take; ++i) out[i] = block[i] >> 1;
        m_position += take;
        out += take;
        count -= take;
    }
}

TiRandomDraws::TiRandomDraws(std::int64_t count) : m_count(count) {
#if defined(__GLIBC__)
    if (count <= 0) return;
    // initstate switches the generator to a scratch block and, in doing so,
    // writes the read position into the library's block, which it returns.
    std::int32_t scratch[kStateWords];
    char* library = initstate(1, reinterpret_cast<char*>(scratch), sizeof scratch);
    if (!library) return;
    const std::int32_t head = ReadWord(library, 0);
    const int rear = head / kTypes;
    if (head % kTypes == kAdditive31 && rear >= 0 && rear < kLag) {
        const int front = (rear + kShortLag) % kLag;
        for (int j = 0; j < kLag; ++j) {
            m_history[j] = static_cast<std::uint32_t>(ReadWord(library, 1 + (front + j) % kLag));
        }
        // A probe: one draw from a copy must be the predicted s[0].
        std::int32_t probe[kStateWords];
        std::memcpy(probe, library, sizeof probe);
        setstate(reinterpret_cast<char*>(probe));
        const long drawn = random();
        m_parallel = drawn == static_cast<long>((m_history[0] + m_history[kLag - kShortLag]) >> 1);
    }
    setstate(library);  // back to the untouched block, at its own position
    m_library = library;
    m_rear = rear;
#endif
}

TiRandomDraws::~TiRandomDraws() {
    if (!m_parallel) return;
    const TiRandomStream after = StreamAt(m_count);
    std::int32_t block[kStateWords];
    const int rear = static_cast<int>((m_rear + m_count % kLag) % kLag);
    const int front = (rear + kShortLag) % kLag;
    block[0] = rear * kTypes + kAdditive31;
    for (int j = 0; j < kLag; ++j) {
        block[1 + (front + j) % kLag] =
            static_cast<std::int32_t>(after.m_values[TiRandomStream::kBlock + j]);
    }
    // Away from the library's block while it is rewritten, so that switching
    // back reads the new position rather than saving the old one over it.
    std::int32_t scratch[kStateWords];
    initstate(1, reinterpret_cast<char*>(scratch), sizeof scratch);
    std::memcpy(m_library, block, sizeof block);
    setstate(m_library);
}

TiRandomStream TiRandomDraws::StreamAt(std::int64_t index) const {
    TiRandomStream stream;
    if (!m_parallel) {
        stream.m_library = true;
        return stream;
    }
    // The 31 values before the index go where a refill looks for them.
    Poly power = PowerOfX(static_cast<std::uint64_t>(index));
    for (int j = 0; j < kLag; ++j) {
        std::uint32_t sum = 0;
        for (int i = 0; i < kLag; ++i) sum += power[i] * m_history[i];
        stream.m_values[TiRandomStream::kBlock + j] = sum;
        power = TimesX(power);
    }
    return stream;
}

}  // namespace vantrel
