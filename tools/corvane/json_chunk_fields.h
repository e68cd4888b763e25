// One chunk object of the JSON form while it is read (its texts, where each
// ended in the file, its children so far) and the checks that turn it into
// the chunk loading the XML file written from it would give: texts that code
// page 936 holds exactly, members the JSON form needs, and the library's own
// check of the element (CheckElement). Anything else would be lost or
// changed on the way to XML and back, so it is refused with the place to
// show.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>

#include <boost/shared_ptr.hpp>
#include <cstddef>
#include <string>
#include <unordered_map>

#include "corvane/json_position.h"

namespace corvane {
namespace tool {

enum ChunkMember { kLabelMember, kNameMember, kTypeMember, kValueMember, kChildrenMember };
constexpr int kTextMembers = 4;  // the members before kChildrenMember

// The member a key names; false for any other key.
bool MemberOfKey(const char* key, std::size_t length, ChunkMember& member);
const char* KeyOfMember(ChunkMember member);

struct ChunkFields {
  CString texts[kTextMembers];
  std::size_t ends[kTextMembers] = {};  // offset just past each text's string
  unsigned seen = 0;                    // bit (1 << member) per member read
  std::size_t start = 0;                // offset of the object's '{'
  IChunk::ChildList children;

  void Reset(std::size_t objectStart);
  bool Has(ChunkMember member) const { return (seen & (1u << member)) != 0; }
};

class ChunkFieldChecks {
 public:
  // Converts a text member to code page 936 into `fields`; false with
  // `trouble` set when the text cannot be converted exactly.
  bool SetText(ChunkFields& fields, ChunkMember member, const char* utf8, std::size_t length,
               std::size_t end, JsonTrouble& trouble);
  // The chunk the fields make, holding their children (taken from them);
  // empty with `trouble` set when the object makes no chunk.
  boost::shared_ptr<IChunk> Build(ChunkFields& fields, JsonTrouble& trouble);

 private:
  bool Narrow(ChunkMember member, const char* utf8, std::size_t length, CString& narrow);

  // Labels and type tags repeat: one narrow text each, shared by every chunk
  // (as loading shares them).
  std::unordered_map<std::string, CString> m_labels;
  std::unordered_map<std::string, CString> m_types;
};

}  // namespace tool
}  // namespace corvane
