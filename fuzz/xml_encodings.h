// The encodings the XML mutator writes chunk files in, and reading an input's
// bytes back as UTF-8 text: the encoding is found as the library finds it (a
// byte order mark, "<?" in UTF-16, else the declaration), the conversion is
// iconv's.
#pragma once

#include <cstddef>
#include <string>

namespace corvane_fuzz {

struct XmlEncoding {
  const char* converter;  // iconv's name; "" for UTF-8
  const char* mark;       // the byte order mark
  std::size_t markSize;
  const char* declared;  // what the XML declaration names
};

// Index 0 is plain UTF-8. Those with a converter and no mark need the
// declaration, first in the file.
extern const XmlEncoding kXmlEncodings[];
extern const std::size_t kXmlEncodingCount;

// The index of the encoding of `bytes` and their text as UTF-8; false when
// they are not valid in it.
bool DecodeXml(const std::string& bytes, std::size_t& encoding, std::string& utf8);
// `utf8` in encoding `encoding`, mark included; false when it cannot hold it.
bool EncodeXml(const std::string& utf8, std::size_t encoding, std::string& bytes);

}  // namespace corvane_fuzz
