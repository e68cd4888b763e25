// How the bytes of an XML file become the UTF-8 text the parser reads: the
// encoding comes from a byte order mark (UTF-8, UTF-16, UTF-32), else from
// the UTF-16 form of "<?", else from the encoding the XML declaration names
// (none: UTF-8). Files declared as a Chinese national code page (GB2312,
// GBK) are read as code page 936, a superset of both as they are written in
// practice. Pure functions, safe from any thread.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {
namespace xmldom {

// How far into the file the XML declaration is looked for.
constexpr std::size_t kDeclarationScanLimit = 1024;

struct SourceEncoding {
  std::size_t byteOrderMark = 0;  // leading bytes that are not part of the text
  std::string converter;          // "": the text is UTF-8 already; else the converter's name
  std::string refusal;            // not empty: the file cannot be read, and why
};

// From the first bytes of a file: as many as it has, up to kDeclarationScanLimit.
SourceEncoding DetectEncoding(const char* head, std::size_t size);

// The encoding the XML declaration at the start of `head` names, or "" when
// there is no declaration or it names none.
std::string DeclaredEncoding(const char* head, std::size_t size);

}  // namespace xmldom
}  // namespace corvane
