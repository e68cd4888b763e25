// Where a command's output goes: standard output, written as the stream it
// is, or a file given the library's save (OutputFile), so that a command that
// fails leaves an existing output as it was. Output is gathered in blocks.
// Also an output stream for rapidjson's Writer (Put, Flush).
#pragma once

#include <corvane/extras/output_file.h>

#include <cstddef>
#include <memory>
#include <string>

namespace corvane {
namespace tool {

class OutputStream {
 public:
  typedef char Ch;

  // "-" is standard output.
  explicit OutputStream(const std::string& path);
  // False, with the reason in `error`, when the file cannot be opened.
  bool Open(std::string& error);
  void Put(char c) {
    m_buffer.push_back(c);
    if (m_buffer.size() >= kBlock) Flush();
  }
  void Append(const char* text, std::size_t size);
  // printf-style text.
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Hands the gathered output on.
  void Flush();
  // True when everything reached standard output or the file's save
  // committed; otherwise the reason is in `error`.
  bool Finish(std::string& error);

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  std::unique_ptr<OutputFile> m_file;  // none: standard output
  std::string m_buffer;
};

}  // namespace tool
}  // namespace corvane
