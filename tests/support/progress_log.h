// Test support for the progress protocol: the messages byte for byte, and a
// recorder of every call as text ("start:<message>:0:100", "pos:N", "end").
#pragma once

#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <string>
#include <vector>

namespace corvane_test {

// The progress messages, byte for byte (GBK).
inline std::string SaveStart() {
  return "start:\xD5\xFD\xD4\xDA\xB1\xA3\xB4\xE6XML\xCE\xC4\xBC\xFE...:0:100";
}
inline std::string ReadStart() {
  return "start:\xD5\xFD\xD4\xDA\xB6\xC1\xC8\xA1XML\xCE\xC4\xBC\xFE...:0:100";
}

// The progress calls of one run as text: `first` (a start call as
// "start:<message>:0:100") unless empty, "pos:N" per position, "end" if `end`.
inline std::vector<std::string> Calls(const std::string& first, std::vector<int> positions,
                                      bool end) {
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
      calls.push_back("start:" + std::string(message.GetString()) + ':' + std::to_string(low) +
                      ':' + std::to_string(high));
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

}  // namespace corvane_test
