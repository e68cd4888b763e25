#include "chunk/type_tags.h"

#include <string_view>

#include "chunk/value_kind.h"

namespace corvane {
namespace chunk {
namespace {

// Views, so a tag is matched by its length before its bytes.
constexpr std::string_view kTagTexts[kTaggedKindCount] = {
    "int",    "uint",   "float",  "long64",  "ulong64", "double",  "bool",
    "float2", "float3", "float4", "double2", "double3", "double4", "string"};

// Index kTaggedKindCount holds the empty text of the no-value kind.
const CString* TagTable() {
  // Deliberately leaked: chunks may be destroyed after static destruction
  // has begun, and their copies must still point at a live text.
  static const CString* const table = [] {
    CString* texts = new CString[kTaggedKindCount + 1];
    for (int kind = 0; kind < kTaggedKindCount; ++kind)
      texts[kind] = CString(kTagTexts[kind].data(), static_cast<int>(kTagTexts[kind].size()));
    return texts;
  }();
  return table;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const CString& TypeTagText(int kind) {
  if (kind < 0 || kind >= kTaggedKindCount) return TagTable()[kTaggedKindCount];
  return TagTable()[kind];
}

int KindFromTag(const char* tag, int length) noexcept {
  // Every tag is 3 to 7 bytes; anything else is rejected before comparing.
  if (tag == nullptr || length < 3 || length > 7) return -1;
  char lower[8];
  for (int i = 0; i < length; ++i) lower[i] = LowerAscii(tag[i]);
  const std::string_view lowered(lower, static_cast<std::size_t>(length));
  for (int kind = 0; kind < kTaggedKindCount; ++kind) {
    if (kTagTexts[kind] == lowered) return kind;
  }
  return -1;
}

}  // namespace chunk
}  // namespace corvane
