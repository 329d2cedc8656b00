// Work memory of the imaging core.
//
// TiMalloc / TiCalloc / TiFree are thin wrappers over malloc and free: a block
// from TiMalloc may be released with free, and a bitmap that owns its pixels
// releases them with free. Large blocks are 2 MiB aligned and marked for
// transparent huge pages, because the first touch of every 4 KiB page of a
// fresh full-size buffer costs more than most operations on its pixels.
//
// Sizes come in as 64-bit values: TiByteCount multiplies dimensions with an
// overflow check, so that no caller computes a wrapped size from outside input.
//
// The test hook makes the n-th allocation from now fail, so that every
// "returns 0 and leaves the bitmap unchanged" path can be exercised.
//
// TiBuffer<T> owns one such block and releases it when it goes, however its
// scope is left (a return, a throw): the core's work memory is held in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace vantrel {

// A block of `bytes` bytes (at least one), or null when memory can't be had.
void* TiMalloc(std::size_t bytes);

// A zero-filled block of count × size bytes, or null on overflow or failure.
void* TiCalloc(std::size_t count, std::size_t size);

void TiFree(void* block);

// a × b × c as a byte count, or nothing when a factor is negative or the
// product does not fit in 63 bits.
std::optional<std::size_t> TiByteCount(std::int64_t a, std::int64_t b, std::int64_t c = 1);

// Work memory for `count` elements of T from TiMalloc (TiCalloc when
// zero-filled), released with TiFree. Empty when memory can't be had, when
// the size overflows, or when the count is an empty optional (then nothing
// is asked for, so the test hook counts no allocation).
template <typename T>
class TiBuffer {
public:
    enum Fill { kUninitialised, kZeroed };

    TiBuffer() = default;
    explicit TiBuffer(std::optional<std::size_t> count, Fill fill = kUninitialised) {
        if (!count) return;
        if (fill == kZeroed) {
            m_data = static_cast<T*>(TiCalloc(*count, sizeof(T)));
        } else if (*count <= SIZE_MAX / sizeof(T)) {
            m_data = static_cast<T*>(TiMalloc(*count * sizeof(T)));
        }
    }
    TiBuffer(TiBuffer&& other) noexcept : m_data(std::exchange(other.m_data, nullptr)) {}
    TiBuffer& operator=(TiBuffer&& other) noexcept {
        std::swap(m_data, other.m_data);
        return *this;
    }
    TiBuffer(const TiBuffer&) = delete;
    TiBuffer& operator=(const TiBuffer&) = delete;
    ~TiBuffer() { TiFree(m_data); }

    explicit operator bool() const { return m_data != nullptr; }
    T* get() const { return m_data; }
    T& operator[](std::size_t index) const { return m_data[index]; }
    // Hands the block over to a new owner, who frees it with TiFree (or free).
    T* release() { return std::exchange(m_data, nullptr); }

private:
    T* m_data = nullptr;
};

// Test hook. FailAllocation(n) makes the n-th TiMalloc/TiCalloc from now fail
// (1 = the next one) and every later one succeed again; 0 disarms it.
// AllocationCount() counts allocations since the last Reset().
namespace TiMemoryTestHook {
void FailAllocation(long n);
void Reset();
long AllocationCount();
}  // namespace TiMemoryTestHook

}  // namespace vantrel
