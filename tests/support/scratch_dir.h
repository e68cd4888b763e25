// Test support for everything that meets the file system: a fresh folder per
// test under the system's temporary folder (removed with its contents
// afterwards), whole-file access as bytes or text, the test data folder, a
// builder for expected bytes, and the cause of a framework exception thrown
// as a heap pointer.
#pragma once

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace corvane_test {

using Bytes = std::vector<unsigned char>;

// Test paths are UTF-8 text on every platform (the library's own paths are
// code page 936); on Windows the file system sees them as UTF-16.
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}
inline std::string Utf8Path(const std::filesystem::path& path) { return path.u8string(); }

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_dir.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("corvane-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) m_dir = candidate;
    }
    if (m_dir.empty()) std::abort();
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // `name` is appended as it is, so that it may be code page 936 text too.
  std::string Path(const std::string& name) const {
    return Utf8Path(m_dir) + static_cast<char>(std::filesystem::path::preferred_separator) + name;
  }
  const std::filesystem::path& Dir() const { return m_dir; }
  // The names of everything in the folder.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
      names.insert(Utf8Path(entry.path().filename()));
    }
    return names;
  }

 private:
  std::filesystem::path m_dir;
};

inline std::string DataFile(const std::string& name) {
  return std::string(CORVANE_TEST_DATA_DIR) + "/" + name;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(FsPath(path)); }

inline std::string ReadText(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(FsPath(path), std::ios::binary | std::ios::trunc) << text;
}

inline Bytes ReadAll(const std::string& path) {
  const std::string text = ReadText(path);
  return Bytes(text.begin(), text.end());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

// Builds expected file contents by hand, independently of the archive code.
class ByteBuilder {
 public:
  ByteBuilder& U8(unsigned value) {
    m_bytes.push_back(static_cast<unsigned char>(value));
    return *this;
  }
  ByteBuilder& U16(unsigned value) { return U8(value & 0xFF).U8((value >> 8) & 0xFF); }
  ByteBuilder& U32(unsigned long value) { return U16(value & 0xFFFF).U16((value >> 16) & 0xFFFF); }
  ByteBuilder& U64(unsigned long long value) {
    return U32(static_cast<unsigned long>(value & 0xFFFFFFFFu))
        .U32(static_cast<unsigned long>(value >> 32));
  }
  ByteBuilder& F64(double value) {
    unsigned long long bits;
    std::memcpy(&bits, &value, sizeof bits);
    return U64(bits);
  }
  ByteBuilder& Text(const std::string& text) { return Append(Bytes(text.begin(), text.end())); }
  ByteBuilder& Append(const Bytes& more) {
    m_bytes.insert(m_bytes.end(), more.begin(), more.end());
    return *this;
  }
  const Bytes& bytes() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

// Runs `body`; answers the m_cause of the `Exception*` it threw (released
// with Delete()), or -1 when it threw nothing.
template <typename Exception, typename Body>
int CaughtCause(Body body) {
  try {
    body();
  } catch (Exception* error) {
    const int cause = error->m_cause;
    error->Delete();
    return cause;
  }
  return -1;
}

}  // namespace corvane_test
