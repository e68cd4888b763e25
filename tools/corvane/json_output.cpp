#include "corvane/json_output.h"

#include <algorithm>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {

bool WriteJsonTo(const std::string& path, const std::function<void(JsonWriter&)>& write,
                 std::string& error) {
  OutputStream out(path);
  if (!out.Open(error)) return false;
  JsonWriter writer(out);
  write(writer);
  out.Put('\n');
  return out.Finish(error);
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
