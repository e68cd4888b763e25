#include "corvane/json_chunk_fields.h"

#include <corvane/xmlio/load_report.h>

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

// XML 1.0 carries no control character but tab, line feed and carriage return.
bool XmlCanCarry(const char* text, std::size_t length) {
  return std::none_of(text, text + length, [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
  });
}

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

ChunkFieldChecks::ChunkFieldChecks() { m_scratch.Create("names"); }

bool ChunkFieldChecks::SetText(ChunkFields& fields, ChunkMember member, const char* utf8,
                               std::size_t length, std::size_t end, JsonTrouble& trouble) {
  fields.ends[member] = end;
  const char* problem = nullptr;
  if (!XmlCanCarry(utf8, length)) {
    problem = " holds a control character, which XML cannot carry";
  } else if (!Narrow(member, utf8, length, fields.texts[member])) {
    problem = " holds a character that code page 936 cannot hold";
  }
  if (problem == nullptr) return true;
  return Fail(trouble, std::string("\"") + KeyOfMember(member) + '"' + problem, end, true);
}

bool ChunkFieldChecks::FitsAnElement(const ChunkFields& fields, JsonTrouble& trouble) {
  if (!fields.Has(kLabelMember)) {
    return Fail(trouble, "a chunk needs a \"label\"", fields.start, false);
  }
  if (!CanNameElement(fields.texts[kLabelMember])) {
    return Fail(trouble,
                "label " + Quoted(fields.texts[kLabelMember]) +
                    " is not an XML name without colons, as an element needs",
                fields.ends[kLabelMember], true);
  }
  // ChunkFromTexts would ignore it, and it would not come back.
  if (fields.Has(kValueMember) && fields.texts[kTypeMember].IsEmpty()) {
    return Fail(trouble, "a \"value\" needs a \"type\"", fields.ends[kValueMember], true);
  }
  return true;
}

boost::shared_ptr<IChunk> ChunkFieldChecks::Build(ChunkFields& fields, JsonTrouble& trouble) {
  if (!FitsAnElement(fields, trouble)) return boost::shared_ptr<IChunk>();
  const CString& type = fields.texts[kTypeMember];
  const CString& value = fields.texts[kValueMember];
  std::string reason;
  boost::shared_ptr<IChunk> chunk =
      ChunkFromTexts(fields.texts[kLabelMember], fields.texts[kNameMember], type, value, &reason);
  if (!chunk) {
    const ChunkMember at = fields.Has(kValueMember) ? kValueMember : kTypeMember;
    Fail(trouble,
         "type " + Quoted(type) + " with value " + Quoted(value) + " makes no chunk: " + reason,
         fields.ends[at], true);
    return chunk;
  }
  // Moved into a list of their exact number; the frame keeps its room for the next chunk.
  chunk->children().assign(std::make_move_iterator(fields.children.begin()),
                           std::make_move_iterator(fields.children.end()));
  fields.children.clear();
  return chunk;
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

bool ChunkFieldChecks::CanNameElement(const CString& label) {
  std::string key(label.GetString(), static_cast<std::size_t>(label.GetLength()));
  const auto found = m_elementNames.find(key);
  if (found != m_elementNames.end()) return found->second;
  if (m_elementNames.size() >= kCacheLimit) {
    m_elementNames.clear();
    m_scratch = DomXml::CXml();
    m_scratch.Create("names");
  }
  // The library's writer makes no element where its DOM refuses the name.
  const bool accepted = !m_scratch.GetRoot()->NewChild(label)->IsNull();
  m_elementNames.emplace(std::move(key), accepted);
  return accepted;
}

}  // namespace tool
}  // namespace corvane
