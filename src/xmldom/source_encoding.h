// Turns the bytes of an XML file into the UTF-8 text the parser reads. The
// encoding comes from a byte order mark (UTF-8, UTF-16, UTF-32), else from the
// first bytes of a UTF-16 declaration without a mark, else from the encoding
// the XML declaration names (none: UTF-8). Fails only on a declared encoding
// the converter does not know; malformed bytes become U+FFFD. Thread-safe.
#pragma once

#include <string>

namespace DomXml {

// How far into the file the XML declaration is looked for; a longer
// declaration's encoding is not seen and the file counts as UTF-8.
constexpr std::size_t kDeclarationScanLimit = 1024;

// The encoding name the XML declaration at the start of `bytes` gives, or ""
// when there is no declaration or it names no encoding.
std::string DeclaredEncoding(const std::string& bytes);

// Replaces `bytes` by its UTF-8 text, without a byte order mark. False (and
// `bytes` unchanged) when the encoding is unknown.
bool DecodeToUtf8(std::string& bytes);

}  // namespace DomXml
