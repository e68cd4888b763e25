// The value text of a chunk, exactly as printf's "%d" and "%f" would print
// it. This is the XML writer's hot path: "%f" of any value below 2^53 is
// computed exactly in integers (the general conversion is several times
// slower), and the text is built in a buffer the caller supplies.
#include "chunk/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "chunk/value_kind.h"

namespace corvane {
namespace chunk {
namespace {

char* AppendText(char* out, const char* text) {
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

template <typename Integer>
char* AppendInteger(char* out, char* end, Integer value) {
  return std::to_chars(out, end, value).ptr;
}

// The six decimals of a "%f" text for a finite value whose magnitude is below
// 2^53, or null when it is not. value * 10^6 = mantissa * 5^6 * 2^(exponent + 6)
// holds exactly in 128 bits, so rounding it to an integer (ties to even, as
// printf rounds the exact binary value) gives printf's digits.
char* AppendSmallFixed(char* out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const unsigned exponentField = static_cast<unsigned>(bits >> 52) & 0x7FFu;
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;
  if (exponentField != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = static_cast<int>(exponentField) - 1075;
  }
  if (exponent >= 0) return nullptr;  // 2^52 or more: the general conversion
  unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * 15625u;
  const int shift = -(exponent + 6);
  if (shift <= 0) {
    scaled <<= -shift;
  } else if (shift > 100) {
    scaled = 0;  // below 2^-33 of a unit in the sixth decimal: rounds to zero
  } else {
    const unsigned __int128 quotient = scaled >> shift;
    const unsigned __int128 remainder = scaled - (quotient << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    scaled = quotient;
    if (remainder > half || (remainder == half && (quotient & 1u) != 0)) ++scaled;
  }
  if ((bits >> 63) != 0) *out++ = '-';
  std::uint64_t whole;
  std::uint32_t fraction;
  if ((scaled >> 64) == 0) {  // below about 1.8e13: 64-bit division is much cheaper
    const std::uint64_t narrow = static_cast<std::uint64_t>(scaled);
    whole = narrow / 1000000u;
    fraction = static_cast<std::uint32_t>(narrow % 1000000u);
  } else {
    whole = static_cast<std::uint64_t>(scaled / 1000000u);
    fraction = static_cast<std::uint32_t>(scaled % 1000000u);
  }
  out = std::to_chars(out, out + 20, whole).ptr;
  *out++ = '.';
  for (int digit = 5; digit >= 0; --digit) {
    out[digit] = static_cast<char>('0' + fraction % 10u);
    fraction /= 10u;
  }
  return out + 6;
}

// "%f": fixed, six decimals; printf's spelling for the non-finite values.
char* AppendFixed(char* out, char* end, double value) {
  if (std::isnan(value)) return AppendText(out, std::signbit(value) ? "-nan" : "nan");
  if (std::isinf(value)) return AppendText(out, value < 0 ? "-inf" : "inf");
  if (char* done = AppendSmallFixed(out, value)) return done;
  return std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
}

template <typename Read>
char* AppendComponents(char* out, char* end, int count, Read read) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) *out++ = ',';
    out = AppendFixed(out, end, read(static_cast<unsigned int>(i)));
  }
  return out;
}

}  // namespace

std::string_view FormatValueText(IChunk& chunk, ValueTextBuffer& buffer) noexcept {
  char* const begin = buffer.bytes;
  char* const end = begin + sizeof buffer.bytes;
  char* out = begin;
  switch (ChunkAccess::Kind(chunk)) {
    case kInt:
    case kUInt:  // the 32 bits printed as signed, as "%d" does
      out = AppendInteger(out, end, chunk.getI32Value());
      break;
    case kLong64:
    case kULong64:  // the 64 bits printed as signed
      out = AppendInteger(out, end, chunk.getI64Value());
      break;
    case kFloat:
      out = AppendFixed(out, end, static_cast<double>(chunk.getF32Value()));
      break;
    case kDouble:
      out = AppendFixed(out, end, chunk.getF64Value());
      break;
    case kBool:
      out = AppendText(out, chunk.getBoolValue() ? "true" : "false");
      break;
    case kFloat2:
    case kFloat3:
    case kFloat4:
      out = AppendComponents(
          out, end, ChunkAccess::Kind(chunk) - kFloat2 + 2,
          [&chunk](unsigned int i) { return static_cast<double>(chunk.getF32Value4(i)); });
      break;
    case kDouble2:
    case kDouble3:
    case kDouble4:
      out = AppendComponents(out, end, ChunkAccess::Kind(chunk) - kDouble2 + 2,
                             [&chunk](unsigned int i) { return chunk.getF64Value4(i); });
      break;
    case kString:
    case kCustomText: {
      const char* text = chunk.getStringValue();
      return text == nullptr ? std::string_view() : std::string_view(text);
    }
    default:
      return std::string_view();
  }
  return std::string_view(begin, static_cast<std::size_t>(out - begin));
}

}  // namespace chunk
}  // namespace corvane

CString IChunk::getValueAsString() {
  corvane::chunk::ValueTextBuffer buffer;
  const std::string_view text = corvane::chunk::FormatValueText(*this, buffer);
  return CString(text.data(), static_cast<int>(text.size()));
}
