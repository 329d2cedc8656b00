#include "Core/global/TiMemory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace vantrel {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugePageThreshold = std::size_t{4} << 20;

std::atomic<long> g_allocationCount{0};
std::atomic<long> g_failAt{0};

// True when the hook says this allocation must fail.
bool HookRefuses() {
    long count = g_allocationCount.fetch_add(1, std::memory_order_relaxed) + 1;
    long failAt = g_failAt.load(std::memory_order_relaxed);
    return failAt != 0 && count == failAt;
}

void* AllocateLarge(std::size_t bytes) {
    std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block) madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void* TiMalloc(std::size_t bytes) {
    if (HookRefuses()) return nullptr;
    if (bytes == 0) bytes = 1;
    if (bytes >= kHugePageThreshold) return AllocateLarge(bytes);
    return std::malloc(bytes);
}

void* TiCalloc(std::size_t count, std::size_t size) {
    if (count > INT64_MAX || size > INT64_MAX) return nullptr;
    std::optional<std::size_t> bytes =
        TiByteCount(static_cast<std::int64_t>(count), static_cast<std::int64_t>(size));
    if (!bytes) return nullptr;
    void* block = TiMalloc(*bytes);
    if (block) std::memset(block, 0, *bytes);
    return block;
}

void TiFree(void* block) {
    std::free(block);
}

std::optional<std::size_t> TiByteCount(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (a < 0 || b < 0 || c < 0) return std::nullopt;
    std::int64_t ab = 0;
    std::int64_t abc = 0;
    if (__builtin_mul_overflow(a, b, &ab) || __builtin_mul_overflow(ab, c, &abc)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(abc);
}

namespace TiMemoryTestHook {

void FailAllocation(long n) {
    g_allocationCount.store(0, std::memory_order_relaxed);
    g_failAt.store(n, std::memory_order_relaxed);
}

void Reset() {
    FailAllocation(0);
}

long AllocationCount() {
    return g_allocationCount.load(std::memory_order_relaxed);
}

}  // namespace TiMemoryTestHook
}  // namespace vantrel
