// Where the tool's JSON goes: streamed through a rapidjson Writer and a small
// buffer into a file's save or standard output (output_stream.h), so that
// output of any size costs no memory of its own. Texts of the library (code
// page 936) become UTF-8.
#pragma once

#include <corvane/platform/cstring.h>
#include <rapidjson/writer.h>

#include <functional>
#include <string>

#include "corvane/output_stream.h"

namespace corvane {
namespace tool {

typedef rapidjson::Writer<OutputStream> JsonWriter;

// Runs `write` on a writer into `path` ("-": standard output; a file gets the
// library's save) and ends the text with a line feed. False, with the
// system's reason in `error`, when the file cannot be opened or a byte of it
// was not written; an existing file then stays as it was.
bool WriteJsonTo(const std::string& path, const std::function<void(JsonWriter&)>& write,
                 std::string& error);

// Narrow text as a JSON string; `scratch` holds the UTF-8 form of text that
// is not ASCII (ASCII goes out as it is).
void WriteNarrowString(JsonWriter& writer, const CString& text, std::string& scratch);

}  // namespace tool
}  // namespace corvane
