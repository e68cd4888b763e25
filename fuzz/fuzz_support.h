// Helpers shared by the fuzz targets, each of which runs in one thread.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/afx_file.h>
#include <corvane/platform/cstring.h>
#include <unistd.h>

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

namespace corvane_fuzz {

// One execution of a target; Reached() when it got to the code the target
// is for. At exit (libFuzzer ends a timed run with exit()) "reached N of M
// (WHAT)" goes to the file $CORVANE_FUZZ_REACHED names, else to stderr;
// scripts/fuzz.sh turns it into the share in its summary line.
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

// An input whose first byte is kRaw stands for the file that follows it;
// any other input is a program for the target's builder (the rest of the
// input). libFuzzer's byte mutations of a program make another program, so
// built files stay valid where the builder keeps them valid, and the
// builder gets the larger share of the mutations. Past its end a program
// reads 0.
constexpr char kRaw = 'R';

class Program {
 public:
  Program(const std::uint8_t* data, std::size_t size)
      : m_at(data), m_end(data + size), m_mayBreak(std::accumulate(m_at, m_end, 0u) % 4 == 0) {}
  // Whether the builder may break what it builds: only where the bytes add
  // up to a multiple of four, so most offspring of a broken program are whole
  // again (libFuzzer, drawn to the rare paths of broken files, would
  // otherwise spend much of its time on them).
  bool MayBreak() const { return m_mayBreak; }
  bool Done() const { return m_at >= m_end; }
  std::uint8_t Next() { return Done() ? 0 : *m_at++; }
  template <typename T>
  T Bytes() {
    T value{};
    const std::size_t take = std::min<std::size_t>(sizeof value, m_end - m_at);
    if (take > 0) std::memcpy(&value, m_at, take);
    m_at += take;
    return value;
  }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Next() % N];
  }

 private:
  const std::uint8_t* m_at;
  const std::uint8_t* m_end;
  bool m_mayBreak;
};

// The file an input stands for: built by `build`, or the input itself.
inline std::string FileFrom(const std::uint8_t* data, std::size_t size,
                            std::string (*build)(Program&)) {
  if (size == 0) return std::string();
  Program program(data + 1, size - 1);
  return data[0] == kRaw ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1)
                         : build(program);
}

// A file of this process under $TMPDIR (or /tmp), rewritten for every
// input and removed at exit.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    m_path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/corvane_fuzz_XXXXXX" +
             suffix;
    const int fd = ::mkstemps(&m_path[0], static_cast<int>(std::strlen(suffix)));
    if (fd < 0) std::abort();
    ::close(fd);
  }
  ~ScratchFile() { ::unlink(m_path.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  CString path() const { return CString(m_path.c_str()); }
  void Write(const std::string& bytes) const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) std::abort();
  }
  std::string Read() const {
    std::ifstream in(m_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string m_path;
};

// A CFile over bytes in memory for CArchive, which only reads, writes and
// asks for the length and position: reads come from `data`, writes go to
// `output`.
class MemoryFile : public CFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  UINT Read(void* buffer, UINT count) override {
    const std::size_t take = std::min<std::size_t>(count, m_size - m_position);
    if (take > 0) std::memcpy(buffer, m_data + m_position, take);
    m_position += take;
    return static_cast<UINT>(take);
  }
  void Write(const void* buffer, UINT count) override {
    output.append(static_cast<const char*>(buffer), count);
  }
  ULONGLONG GetLength() const override { return m_size; }
  ULONGLONG GetPosition() const override { return m_position; }

  std::string output;

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
};

// Visits every chunk below and including `root` without recursion (trees
// nest 256 deep), asking each for its value text and its children's value
// maps. Returns the number of chunks seen.
inline std::size_t WalkTree(const boost::shared_ptr<IChunk>& root) {
  std::size_t seen = 0;
  std::vector<boost::shared_ptr<IChunk> > pending{root};
  while (!pending.empty()) {
    const boost::shared_ptr<IChunk> chunk = pending.back();
    pending.pop_back();
    if (!chunk) continue;
    ++seen;
    std::map<CString, CString> texts;
    std::map<CString, boost::any> values;
    if (chunk->getValueAsString().GetLength() < 0 || chunk->getValues(texts) != texts.size() ||
        chunk->getValues(values) != values.size()) {
      std::abort();
    }
    pending.insert(pending.end(), chunk->children().begin(), chunk->children().end());
  }
  return seen;
}

// Whether two trees hold the same labels, names, types and values in the
// same shape; without recursion.
inline bool SameTree(const boost::shared_ptr<IChunk>& a, const boost::shared_ptr<IChunk>& b) {
  std::vector<std::pair<boost::shared_ptr<IChunk>, boost::shared_ptr<IChunk> > > pending{{a, b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (!x || !y) {
      if (x || y) return false;
      continue;
    }
    if (x->label() != y->label() || x->name() != y->name() || x->type() != y->type() ||
        x->getValueAsString() != y->getValueAsString() || x->numChild() != y->numChild()) {
      return false;
    }
    for (unsigned int i = 0; i < x->numChild(); ++i) pending.emplace_back(x->Child(i), y->Child(i));
  }
  return true;
}

}  // namespace corvane_fuzz
