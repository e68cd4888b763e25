// Helpers for the XML chunk file tests: a scratch folder removed afterwards,
// whole-file reads and writes, and recorders of progress calls.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <filesystem>

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
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Every progress call in order, as text: "start:<message>:0:100", "pos:N", "end".
struct ProgressLog {
  std::vector<std::string> calls;
  bool startResult = true;

  StartProgressFun Start() {
    return [this](CString const& message, int low, int high) {
      std::ostringstream line;
      line << "start:" << message.GetString() << ':' << low << ':' << high;
      calls.push_back(line.str());
      return startResult;
    };
  }
  SetPosFun Position() {
    return [this](int position) { calls.push_back("pos:" + std::to_string(position)); };
  }
  EndProgressFun End() {
    return [this]() { calls.push_back("end"); };
  }
};

// The progress messages, byte for byte.
inline std::string SaveStart() {
  return "start:\xD5\xFD\xD4\xDA\xB1\xA3\xB4\xE6XML\xCE\xC4\xBC\xFE...:0:100";
}
inline std::string ReadStart() {
  return "start:\xD5\xFD\xD4\xDA\xB6\xC1\xC8\xA1XML\xCE\xC4\xBC\xFE...:0:100";
}

inline std::vector<std::string> Positions(std::vector<int> values) {
  std::vector<std::string> out;
  for (int value : values) out.push_back("pos:" + std::to_string(value));
  return out;
}

}  // namespace xmlio_test
