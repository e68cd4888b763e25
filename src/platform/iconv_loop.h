// The conversion loop both code-page paths share: iconv from `*in` into the
// spare room of `out` past its first `used` bytes, doubling `out` whenever
// the room runs out, until the input is used up or iconv stops at an invalid
// or incomplete sequence (`in` and `inLeft` then point at it). The callers
// decide what such a sequence means: a replacement character, or a refusal.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

enum class IconvStop { kEnd, kInvalid, kIncomplete };

inline IconvStop ConvertIntoRoom(iconv_t cd, char*& in, std::size_t& inLeft, std::string& out,
                                 std::size_t& used) {
  for (;;) {
    char* outPtr = &out[0] + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) return IconvStop::kEnd;
    if (errno == EINVAL) return IconvStop::kIncomplete;
    if (errno != E2BIG) return IconvStop::kInvalid;
    out.resize(out.size() * 2 + 16);
  }
}

}  // namespace platform
}  // namespace corvane
