// Helpers of the custom mutators: a seeded random source, and libFuzzer's
// own byte mutation (dictionary and comparison hints included) applied to a
// piece of a structured input. Under replay_main.cpp the byte mutation is a
// stand-in that flips one byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace corvane_fuzz {

class Random {
 public:
  explicit Random(unsigned int seed) : m_engine(seed) {}

  // 0 .. count - 1; 0 when count is 0.
  std::size_t Below(std::size_t count) {
    return count == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, count - 1)(m_engine);
  }
  bool OneIn(std::size_t count) { return Below(count) == 0; }
  std::uint64_t Bits() { return (std::uint64_t{m_engine()} << 32) ^ m_engine(); }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  std::mt19937 m_engine;
};

// `text` after one of libFuzzer's byte mutations, at most `maxSize` bytes.
inline std::string FuzzBytes(std::string text, std::size_t maxSize) {
  if (text.empty()) text.push_back(' ');  // the byte mutators want something to work on
  const std::size_t size = std::min(text.size(), maxSize);
  text.resize(std::max(maxSize, size));
  text.resize(LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(&text[0]), size, text.size()));
  return text;
}

}  // namespace corvane_fuzz
