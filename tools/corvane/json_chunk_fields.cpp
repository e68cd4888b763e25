#include "corvane/json_chunk_fields.h"

#include <corvane/extras/element_check.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "corvane/terminal.h"

namespace corvane {
namespace tool {
namespace {

const char* const kKeys[] = {"label", "name", "type", "value", "children"};

// A file of ever new labels must not grow the caches without bound.
constexpr std::size_t kCacheLimit = 4096;

bool Fail(JsonTrouble& trouble, const std::string& reason, std::size_t offset, bool inString) {
  trouble.reason = reason;
  trouble.offset = offset;
  trouble.inStringBefore = inString;
  return false;
}

std::string Quoted(const CString& text) { return '"' + Utf8(text) + '"'; }

}  // namespace

bool MemberOfKey(const char* key, std::size_t length, ChunkMember& member) {
  for (int i = 0; i <= kChildrenMember; ++i) {
    if (std::strlen(kKeys[i]) == length && std::memcmp(kKeys[i], key, length) == 0) {
      member = static_cast<ChunkMember>(i);
      return true;
    }
  }
  return false;
}

const char* KeyOfMember(ChunkMember member) { return kKeys[member]; }

void ChunkFields::Reset(std::size_t objectStart) {
  for (CString& text : texts) text.Empty();
  seen = 0;
  start = objectStart;
  children.clear();
}

bool ChunkFieldChecks::SetText(ChunkFields& fields, ChunkMember member, const char* utf8,
                               std::size_t length, std::size_t end, JsonTrouble& trouble) {
  fields.ends[member] = end;
  if (Narrow(member, utf8, length, fields.texts[member])) return true;
  return Fail(trouble,
              std::string("\"") + KeyOfMember(member) +
                  "\" holds a character that code page 936 cannot hold",
              end, true);
}

boost::shared_ptr<IChunk> ChunkFieldChecks::Build(ChunkFields& fields, JsonTrouble& trouble) {
  if (!fields.Has(kLabelMember)) {
    Fail(trouble, "a chunk needs a \"label\"", fields.start, false);
    return boost::shared_ptr<IChunk>();
  }
  const CString& label = fields.texts[kLabelMember];
  const CString& type = fields.texts[kTypeMember];
  const CString& value = fields.texts[kValueMember];
  // Even an empty value: the member would not come back.
  if (fields.Has(kValueMember) && type.IsEmpty()) {
    Fail(trouble, "a \"value\" needs a \"type\"", fields.ends[kValueMember], true);
    return boost::shared_ptr<IChunk>();
  }
  ElementCheck check = CheckElement(label, fields.texts[kNameMember], type, value);
  const ChunkMember at = check.text == ElementText::kLabel  ? kLabelMember
                         : check.text == ElementText::kName ? kNameMember
                         : fields.Has(kValueMember)         ? kValueMember
                                                            : kTypeMember;
  std::string why;
  switch (check.broken) {
    case ElementRule::kNone: {
      // Moved into a list of their exact number; the frame keeps its room for the next chunk.
      check.chunk->children().assign(std::make_move_iterator(fields.children.begin()),
                                     std::make_move_iterator(fields.children.end()));
      fields.children.clear();
      return check.chunk;
    }
    case ElementRule::kElementName:
      why = "label " + Quoted(label) + ' ' + check.reason + ", as an element needs";
      break;
    case ElementRule::kAttributeText:
      why = std::string("\"") + KeyOfMember(at) + "\" " + check.reason;
      break;
    case ElementRule::kValueNeedsType:  // the member's presence is checked above
    case ElementRule::kValueReadsAsType:
      why = "type " + Quoted(type) + " with value " + Quoted(value) +
            " makes no chunk: " + check.reason;
      break;
  }
  Fail(trouble, why, fields.ends[at], true);
  return boost::shared_ptr<IChunk>();
}

bool ChunkFieldChecks::Narrow(ChunkMember member, const char* utf8, std::size_t length,
                              CString& narrow) {
  std::unordered_map<std::string, CString>* cache = member == kLabelMember  ? &m_labels
                                                    : member == kTypeMember ? &m_types
                                                                            : nullptr;
  if (cache == nullptr) return NarrowExactly(utf8, length, narrow);
  std::string key(utf8, length);
  const auto found = cache->find(key);
  if (found != cache->end()) {
    narrow = found->second;
    return true;
  }
  if (!NarrowExactly(utf8, length, narrow)) return false;
  if (cache->size() >= kCacheLimit) cache->clear();
  cache->emplace(std::move(key), narrow);
  return true;
}

}  // namespace tool
}  // namespace corvane
