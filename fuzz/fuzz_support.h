// Helpers and the common headers of the fuzz targets, each run in one thread.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/afx_file.h>
#include <corvane/platform/cstring.h>
#include <unistd.h>  // getpid

#include <algorithm>
#include <boost/any.hpp>
#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "support/chunk_tree.h"  // tests/support

namespace corvane_fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// One execution, Reached() when it got to the code the target is for. At exit
// "reached N of M (WHAT)" goes to $CORVANE_FUZZ_REACHED (or stderr) for fuzz.sh.
class Execution {
 public:
  explicit Execution(const char* what) {
    if (s_runs++ == 0 && std::atexit(&Report) == 0) s_what = what;
  }
  void Reached() { s_reached += !std::exchange(m_reached, true); }

 private:
  static void Report() {
    const char* path = std::getenv("CORVANE_FUZZ_REACHED");
    std::FILE* file = path != nullptr && *path != '\0' ? std::fopen(path, "w") : nullptr;
    std::fprintf(file != nullptr ? file : stderr, "reached %llu of %llu (%s)\n", s_reached, s_runs,
                 s_what);
    if (file != nullptr) std::fclose(file);
  }
  // Trivially destructible, so they outlive every exit handler.
  static inline const char* s_what = "";
  static inline unsigned long long s_runs = 0;
  static inline unsigned long long s_reached = 0;
  bool m_reached = false;
};

// An input whose first byte is kRaw stands for the file that follows it; any
// other is a program for the target's builder (the rest of it), which
// libFuzzer's mutations turn into another program. Past its end it reads 0.
constexpr char kRaw = 'R';

struct Program {
  bool Done() const { return at >= end; }
  std::uint8_t Next() { return Done() ? 0 : *at++; }
  template <typename T>
  T Bytes() {
    T value{};
    const std::size_t take = std::min<std::size_t>(sizeof value, end - at);
    if (take > 0) std::memcpy(&value, at, take);
    at += take;
    return value;
  }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Next() % N];
  }

  const std::uint8_t* at;
  const std::uint8_t* end;
  // Whether the builder may break what it builds: only where the bytes add up
  // to a multiple of eight, so most offspring of a broken program are whole.
  bool mayBreak = std::accumulate(at, end, 0u) % 8 == 0;
};

// The file an input stands for: built by `build`, or the input itself.
inline std::string FileFrom(const std::uint8_t* data, std::size_t size,
                            std::string (*build)(Program&)) {
  if (size == 0) return std::string();
  Program program{data + 1, data + size};
  return data[0] == kRaw ? std::string(program.at, program.end) : build(program);
}

// A file of this process under $TMPDIR (or /tmp), rewritten for every input
// and removed at exit.
class ScratchFile {
 public:
  explicit ScratchFile(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    m_path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/corvane_fuzz_" +
             std::to_string(::getpid()) + name;
  }
  ~ScratchFile() { std::remove(m_path.c_str()); }
  CString path() const { return CString(m_path.c_str()); }
  void Write(const std::string& bytes) const {
    Require(static_cast<bool>(std::ofstream(m_path, std::ios::binary) << bytes));
  }
  std::string Read() const {
    std::ifstream in(m_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string m_path;
};

// Bytes in memory for a loading CArchive, which only reads and asks where it is.
class MemoryFile : public CFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  UINT Read(void* buffer, UINT count) override {
    const std::size_t take = std::min<std::size_t>(count, m_size - m_position);
    if (take > 0) std::memcpy(buffer, m_data + m_position, take);
    m_position += take;
    return static_cast<UINT>(take);
  }
  ULONGLONG GetLength() const override { return m_size; }
  ULONGLONG GetPosition() const override { return m_position; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
};

// A tree's chunk count, and a digest equal for trees of the same labels, names,
// types and values in the same shape; each chunk's two value maps are checked
// against the counts its getValues gives.
struct Tree {
  std::size_t chunks = 0;
  std::string digest;
};
inline Tree Walk(const boost::shared_ptr<IChunk>& root) {
  Tree tree;
  corvane_test::ForEachChunk(root, [&tree](IChunk& chunk) {
    ++tree.chunks;
    std::map<CString, CString> texts;
    std::map<CString, boost::any> values;
    Require(chunk.getValues(texts) == texts.size());
    Require(chunk.getValues(values) == values.size());
  });
  tree.digest = corvane_test::Outline(root);
  return tree;
}

}  // namespace corvane_fuzz
