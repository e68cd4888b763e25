// The value text of a chunk, exactly as printf's "%d" and "%f" would print
// it. This is the XML writer's hot path, so the text is built in a local
// buffer and becomes a CString in one step.
#include <corvane/chunk/ichunk.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Room for four "%f" doubles (at most 317 bytes each) and three commas.
constexpr int kBufferSize = 4 * 320 + 8;

char* AppendText(char* out, const char* text) {
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

template <typename Integer>
char* AppendInteger(char* out, char* end, Integer value) {
  return std::to_chars(out, end, value).ptr;
}

// "%f": fixed, six decimals; printf's spelling for the non-finite values.
char* AppendFixed(char* out, char* end, double value) {
  if (std::isnan(value)) return AppendText(out, std::signbit(value) ? "-nan" : "nan");
  if (std::isinf(value)) return AppendText(out, value < 0 ? "-inf" : "inf");
  return std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
}

template <typename Component>
char* AppendComponents(char* out, char* end, const Component* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) *out++ = ',';
    out = AppendFixed(out, end, static_cast<double>(values[i]));
  }
  return out;
}

}  // namespace

CString IChunk::getValueAsString() {
  char buffer[kBufferSize];
  char* const end = buffer + kBufferSize;
  char* out = buffer;
  switch (m_kind) {
    case kInt:
    case kUInt:  // the 32 bits printed as signed, as "%d" does
      out = AppendInteger(out, end, m_value.i32);
      break;
    case kLong64:
    case kULong64:  // the 64 bits printed as signed
      out = AppendInteger(out, end, m_value.i64);
      break;
    case kFloat:
      out = AppendFixed(out, end, static_cast<double>(m_value.f32));
      break;
    case kDouble:
      out = AppendFixed(out, end, m_value.f64);
      break;
    case kBool:
      out = AppendText(out, m_value.bytes[0] != 0 ? "true" : "false");
      break;
    case kFloat2:
    case kFloat3:
    case kFloat4:
      out = AppendComponents(out, end, m_value.f32v, m_kind - kFloat2 + 2);
      break;
    case kDouble2:
    case kDouble3:
    case kDouble4:
      out = AppendComponents(out, end, m_value.f64v, m_kind - kDouble2 + 2);
      break;
    case kString:
    case kCustomText:
      return CString(m_value.text);
    default:
      return CString();
  }
  return CString(buffer, static_cast<int>(out - buffer));
}
