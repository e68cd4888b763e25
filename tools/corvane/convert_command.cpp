#include <corvane/extras/checked_save.h>
#include <corvane/xmlio/xml_file_io.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "corvane/commands.h"
#include "corvane/json_chunk_reader.h"
#include "corvane/json_chunk_writer.h"
#include "corvane/json_output.h"
#include "corvane/terminal.h"
#include "corvane/tree_loading.h"

namespace corvane {
namespace tool {

const char kConvertUsage[] =
    "usage: corvane convert IN OUT\n"
    "\n"
    "Converts an exchange file to JSON (IN.xml to OUT.json) or JSON back to an\n"
    "exchange file (IN.json to OUT.xml); the extensions decide, letter case\n"
    "ignored. OUT - is standard output, in the format IN is not in. The JSON\n"
    "holds one object per chunk: \"label\", \"name\", \"type\", \"value\" (the value\n"
    "text as the XML file carries it) and \"children\", each left out when empty.\n"
    "JSON that is not of this form, or that would not come back the same through\n"
    "an XML file, is refused with the reason, line and column; nothing is written\n"
    "then. Exit status: 0 converted, 1 the output could not be written, 2 bad\n"
    "arguments or an input that does not load.\n";

namespace {

enum class Format { kUnknown, kXml, kJson };

Format FormatOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return Format::kUnknown;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == "xml" ? Format::kXml : extension == "json" ? Format::kJson : Format::kUnknown;
}

int XmlToJson(const std::string& in, const std::string& out) {
  boost::shared_ptr<IChunk> root;
  if (!LoadChunkTree(in, root, false)) return kExitUsage;
  if (!root) {
    std::fprintf(stderr,
                 "corvane: %s gives no chunk tree: loading leaves out its document element "
                 "(corvane check %s tells why)\n",
                 in.c_str(), in.c_str());
    return kExitUsage;
  }
  std::string error;
  if (!WriteJsonTo(
          out, [&](JsonWriter& writer) { WriteChunkJson(writer, *root); }, error)) {
    std::fprintf(stderr, "corvane: cannot write %s: %s\n", out.c_str(), error.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

// The whole file is read and checked before the output is touched.
bool ReadJsonFile(const std::string& in, boost::shared_ptr<IChunk>& root) {
  std::FILE* file = std::fopen(in.c_str(), "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "corvane: cannot read %s: %s\n", in.c_str(), std::strerror(errno));
    return false;
  }
  JsonTrouble trouble;
  const bool read = ReadChunkJson(file, root, trouble);
  if (!read) {
    const TextPosition at = LocateTrouble(file, trouble);
    std::fprintf(stderr, "corvane: %s is not chunk JSON: %s (line %lu, column %lu)\n", in.c_str(),
                 trouble.reason.c_str(), at.line, at.column);
  }
  std::fclose(file);
  return read;
}

int JsonToXml(const std::string& in, const std::string& out) {
  boost::shared_ptr<IChunk> root;
  if (!ReadJsonFile(in, root)) return kExitUsage;
  if (out == "-") {  // a stream, written where it stands: not a file to replace
    if (WriteChunkStream(stdout, root)) return kExitOk;
    std::fprintf(stderr, "corvane: cannot write standard output: %s\n", std::strerror(errno));
    return kExitFailure;
  }
  if (!SaveChunkFile(NarrowPath(out), root)) {
    std::fprintf(stderr, "corvane: cannot write %s\n", out.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int ConvertCommand(const Arguments& args) {
  if (args.size() != 2 || args[0].compare(0, 2, "--") == 0 || args[1].compare(0, 2, "--") == 0) {
    return UsageError("convert takes an input file and an output file", kConvertUsage);
  }
  const std::string& in = args[0];
  const std::string& out = args[1];
  const Format from = FormatOf(in);
  if (from == Format::kUnknown) return UsageError(in + " is neither .xml nor .json", kConvertUsage);
  const Format to =
      out == "-" ? (from == Format::kXml ? Format::kJson : Format::kXml) : FormatOf(out);
  if (to == Format::kUnknown) return UsageError(out + " is neither .xml nor .json", kConvertUsage);
  if (to == from) {
    return UsageError("both files are " + std::string(from == Format::kXml ? "XML" : "JSON") +
                          "; convert turns one format into the other",
                      kConvertUsage);
  }
  if (to == Format::kXml && out != "-" && NarrowPath(out).IsEmpty()) {
    return UsageError(out + " cannot be named in code page 936", kConvertUsage);
  }
  return from == Format::kXml ? XmlToJson(in, out) : JsonToXml(in, out);
}

}  // namespace tool
}  // namespace corvane
