// Test helpers: a fresh directory per test under the system's temporary
// folder (removed with its contents afterwards) and whole-file byte access.
#pragma once

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corvane_test {

using Bytes = std::vector<unsigned char>;

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_dir = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  const std::filesystem::path& Dir() const { return m_dir; }
  std::size_t EntryCount() const {
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(m_dir); it != std::filesystem::directory_iterator(); ++it) ++count;
    return count;
  }

 private:
  std::filesystem::path m_dir;
};

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Builds expected file contents by hand, independently of the archive code.
class ByteBuilder {
 public:
  ByteBuilder& U8(unsigned value) { m_bytes.push_back(static_cast<unsigned char>(value)); return *this; }
  ByteBuilder& U16(unsigned value) { return U8(value & 0xFF).U8((value >> 8) & 0xFF); }
  ByteBuilder& U32(unsigned long value) { return U16(value & 0xFFFF).U16((value >> 16) & 0xFFFF); }
  ByteBuilder& U64(unsigned long long value) {
    return U32(static_cast<unsigned long>(value & 0xFFFFFFFFu)).U32(static_cast<unsigned long>(value >> 32));
  }
  ByteBuilder& F64(double value) {
    unsigned long long bits;
    std::memcpy(&bits, &value, sizeof bits);
    return U64(bits);
  }
  ByteBuilder& Text(const std::string& text) {
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
  }
  ByteBuilder& Append(const Bytes& more) {
    m_bytes.insert(m_bytes.end(), more.begin(), more.end());
    return *this;
  }
  const Bytes& bytes() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

}  // namespace corvane_test
