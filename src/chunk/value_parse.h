// The element-to-chunk rules of the XML chunk file: which chunk an element
// with a given label, "Name", "Type" and "Value" becomes, or why it is left
// out. The one implementation shared by the XML reader, the diagnostic tool
// and the any map of custom-text chunks. Throws only std::bad_alloc; safe to
// call from several threads at once.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>

namespace corvane {
namespace chunk {

// Why an element cannot become a chunk.
enum class DropReason { kNone, kUnknownType, kBadNumber, kWrongComponentCount };

// The chunk an element becomes. `label` is already the element name with "att"
// put in for an empty one. Empty name and type give a label-only chunk, an
// empty type a label-and-name chunk (the value is ignored); a type equal to
// one of the fourteen tags ignoring ASCII case gives a valued chunk with the
// canonical lower-case tag. Returns an empty pointer, and sets *reason when
// `reason` is not null, when the element is to be left out.
boost::shared_ptr<IChunk> ChunkFromElement(const CString& label, const CString& name,
                                           const CString& type, const CString& value,
                                           DropReason* reason = nullptr);

// Whether `type` is the string type tag (ignoring ASCII case); such an
// element's chunk may be made by StringChunk.
bool IsStringTag(const CString& type);

// The string chunk ChunkFromElement makes for a string value of `length`
// bytes at `text`, with its text copied once: a value as large as a file is
// not held a second time on its way into the chunk.
boost::shared_ptr<IChunk> StringChunk(const CString& label, const CString& name, const char* text,
                                      std::size_t length);

// A short English explanation of a reason.
const char* DropReasonText(DropReason reason);

}  // namespace chunk
}  // namespace corvane
