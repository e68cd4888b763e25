// Test helper: replaces every form of the global operator new/delete of ONE test program
// (include it from exactly one file per executable) to measure the peak of
// live heap bytes over a stretch of code.
#pragma once

#include <malloc.h>

#if defined(_WIN32)
#define malloc_usable_size _msize  // the C runtime's name for the same answer
#endif

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace corvane_test {

inline std::atomic<std::size_t> g_liveBytes{0};
inline std::atomic<std::size_t> g_peakBytes{0};

// Peak of live bytes above the level at construction.
class AllocationMeter {
 public:
  AllocationMeter() : m_base(g_liveBytes.load()) { g_peakBytes.store(m_base); }
  std::size_t PeakAboveStart() const { return g_peakBytes.load() - m_base; }

 private:
  std::size_t m_base;
};

}  // namespace corvane_test

// Counted in usable block sizes, so that delete needs no header of its own.
// Kept out of line: inlined into callers, GCC would pair the visible new
// expressions with free() and warn.
__attribute__((noinline)) void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::size_t live =
      corvane_test::g_liveBytes.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
  std::size_t peak = corvane_test::g_peakBytes.load();
  while (live > peak && !corvane_test::g_peakBytes.compare_exchange_weak(peak, live)) {
  }
  return block;
}
__attribute__((noinline)) void* operator new[](std::size_t size) { return ::operator new(size); }
__attribute__((noinline)) void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  corvane_test::g_liveBytes.fetch_sub(malloc_usable_size(pointer));
  std::free(pointer);
}
__attribute__((noinline)) void operator delete[](void* pointer) noexcept {
  ::operator delete(pointer);
}
__attribute__((noinline)) void operator delete(void* pointer, std::size_t) noexcept {
  ::operator delete(pointer);
}
__attribute__((noinline)) void operator delete[](void* pointer, std::size_t) noexcept {
  ::operator delete(pointer);
}
// The non-throwing forms count the same way, so every form pairs with every delete.
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}
__attribute__((noinline)) void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  ::operator delete(pointer);
}
__attribute__((noinline)) void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  ::operator delete(pointer);
}
