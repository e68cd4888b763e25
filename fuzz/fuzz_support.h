// Helpers shared by the fuzz targets: a scratch file that holds the input
// bytes for readers that take a path, an in-memory CFile for archive readers,
// a walk over a chunk tree that touches every value, and the count of the
// executions that reach the code a target is for. Each target runs in one
// thread; the scratch file belongs to the process and is removed at exit.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/afx_file.h>
#include <corvane/platform/cstring.h>
#include <unistd.h>

#include <boost/any.hpp>
#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace corvane_fuzz {

// How many executions reached the code a target is meant to exercise, and
// what that code is. Trivially destructible, so it outlives every handler.
struct ReachTally {
  const char* what = "";
  unsigned long long reached = 0;
  unsigned long long runs = 0;
};

inline ReachTally& Tally() {
  static ReachTally tally;
  return tally;
}

// "reached N of M (WHAT)", to the file $CORVANE_FUZZ_REACHED names or else to
// stderr: scripts/fuzz.sh turns it into the share in its summary line. An
// atexit handler, because libFuzzer ends a timed run with exit().
inline void ReportReach() {
  const ReachTally& tally = Tally();
  const char* path = std::getenv("CORVANE_FUZZ_REACHED");
  std::FILE* file = path != nullptr && *path != '\0' ? std::fopen(path, "w") : nullptr;
  std::fprintf(file != nullptr ? file : stderr, "reached %llu of %llu (%s)\n", tally.reached,
               tally.runs, tally.what);
  if (file != nullptr) std::fclose(file);
}

// One execution of a target; Reached() when it got to the code the target
// is for (`what`, the same text on every execution).
class Execution {
 public:
  explicit Execution(const char* what) {
    ReachTally& tally = Tally();
    if (tally.runs++ == 0) {
      tally.what = what;
      std::atexit(&ReportReach);
    }
  }
  void Reached() {
    if (m_reached) return;
    m_reached = true;
    ++Tally().reached;
  }

 private:
  bool m_reached = false;
};

// A file of this process under $TMPDIR (or /tmp), rewritten for every input.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") +
                          "/corvane_fuzz_XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
    if (fd < 0) {
      std::perror("mkstemps");
      std::abort();
    }
    ::close(fd);
    m_path.assign(name.data());
  }
  ~ScratchFile() { ::unlink(m_path.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return m_path; }

  void Write(const std::uint8_t* data, std::size_t size) const {
    std::FILE* file = std::fopen(m_path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
      std::perror("scratch file");
      std::abort();
    }
    std::fclose(file);
  }

  std::string Read() const {
    std::string bytes;
    std::FILE* file = std::fopen(m_path.c_str(), "rb");
    if (file == nullptr) return bytes;
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    std::fclose(file);
    return bytes;
  }

 private:
  std::string m_path;
};

// A CFile over bytes in memory: reads come from `input`, writes go to
// `output`. Only what CArchive uses is overridden.
class MemoryFile : public CFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  UINT Read(void* buffer, UINT count) override {
    const std::size_t left = m_size - m_position;
    const std::size_t take = count < left ? count : left;
    if (take > 0) std::memcpy(buffer, m_data + m_position, take);
    m_position += take;
    return static_cast<UINT>(take);
  }
  void Write(const void* buffer, UINT count) override {
    m_output.append(static_cast<const char*>(buffer), count);
  }
  void Flush() override {}
  void Close() override {}
  void Abort() noexcept override {}
  ULONGLONG GetLength() const override { return m_size; }
  ULONGLONG GetPosition() const override { return m_position; }
  ULONGLONG Seek(LONGLONG offset, UINT from) override {
    LONGLONG base = from == CFile::begin     ? 0
                    : from == CFile::current ? static_cast<LONGLONG>(m_position)
                                             : static_cast<LONGLONG>(m_size);
    LONGLONG target = base + offset;
    if (target < 0) target = 0;
    if (static_cast<ULONGLONG>(target) > m_size) target = static_cast<LONGLONG>(m_size);
    m_position = static_cast<std::size_t>(target);
    return m_position;
  }

  const std::string& output() const { return m_output; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
  std::string m_output;
};

// Visits every chunk below and including `root` without recursion, asking
// each for its value text and its children's value maps. Returns the number
// of chunks seen.
inline std::size_t WalkTree(const boost::shared_ptr<IChunk>& root) {
  std::size_t seen = 0;
  std::vector<boost::shared_ptr<IChunk> > pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    boost::shared_ptr<IChunk> chunk = pending.back();
    pending.pop_back();
    ++seen;
    const CString text = chunk->getValueAsString();
    if (text.GetLength() < 0) std::abort();
    std::map<CString, CString> texts;
    std::map<CString, boost::any> values;
    if (chunk->getValues(texts) != texts.size()) std::abort();
    if (chunk->getValues(values) != values.size()) std::abort();
    for (const boost::shared_ptr<IChunk>& child : chunk->children()) {
      if (child) pending.push_back(child);
    }
  }
  return seen;
}

// Whether two trees hold the same labels, names, types and values in the
// same shape; without recursion.
inline bool SameTree(const boost::shared_ptr<IChunk>& a, const boost::shared_ptr<IChunk>& b) {
  std::vector<std::pair<boost::shared_ptr<IChunk>, boost::shared_ptr<IChunk> > > pending;
  pending.emplace_back(a, b);
  while (!pending.empty()) {
    const boost::shared_ptr<IChunk> x = pending.back().first;
    const boost::shared_ptr<IChunk> y = pending.back().second;
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
