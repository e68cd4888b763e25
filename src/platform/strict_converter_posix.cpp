#include "platform/iconv_loop.h"
#include "platform/strict_converter.h"

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

bool StrictConverter::ConvertJoined(const char* input, std::size_t size, bool last,
                                    std::string& out) {
  char* in = const_cast<char*>(input);
  std::size_t inLeft = size;
  std::size_t used = out.size();
  // Four UTF-8 bytes at most for any input byte of the encodings in use.
  out.resize(used + size * 4 + 16);
  const IconvStop stop = ConvertIntoRoom(Handle(m_cd), in, inLeft, out, used);
  out.resize(used);
  if (stop == IconvStop::kIncomplete && !last) {  // a sequence the next piece completes
    m_carry.assign(in, inLeft);
    return true;
  }
  return stop == IconvStop::kEnd;  // else invalid bytes, or a sequence cut at the very end
}

}  // namespace platform
}  // namespace corvane
