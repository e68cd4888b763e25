#include "corvane/output_stream.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {

OutputStream::OutputStream(const std::string& path) {
  if (path != "-") m_file = std::make_unique<OutputFile>(NarrowPath(path));
  m_buffer.reserve(kBlock);
}

bool OutputStream::Open(std::string& error) {
  if (!m_file || m_file->Open()) return true;
  error = std::strerror(m_file->Error());
  return false;
}

void OutputStream::Append(const char* text, std::size_t size) {
  m_buffer.append(text, size);
  if (m_buffer.size() >= kBlock) Flush();
}

void OutputStream::Print(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (length < 0) return;
  if (static_cast<std::size_t>(length) < sizeof line) {
    Append(line, static_cast<std::size_t>(length));
    return;
  }
  std::string longer(static_cast<std::size_t>(length) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(&longer[0], longer.size(), format, args);
  va_end(args);
  Append(longer.data(), static_cast<std::size_t>(length));
}

void OutputStream::Flush() {
  if (m_file) {
    m_file->Write(m_buffer.data(), m_buffer.size());
  } else {
    std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
  }
  m_buffer.clear();
}

bool OutputStream::Finish(std::string& error) {
  Flush();
  if (m_file) {
    if (m_file->Commit()) return true;
    error = std::strerror(m_file->Error());
    return false;
  }
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return true;
  error = std::strerror(errno);
  return false;
}

}  // namespace tool
}  // namespace corvane
