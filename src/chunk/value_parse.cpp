#include "chunk/value_parse.h"

#include <corvane/chunk/chunk_factory.h>

#include <algorithm>
#include <boost/lexical_cast/try_lexical_convert.hpp>
#include <charconv>
#include <cstring>
#include <type_traits>
#include <vector>

#include "chunk/type_tags.h"
#include "chunk/value_kind.h"

namespace corvane {
namespace chunk {
namespace {

// The separator bytes of vector values: ',', the two halves of the GBK
// full-width comma (A3 AC), and '|'. Each byte separates on its own. Four
// comparisons, not a set: this runs for every byte of every vector value.
bool IsSeparator(char c) { return c == ',' || c == '|' || c == '\xA3' || c == '\xAC'; }

// Whether the text is a number in the form the writer produces: an optional
// '-' (signed and floating types only), digits, and for floating types an
// optional '.' and digits. Short enough (kPlainLimit) that no float or double
// can overflow or underflow, so std::from_chars gives exactly the correctly
// rounded value that lexical_cast gives, several times faster.
constexpr std::size_t kPlainLimit = 30;

template <typename Number>
bool IsPlainNumber(const char* text, std::size_t length) {
  if (length == 0 || length > kPlainLimit) return false;
  std::size_t i = 0;
  if (text[0] == '-') {
    if (!std::is_signed<Number>::value) return false;  // lexical_cast wraps these
    i = 1;
  }
  const std::size_t digitsStart = i;
  while (i < length && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digitsStart) return false;
  if (i == length) return true;
  if (!std::is_floating_point<Number>::value || text[i] != '.') return false;
  const std::size_t fractionStart = ++i;
  while (i < length && text[i] >= '0' && text[i] <= '9') ++i;
  return i == length && i > fractionStart;
}

// The whole text as one number, as boost::lexical_cast reads it, without the
// cost of an exception on failure. `result` is written only on success.
template <typename Number>
bool ParseNumber(const char* text, std::size_t length, Number& result) {
  // Cheap rejections first: lexical_cast accepts no empty text and no blank.
  if (length == 0 || text[0] == ' ' || text[length - 1] == ' ') return false;
  Number parsed;
  if (IsPlainNumber<Number>(text, length)) {
    const std::from_chars_result outcome = std::from_chars(text, text + length, parsed);
    if (outcome.ec != std::errc() || outcome.ptr != text + length) return false;
  } else if (!boost::conversion::try_lexical_convert(text, length, parsed)) {
    return false;
  }
  result = parsed;
  return true;
}

// Splits the text (up to its first NUL) at every separator byte, as
// boost::algorithm::split with is_any_of the separators does, into components; a token that
// does not convert leaves its component 0. False when the token count is not
// exactly `count`. Tokens are found in place: no list is built for them.
template <typename Component>
bool ParseComponents(const char* text, int count, Component* components) {
  const char* const end = text + std::strlen(text);
  // The token count is the separator count plus one; a hostile value of many
  // separators is refused here, before a token is looked at.
  if (std::count_if(text, end, IsSeparator) + 1 != count) return false;
  const char* token = text;
  for (int i = 0; i < count; ++i) {
    const char* const tokenEnd = std::find_if(token, end, IsSeparator);
    components[i] = 0;
    ParseNumber(token, static_cast<std::size_t>(tokenEnd - token), components[i]);
    token = tokenEnd + 1;
  }
  return true;
}

template <typename Number>
boost::shared_ptr<IChunk> ScalarChunk(const CString& label, const CString& name,
                                      const CString& value, DropReason& reason) {
  Number number;
  // The value up to its first NUL, as the narrow text the reader holds.
  const char* text = value.GetString();
  if (!ParseNumber(text, std::strlen(text), number)) {
    reason = DropReason::kBadNumber;
    return boost::shared_ptr<IChunk>();
  }
  return newChunk(label, name, number);
}

// A "float2" … "double4" chunk of `count` components of type Component.
template <typename Component>
boost::shared_ptr<IChunk> VectorChunk(const CString& label, const CString& name,
                                      const CString& value, int count, DropReason& reason) {
  Component c[4];
  if (!ParseComponents(value.GetString(), count, c)) {
    reason = DropReason::kWrongComponentCount;
    return boost::shared_ptr<IChunk>();
  }
  if (count == 2) return newChunk(label, name, c[0], c[1]);
  if (count == 3) return newChunk(label, name, c[0], c[1], c[2]);
  return newChunk(label, name, c[0], c[1], c[2], c[3]);
}

boost::shared_ptr<IChunk> ValuedChunk(int kind, const CString& label, const CString& name,
                                      const CString& value, DropReason& reason) {
  switch (kind) {
    case kInt:
      return ScalarChunk<int>(label, name, value, reason);
    case kUInt:
      return ScalarChunk<unsigned int>(label, name, value, reason);
    case kFloat:
      return ScalarChunk<float>(label, name, value, reason);
    case kLong64:
      return ScalarChunk<__int64>(label, name, value, reason);
    case kULong64:
      return ScalarChunk<unsigned __int64>(label, name, value, reason);
    case kDouble:
      return ScalarChunk<double>(label, name, value, reason);
    case kBool:
      return newChunk(label, name, value.Compare("true") == 0);
    case kFloat2:
    case kFloat3:
    case kFloat4:
      return VectorChunk<float>(label, name, value, kind - kFloat2 + 2, reason);
    case kDouble2:
    case kDouble3:
    case kDouble4:
      return VectorChunk<double>(label, name, value, kind - kDouble2 + 2, reason);
    default:  // kString
      return newChunk(label, name, value);
  }
}

}  // namespace

boost::shared_ptr<IChunk> ChunkFromElement(const CString& label, const CString& name,
                                           const CString& type, const CString& value,
                                           DropReason* reason) {
  DropReason why = DropReason::kNone;
  boost::shared_ptr<IChunk> chunk;
  if (type.IsEmpty()) {
    chunk = name.IsEmpty() ? newChunk(label) : newChunk(label, name);
  } else {
    const int kind = KindFromTag(type.GetString(), type.GetLength());
    if (kind < 0) {
      why = DropReason::kUnknownType;
    } else {
      chunk = ValuedChunk(kind, label, name, value, why);
    }
  }
  if (reason != nullptr) *reason = why;
  return chunk;
}

bool IsStringTag(const CString& type) {
  return KindFromTag(type.GetString(), type.GetLength()) == kString;
}

boost::shared_ptr<IChunk> StringChunk(const CString& label, const CString& name, const char* text,
                                      std::size_t length) {
  boost::shared_ptr<IChunk> chunk = newChunk(label, name, CString());
  ChunkAccess::SetText(*chunk, text, length);
  return chunk;
}

const char* DropReasonText(DropReason reason) {
  switch (reason) {
    case DropReason::kNone:
      return "kept";
    case DropReason::kUnknownType:
      return "the type is none of the fourteen value type tags";
    case DropReason::kBadNumber:
      return "the value is not a number of the type, or is out of its range";
    case DropReason::kWrongComponentCount:
      return "the value does not have the type's number of components";
  }
  return "unknown reason";
}

}  // namespace chunk
}  // namespace corvane
