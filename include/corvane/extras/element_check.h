// One chunk as an element of an XML chunk file, by the library's own rules:
// whether texts make an element that is written and read back as the same
// chunk, and the chunk such an element becomes. A library addition for tools
// that build trees from other forms (JSON) and must refuse what would not
// come back. Texts are narrow (code page 936), as chunks hold them. Nothing
// throws but std::bad_alloc; safe from any thread.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>
#include <corvane/platform/cstring.h>

#include <boost/shared_ptr.hpp>
#include <string>

namespace corvane {

// The rules an element's texts must keep, in the order they are checked.
enum class ElementRule {
  kNone,              // all kept: the element is written and read back as the chunk
  kElementName,       // the label is an XML name without colons, whole (NUL is no name character)
  kAttributeText,     // the name and value hold no control character XML cannot carry
  kValueNeedsType,    // a value comes with a type (loading ignores it otherwise)
  kValueReadsAsType,  // the type and value make a chunk (see ChunkFromTexts)
};
enum class ElementText { kNone, kLabel, kName, kType, kValue };

struct ElementCheck {
  ElementRule broken = ElementRule::kNone;
  ElementText text = ElementText::kNone;  // the text that breaks it
  std::string reason;                     // short English words, e.g. "is not an XML name ..."
  boost::shared_ptr<IChunk> chunk;        // the chunk read back, when no rule is broken
};

CORVANE_API ElementCheck CheckElement(const CString& label, const CString& name,
                                      const CString& type, const CString& value);

// The chunk an element with these texts (narrow, as the reader converts the
// file's) becomes by the reader's own rules: "att" for an empty label, the
// value read by the type tag. An empty pointer when such an element is left
// out, with a short English reason in `reason` when it is not null.
CORVANE_API boost::shared_ptr<IChunk> ChunkFromTexts(const CString& label, const CString& name,
                                                     const CString& type, const CString& value,
                                                     std::string* reason = nullptr);

}  // namespace corvane
