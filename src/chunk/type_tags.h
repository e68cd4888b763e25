// The value type tags: the texts that stand for the value kinds outside a
// chunk. The texts are process-lifetime strings made once and never freed,
// so copying one never allocates and chunks destroyed during static
// destruction still hold valid texts. Safe to use from any thread.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>

namespace corvane {
namespace chunk {

// The number of value kinds that carry a tag of their own ("int" … "string").
constexpr int kTaggedKindCount = 14;

// The tag of a kind: "int" … "string" for codes 0-13, "" for no value. The
// custom text kind has no tag of its own; it gives "".
const CString& TypeTagText(int kind);

// The kind whose tag equals `tag` ignoring ASCII letter case, or -1 when the
// text is none of the fourteen tags (the empty text included).
int KindFromTag(const char* tag, int length) noexcept;

}  // namespace chunk
}  // namespace corvane
