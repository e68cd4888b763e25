#include "platform/strict_converter.h"

#include <iconv.h>

#include <cerrno>

namespace corvane {
namespace platform {
namespace {

iconv_t Handle(void* cd) { return static_cast<iconv_t>(cd); }

}  // namespace

StrictConverter::~StrictConverter() {
  if (m_cd != nullptr) iconv_close(Handle(m_cd));
}

bool StrictConverter::Open(const char* encoding) {
  if (m_cd != nullptr) return false;
  const iconv_t cd = iconv_open("UTF-8", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  m_cd = cd;
  return true;
}

void StrictConverter::Reset() {
  m_carry.clear();
  if (m_cd != nullptr) iconv(Handle(m_cd), nullptr, nullptr, nullptr, nullptr);
}

bool StrictConverter::Convert(const char* input, std::size_t size, bool last, std::string& out) {
  if (m_cd == nullptr) return false;
  std::string joined;
  if (!m_carry.empty()) {
    joined.swap(m_carry);
    joined.append(input, size);
    input = joined.data();
    size = joined.size();
  }
  char* in = const_cast<char*>(input);
  std::size_t inLeft = size;
  std::size_t used = out.size();
  // Four UTF-8 bytes at most for any input byte of the encodings in use.
  out.resize(used + size * 4 + 16);
  while (inLeft > 0) {
    char* outPtr = &out[used];
    std::size_t outLeft = out.size() - used;
    const std::size_t result = iconv(Handle(m_cd), &in, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (errno == EINVAL && !last) {  // a sequence the next piece completes
      m_carry.assign(in, inLeft);
      break;
    }
    out.resize(used);
    return false;  // EILSEQ, or EINVAL at the very end
  }
  out.resize(used);
  return true;
}

}  // namespace platform
}  // namespace corvane
