// StrictConverter: text in a named encoding to UTF-8, piece by piece, refusing
// what is not valid in that encoding: no replacement characters. Documents
// read in other encodings reach the XML parser through it. A sequence cut at
// the end of one piece is completed by the next. One thread at a time.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

class StrictConverter {
 public:
  StrictConverter() = default;
  ~StrictConverter();
  StrictConverter(const StrictConverter&) = delete;
  StrictConverter& operator=(const StrictConverter&) = delete;

  // False when the converter does not know the encoding.
  bool Open(const char* encoding);
  // Appends the UTF-8 text of `size` more bytes to `out`; `last` says no
  // more follow. False on bytes that are invalid, or a sequence left
  // incomplete at the end.
  bool Convert(const char* input, std::size_t size, bool last, std::string& out);
  // Forgets any partial sequence, for a new pass over the same text.
  void Reset();

 private:
  // Convert's work on the carried bytes and the new piece joined, one
  // implementation per platform; keeps in m_carry what the next piece ends.
  bool ConvertJoined(const char* input, std::size_t size, bool last, std::string& out);

  void* m_cd = nullptr;  // the converter, when open
  std::string m_carry;   // the start of a sequence that the last piece cut
};

}  // namespace platform
}  // namespace corvane
