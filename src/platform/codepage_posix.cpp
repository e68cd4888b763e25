// Code page 936 through glibc's iconv, one set of converters per thread.
#include <iconv.h>

#include <cstring>

#include "platform/codepage.h"
#include "platform/codepage_native.h"
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

const char kQuestion[] = {kDefaultChar};
const wchar_t kWideReplacement = L'\xFFFD';
const char kUtf8Replacement[] = "\xEF\xBF\xBD";

}  // namespace

void ConvertNarrowToWide(const char* text, std::size_t length, std::wstring& out) {
  std::string bytes;
  Run(Converters().narrowToWide.get(), text, length, 1,
      reinterpret_cast<const char*>(&kWideReplacement), sizeof(wchar_t), bytes);
  const std::size_t used = out.size();
  out.resize(used + bytes.size() / sizeof(wchar_t));
  if (out.size() > used) std::memcpy(&out[used], bytes.data(), bytes.size());
}

void ConvertWideToNarrow(const wchar_t* text, std::size_t length, std::string& out) {
  Run(Converters().wideToNarrow.get(), reinterpret_cast<const char*>(text),
      length * sizeof(wchar_t), sizeof(wchar_t), kQuestion, 1, out);
}

void ConvertNarrowToUtf8(const char* text, std::size_t length, std::string& out) {
  Run(Converters().narrowToUtf8.get(), text, length, 1, kUtf8Replacement, 3, out);
}

void ConvertUtf8ToNarrow(const char* text, std::size_t length, std::string& out) {
  Run(Converters().utf8ToNarrow.get(), text, length, 0, kQuestion, 1, out);
}

bool ConvertNarrowToUtf8Strict(const char* text, std::size_t length, std::string& out) {
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

void ConvertUtf16LeToNarrow(const unsigned char* bytes, std::size_t units, std::string& out) {
  Run(Converters().utf16ToNarrow.get(), reinterpret_cast<const char*>(bytes), units * 2, 2,
      kQuestion, 1, out);
}

}  // namespace platform
}  // namespace corvane
