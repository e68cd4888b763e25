// The one little-endian codec of the archive layer: every number that goes
// into or out of an archive passes through these two functions, whatever the
// host's byte order. Pure functions on caller-owned bytes; no failures; safe
// from any thread.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace corvane {
namespace platform {
namespace le {

// The unsigned integer with the same width as T (T an integer or floating type).
template <typename T>
using Bits = std::conditional_t<
    sizeof(T) == 1, std::uint8_t,
    std::conditional_t<sizeof(T) == 2, std::uint16_t,
                       std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;

// Writes `value` as sizeof(T) little-endian bytes at `out`.
template <typename T>
inline void Store(unsigned char* out, T value) noexcept {
  static_assert(std::is_arithmetic<T>::value, "only numbers have a byte form");
  Bits<T> bits;
  std::memcpy(&bits, &value, sizeof bits);  // the value's own bits, no conversion
  // Byte by byte by shifts: the compiler merges this into one store on
  // little-endian machines and a swapped store elsewhere.
  for (std::size_t i = 0; i < sizeof bits; ++i) {
    out[i] = static_cast<unsigned char>(bits >> (8 * i));
  }
}

// Reads sizeof(T) little-endian bytes at `in` as a T.
template <typename T>
inline T Load(const unsigned char* in) noexcept {
  static_assert(std::is_arithmetic<T>::value, "only numbers have a byte form");
  Bits<T> bits = 0;
  for (std::size_t i = 0; i < sizeof bits; ++i) {
    bits =
        static_cast<Bits<T>>(bits | static_cast<Bits<T>>(static_cast<Bits<T>>(in[i]) << (8 * i)));
  }
  T value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace le
}  // namespace platform
}  // namespace corvane
