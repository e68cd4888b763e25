#include "corvane/json_chunk_writer.h"

#include <string>
#include <vector>

namespace corvane {
namespace tool {
namespace {

bool HasChildren(IChunk& chunk) {
  for (const boost::shared_ptr<IChunk>& child : chunk.children()) {
    if (child) return true;
  }
  return false;
}

class ChunkJsonWriter {
 public:
  explicit ChunkJsonWriter(JsonWriter& writer) : m_writer(writer) {}

  void Write(IChunk& root) {
    Open(root);
    while (!m_stack.empty()) {
      Frame& top = m_stack.back();
      IChunk::ChildList& children = top.chunk->children();
      while (top.next < children.size() && !children[top.next]) ++top.next;
      if (top.next == children.size()) {
        m_writer.EndArray();
        m_writer.EndObject();
        m_stack.pop_back();
        continue;
      }
      Open(*children[top.next++]);
    }
  }

 private:
  struct Frame {
    IChunk* chunk;     // whose "children" array is open
    std::size_t next;  // the child to write next
  };

  // Writes the chunk's texts, then opens its "children" array (to be filled
  // by the walk) or closes the object.
  void Open(IChunk& chunk) {
    m_writer.StartObject();
    Text("label", chunk.label());
    Text("name", chunk.name());
    if (!chunk.type().IsEmpty()) {
      Text("type", chunk.type());
      Text("value", chunk.getValueAsString());
    }
    if (!HasChildren(chunk)) {
      m_writer.EndObject();
      return;
    }
    m_writer.Key("children");
    m_writer.StartArray();
    m_stack.push_back(Frame{&chunk, 0});
  }

  void Text(const char* key, const CString& text) {
    if (text.IsEmpty()) return;
    m_writer.Key(key);
    WriteNarrowString(m_writer, text, m_utf8);
  }

  JsonWriter& m_writer;
  std::vector<Frame> m_stack;
  std::string m_utf8;
};

}  // namespace

void WriteChunkJson(JsonWriter& writer, IChunk& root) { ChunkJsonWriter(writer).Write(root); }

}  // namespace tool
}  // namespace corvane
