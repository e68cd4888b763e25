#include "platform/strict_converter.h"

#include <iconv.h>

#include <cerrno>

namespace corvane {
namespace platform {
namespace {

iconv_t Handle(void* cd) { return static_cast<iconv_t>(cd); }

}  // namespace

StrictConverter::~StrictConverter() {
  if (cd_ != nullptr) iconv_close(Handle(cd_));
}

bool StrictConverter::Open(const char* encoding) {
  if (cd_ != nullptr) return false;
  const iconv_t cd = iconv_open("UTF-8", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  cd_ = cd;
  return true;
}

void StrictConverter::Reset() {
  carry_.clear();
  if (cd_ != nullptr) iconv(Handle(cd_), nullptr, nullptr, nullptr, nullptr);
}

bool StrictConverter::Convert(const char* input, std::size_t size, bool last, std::string& out) {
  if (cd_ == nullptr) return false;
  std::string joined;
  if (!carry_.empty()) {
    joined.swap(carry_);
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
    const std::size_t result = iconv(Handle(cd_), &in, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (errno == EINVAL && !last) {  // a sequence the next piece completes
      carry_.assign(in, inLeft);
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
