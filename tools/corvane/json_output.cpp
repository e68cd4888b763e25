#include "corvane/json_output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {

bool WriteJsonTo(const std::string& path, const std::function<void(JsonWriter&)>& write,
                 std::string& error) {
  const bool toStdout = path == "-";
  std::FILE* out = toStdout ? stdout : std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  {
    std::vector<char> buffer(1 << 16);
    rapidjson::FileWriteStream stream(out, buffer.data(), buffer.size());
    JsonWriter writer(stream);
    write(writer);
    stream.Put('\n');
    stream.Flush();
  }
  bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
  if (!written) error = std::strerror(errno);
  if (toStdout) return written;
  if (std::fclose(out) != 0 && written) {
    error = std::strerror(errno);
    written = false;
  }
  std::error_code ignored;
  if (!written && std::filesystem::is_regular_file(path, ignored)) std::remove(path.c_str());
  return written;
}

void WriteNarrowString(JsonWriter& writer, const CString& text, std::string& scratch) {
  const char* bytes = text.GetString();
  const std::size_t length = static_cast<std::size_t>(text.GetLength());
  if (std::all_of(bytes, bytes + length, [](char c) { return (c & 0x80) == 0; })) {
    writer.String(bytes, static_cast<rapidjson::SizeType>(length));
    return;
  }
  scratch = Utf8(text);
  writer.String(scratch.data(), static_cast<rapidjson::SizeType>(scratch.size()));
}

}  // namespace tool
}  // namespace corvane
