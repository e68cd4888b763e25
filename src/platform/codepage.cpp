#include "platform/codepage.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

#include "platform/iconv_loop.h"

namespace corvane {
namespace platform {
namespace {

constexpr const char kWide[] = "WCHAR_T";
constexpr const char kUtf8[] = "UTF-8";
constexpr const char kUtf16Le[] = "UTF-16LE";

// One iconv descriptor, opened on first use by the thread that owns it.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_to(to), m_from(from) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
  }
  iconv_t get() {
    if (m_cd == reinterpret_cast<iconv_t>(-1)) m_cd = iconv_open(m_to, m_from);
    return m_cd;
  }

 private:
  const char* m_to;
  const char* m_from;
  iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

struct ThreadConverters {
  Converter narrowToWide{kWide, kNarrowCodePage};
  Converter wideToNarrow{kNarrowCodePage, kWide};
  Converter narrowToUtf8{kUtf8, kNarrowCodePage};
  Converter utf8ToNarrow{kNarrowCodePage, kUtf8};
  Converter utf16ToNarrow{kNarrowCodePage, kUtf16Le};
};

ThreadConverters& Converters() {
  thread_local ThreadConverters converters;
  return converters;
}

// How many input bytes one rejected character spans: a whole well-formed
// UTF-8 sequence (a valid character the target cannot hold), else one byte.
std::size_t Utf8Span(const char* text, std::size_t left) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  const std::size_t span = lead >= 0xF0 && lead <= 0xF4 ? 4
                           : lead >= 0xE0               ? 3
                           : lead >= 0xC2               ? 2
                                                        : 1;
  if (span > left || lead >= 0xF5) return 1;
  for (std::size_t i = 1; i < span; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return span;
}

// Runs `cd` over the input and appends to `out` (a byte string holding
// elements of the output type). On an invalid or unconvertible input unit,
// `replacement` (given in output bytes) is appended and the unit is skipped:
// `step` input bytes, or a whole character for UTF-8 input (step 0).
// A truncated sequence at the end is replaced the same way.
void Run(iconv_t cd, const char* input, std::size_t size, std::size_t step, const char* replacement,
         std::size_t replacementSize, std::string& out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // no converter installed: replace all
    for (std::size_t i = 0; i < size; i += step ? step : Utf8Span(input + i, size - i)) {
      out.append(replacement, replacementSize);
    }
    return;
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(input);
  std::size_t inLeft = size;
  std::size_t used = out.size();
  out.resize(used + size * 4 + 16);
  while (ConvertIntoRoom(cd, in, inLeft, out, used) != IconvStop::kEnd) {
    // Replace one unit and go on.
    if (out.size() - used < replacementSize) out.resize(out.size() * 2 + replacementSize);
    std::memcpy(&out[used], replacement, replacementSize);
    used += replacementSize;
    const std::size_t unit = step ? step : Utf8Span(in, inLeft);
    const std::size_t skip = unit < inLeft ? unit : inLeft;
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(used);
}

std::size_t BoundedLength(const char* text, std::size_t length) {
  const void* nul = std::memchr(text, '\0', length);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : length;
}

std::size_t BoundedLength(const wchar_t* text, std::size_t length) {
  const wchar_t* nul = std::wmemchr(text, L'\0', length);
  return nul ? static_cast<std::size_t>(nul - text) : length;
}

const char kQuestion[] = {kDefaultChar};
const wchar_t kWideReplacement = L'\xFFFD';
const char kUtf8Replacement[] = "\xEF\xBF\xBD";

}  // namespace

bool IsAscii(const char* text, std::size_t length) noexcept {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; i < length; ++i) {
    if (p[i] & 0x80) return false;
  }
  return true;
}

std::wstring NarrowToWide(const char* text, std::size_t length) {
  if (text == nullptr) return std::wstring();
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    std::wstring result(length, L'\0');
    for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<unsigned char>(text[i]);
    return result;
  }
  std::string bytes;
  Run(Converters().narrowToWide.get(), text, length, 1,
      reinterpret_cast<const char*>(&kWideReplacement), sizeof(wchar_t), bytes);
  std::wstring result(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(&result[0], bytes.data(), result.size() * sizeof(wchar_t));
  return result;
}

std::string WideToNarrow(const wchar_t* text, std::size_t length) {
  if (text == nullptr) return std::string();
  length = BoundedLength(text, length);
  bool ascii = true;
  for (std::size_t i = 0; i < length && ascii; ++i) ascii = static_cast<unsigned>(text[i]) < 0x80;
  if (ascii) {
    std::string result(length, '\0');
    for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<char>(text[i]);
    return result;
  }
  std::string result;
  Run(Converters().wideToNarrow.get(), reinterpret_cast<const char*>(text),
      length * sizeof(wchar_t), sizeof(wchar_t), kQuestion, 1, result);
  return result;
}

void AppendNarrowAsUtf8(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return;
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    out.append(text, length);
    return;
  }
  Run(Converters().narrowToUtf8.get(), text, length, 1, kUtf8Replacement, 3, out);
}

void AppendUtf8AsNarrow(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return;
  length = BoundedLength(text, length);
  if (IsAscii(text, length)) {
    out.append(text, length);
    return;
  }
  Run(Converters().utf8ToNarrow.get(), text, length, 0, kQuestion, 1, out);
}

bool AppendNarrowAsUtf8Strict(std::string& out, const char* text, std::size_t length) {
  if (text == nullptr) return true;
  if (IsAscii(text, length)) {
    out.append(text, length);
    return true;
  }
  iconv_t cd = Converters().narrowToUtf8.get();
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(text);
  std::size_t inLeft = length;
  std::size_t used = out.size();
  out.resize(used + length * 3 + 8);  // no code page 936 byte grows past three in UTF-8
  char* outPtr = &out[used];
  std::size_t outLeft = out.size() - used;
  const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  out.resize(out.size() - outLeft);
  if (result == static_cast<std::size_t>(-1)) {
    out.resize(used);
    return false;
  }
  return true;
}

std::string Utf16LeToNarrow(const unsigned char* bytes, std::size_t units) {
  std::string result;
  if (bytes == nullptr) return result;
  // Every unit counts, NUL included: an archive string keeps its NULs.
  const std::size_t length = units;
  bool ascii = true;
  for (std::size_t i = 0; i < units && ascii; ++i) {
    ascii = bytes[2 * i + 1] == 0 && bytes[2 * i] < 0x80;
  }
  if (ascii) {
    result.resize(length);
    for (std::size_t i = 0; i < length; ++i) result[i] = static_cast<char>(bytes[2 * i]);
    return result;
  }
  Run(Converters().utf16ToNarrow.get(), reinterpret_cast<const char*>(bytes), length * 2, 2,
      kQuestion, 1, result);
  return result;
}

}  // namespace platform
}  // namespace corvane
