// Helpers for the XML chunk file tests: a scratch folder removed afterwards,
// whole-file reads and writes, and a recorder of progress calls.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

namespace xmlio_test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-xmlio-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// The progress messages, byte for byte (GBK).
inline std::string SaveStart() { return "start:\xD5\xFD\xD4\xDA\xB1\xA3\xB4\xE6XML\xCE\xC4\xBC\xFE...:0:100"; }
inline std::string ReadStart() { return "start:\xD5\xFD\xD4\xDA\xB6\xC1\xC8\xA1XML\xCE\xC4\xBC\xFE...:0:100"; }

// The progress calls of one run as text: `first` (a start call as
// "start:<message>:0:100") unless empty, "pos:N" per position, "end" if `end`.
inline std::vector<std::string> Calls(const std::string& first, std::vector<int> positions, bool end) {
  std::vector<std::string> calls;
  if (!first.empty()) calls.push_back(first);
  for (int position : positions) calls.push_back("pos:" + std::to_string(position));
  if (end) calls.push_back("end");
  return calls;
}

// Every progress call in order, as Calls writes them.
struct ProgressLog {
  std::vector<std::string> calls;
  bool startResult = true;

  StartProgressFun Start() {
    return [this](CString const& message, int low, int high) {
      calls.push_back("start:" + std::string(message.GetString()) + ':' + std::to_string(low) + ':' +
                      std::to_string(high));
      return startResult;
    };
  }
  SetPosFun Position() {
    return [this](int position) { calls.push_back("pos:" + std::to_string(position)); };
  }
  // Installs all three on an XmlFileIO or a FileConvert.
  template <class Target>
  void InstallOn(Target& target) {
    target.setStartProgressFun(Start());
    target.setSetPosFun(Position());
    target.SetEndProgressFun([this]() { calls.push_back("end"); });
  }
};

}  // namespace xmlio_test
