// The two value maps of IChunk: the direct children's values keyed by name,
// as texts or as typed boost::any values.
#include <corvane/chunk/ichunk.h>

#include <vector>

#include "chunk/value_kind.h"
#include "chunk/value_parse.h"

using namespace corvane::chunk;

namespace {

// The typed value of a chunk of one of the fourteen tagged kinds, read with
// the getter that belongs to its kind.
boost::any TypedValue(IChunk& chunk) {
  switch (ChunkAccess::Kind(chunk)) {
    case kInt:
      return chunk.getI32Value();
    case kUInt:
      return chunk.getU32Value();
    case kFloat:
      return chunk.getF32Value();
    case kLong64:
      return chunk.getI64Value();
    case kULong64:
      return chunk.getU64Value();
    case kDouble:
      return chunk.getF64Value();
    case kBool:
      return chunk.getBoolValue();
    case kFloat2:
    case kFloat3:
    case kFloat4: {
      const int count = ChunkAccess::Kind(chunk) - kFloat2 + 2;
      std::vector<float> values(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) values[i] = chunk.getF32Value4(static_cast<unsigned>(i));
      return values;
    }
    case kDouble2:
    case kDouble3:
    case kDouble4: {
      const int count = ChunkAccess::Kind(chunk) - kDouble2 + 2;
      std::vector<double> values(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) values[i] = chunk.getF64Value4(static_cast<unsigned>(i));
      return values;
    }
    case kString:
      return chunk.getValueAsString();
    default:
      return boost::any();
  }
}

// A custom-text chunk holds what a file element with the same tag and value
// text would: a tag of the fourteen read by that tag's rule, anything else
// (or a text that does not parse) nothing.
boost::any CustomValue(IChunk& chunk) {
  const boost::shared_ptr<IChunk> parsed =
      ChunkFromElement(chunk.label(), chunk.name(), chunk.type(), chunk.getValueAsString());
  return parsed ? TypedValue(*parsed) : boost::any();
}

}  // namespace

unsigned int IChunk::getValues(std::map<CString, CString>& values) {
  values.clear();
  for (const boost::shared_ptr<IChunk>& child : m_children) {
    if (child) values[child->name()] = child->getValueAsString();
  }
  return static_cast<unsigned int>(values.size());
}

unsigned int IChunk::getValues(std::map<CString, boost::any>& values) {
  values.clear();
  for (const boost::shared_ptr<IChunk>& child : m_children) {
    if (!child || child->type().IsEmpty()) continue;
    values[child->name()] =
        ChunkAccess::Kind(*child) == kCustomText ? CustomValue(*child) : TypedValue(*child);
  }
  return static_cast<unsigned int>(values.size());
}
