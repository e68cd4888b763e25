// The part of StrictConverter that is the same on every platform: a sequence
// the last piece cut is joined to the next piece before it is converted.
#include "platform/strict_converter.h"

namespace corvane {
namespace platform {

bool StrictConverter::Convert(const char* input, std::size_t size, bool last, std::string& out) {
  if (m_cd == nullptr) return false;
  if (m_carry.empty()) return ConvertJoined(input, size, last, out);
  std::string joined;
  joined.swap(m_carry);
  joined.append(input, size);
  return ConvertJoined(joined.data(), joined.size(), last, out);
}

}  // namespace platform
}  // namespace corvane
