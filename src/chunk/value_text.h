// The value text of a chunk, written into a caller's buffer without
// allocating: "%d" and "%f" exactly as printf prints them, components joined
// by ",", "true"/"false", or the chunk's own text. getValueAsString gives the
// same text; the XML writer uses this form on its hot path. Never throws;
// safe from any thread for a chunk no other thread changes.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <string_view>

namespace corvane {
namespace chunk {

// Room for four "%f" doubles (at most 317 bytes each) and three commas.
struct ValueTextBuffer {
  char bytes[4 * 320 + 8];
};

// The value text of `chunk`, empty for no value. Numbers are written into
// `buffer`; a text value is the chunk's own text up to its first NUL, valid
// until the chunk's value changes or the chunk goes.
std::string_view FormatValueText(IChunk& chunk, ValueTextBuffer& buffer) noexcept;

}  // namespace chunk
}  // namespace corvane
