// The value kinds of a chunk: what its value union holds. A chunk keeps its
// kind as an int code, set by its constructor and never changed; outside the
// chunk only the type tag text is seen (type_tags.h), so the codes are free
// to change but must stay in this order (the tags are indexed by them, and
// the vector kinds count their components from their first). Safe from any
// thread.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <cstddef>

namespace corvane {
namespace chunk {

enum ValueKind {
  kInt = 0,
  kUInt,
  kFloat,
  kLong64,
  kULong64,
  kDouble,
  kBool,
  kFloat2,
  kFloat3,
  kFloat4,
  kDouble2,
  kDouble3,
  kDouble4,
  kString,
  kCustomText,  // a type tag of the host's own with a text value
  kNoValue = 0x7FFFFFFF
};

// The library's door to what IChunk keeps private.
struct ChunkAccess {
  static ValueKind Kind(const IChunk& chunk) { return static_cast<ValueKind>(chunk.m_kind); }
  // Gives a chunk made with a text value (string or custom text) the
  // `length` bytes at `text`, copied once (no CString in between).
  static void SetText(IChunk& chunk, const char* text, std::size_t length);
};

}  // namespace chunk
}  // namespace corvane
