// Construction, copying, destruction and the typed getters of IChunk.
#include <corvane/chunk/ichunk.h>

#include <cstring>
#include <utility>

#include "chunk/type_tags.h"
#include "chunk/value_kind.h"

using namespace corvane::chunk;

namespace {

// A private copy of a NUL-terminated text, or null for a null or empty one.
char* DuplicateText(const char* text, std::size_t length) {
  if (text == nullptr || length == 0) return nullptr;
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

char* DuplicateText(const char* text) {
  return text == nullptr ? nullptr : DuplicateText(text, std::strlen(text));
}

}  // namespace

// Every constructor starts from a zeroed value, so the getters of a chunk
// without a value, or of a narrower kind, read zeros rather than garbage.
#define CORVANE_CHUNK_INIT(labelArg, nameArg, kind)                                    \
  m_name(std::move(nameArg)), m_label(std::move(labelArg)), m_type(TypeTagText(kind)), \
      m_kind(kind), m_value()

IChunk::IChunk(CString label)
    : m_name(),
      m_label(std::move(label)),
      m_type(TypeTagText(kNoValue)),
      m_kind(kNoValue),
      m_value() {}

IChunk::IChunk(CString label, CString name) : CORVANE_CHUNK_INIT(label, name, kNoValue) {}

IChunk::IChunk(CString label, CString name, int value) : CORVANE_CHUNK_INIT(label, name, kInt) {
  m_value.i32 = value;
}

IChunk::IChunk(CString label, CString name, unsigned int value)
    : CORVANE_CHUNK_INIT(label, name, kUInt) {
  m_value.u32 = value;
}

IChunk::IChunk(CString label, CString name, float value) : CORVANE_CHUNK_INIT(label, name, kFloat) {
  m_value.f32 = value;
}

IChunk::IChunk(CString label, CString name, __int64 value)
    : CORVANE_CHUNK_INIT(label, name, kLong64) {
  m_value.i64 = value;
}

IChunk::IChunk(CString label, CString name, unsigned __int64 value)
    : CORVANE_CHUNK_INIT(label, name, kULong64) {
  m_value.u64 = value;
}

IChunk::IChunk(CString label, CString name, double value)
    : CORVANE_CHUNK_INIT(label, name, kDouble) {
  m_value.f64 = value;
}

IChunk::IChunk(CString label, CString name, bool value) : CORVANE_CHUNK_INIT(label, name, kBool) {
  m_value.bytes[0] = value ? 1 : 0;
}

IChunk::IChunk(CString label, CString name, float x, float y)
    : CORVANE_CHUNK_INIT(label, name, kFloat2) {
  m_value.f32v[0] = x;
  m_value.f32v[1] = y;
}

IChunk::IChunk(CString label, CString name, float x, float y, float z)
    : CORVANE_CHUNK_INIT(label, name, kFloat3) {
  m_value.f32v[0] = x;
  m_value.f32v[1] = y;
  m_value.f32v[2] = z;
}

IChunk::IChunk(CString label, CString name, float x, float y, float z, float w)
    : CORVANE_CHUNK_INIT(label, name, kFloat4) {
  m_value.f32v[0] = x;
  m_value.f32v[1] = y;
  m_value.f32v[2] = z;
  m_value.f32v[3] = w;
}

IChunk::IChunk(CString label, CString name, double x, double y)
    : CORVANE_CHUNK_INIT(label, name, kDouble2) {
  m_value.f64v[0] = x;
  m_value.f64v[1] = y;
}

IChunk::IChunk(CString label, CString name, double x, double y, double z)
    : CORVANE_CHUNK_INIT(label, name, kDouble3) {
  m_value.f64v[0] = x;
  m_value.f64v[1] = y;
  m_value.f64v[2] = z;
}

IChunk::IChunk(CString label, CString name, double x, double y, double z, double w)
    : CORVANE_CHUNK_INIT(label, name, kDouble4) {
  m_value.f64v[0] = x;
  m_value.f64v[1] = y;
  m_value.f64v[2] = z;
  m_value.f64v[3] = w;
}

IChunk::IChunk(CString label, CString name, const CString& text)
    : CORVANE_CHUNK_INIT(label, name, kString) {
  SetText(text);
}

IChunk::IChunk(CString label, CString name, const char* text)
    : CORVANE_CHUNK_INIT(label, name, kString) {
  SetText(CString(text));
}

IChunk::IChunk(CString label, CString name, const wchar_t* text)
    : CORVANE_CHUNK_INIT(label, name, kString) {
  SetText(CString(text));
}

IChunk::IChunk(CString label, CString name, const CString& type, const CString& text)
    : m_name(std::move(name)),
      m_label(std::move(label)),
      m_type(type),
      m_kind(kCustomText),
      m_value() {
  SetText(text);
}

#undef CORVANE_CHUNK_INIT

IChunk::IChunk(const IChunk& other)
    : m_name(other.m_name),
      m_label(other.m_label),
      m_type(other.m_type),
      m_kind(other.m_kind),
      m_children(other.m_children),
      m_value(other.m_value) {
  if (HasText()) m_value.text = DuplicateText(other.m_value.text);
}

IChunk& IChunk::operator=(const IChunk& other) {
  if (this == &other) return *this;
  // Everything that can throw happens before this chunk changes, and `other`
  // may live inside this chunk's subtree, so the old children go last.
  ChildList children(other.m_children);
  IChunk::Value value = other.m_value;
  if (other.HasText()) value.text = DuplicateText(other.m_value.text);
  ReleaseText();
  m_name = other.m_name;
  m_label = other.m_label;
  m_type = other.m_type;
  m_kind = other.m_kind;
  m_value = value;
  m_children.swap(children);
  ReleaseChildren(children);
  return *this;
}

IChunk::~IChunk() {
  ReleaseText();
  ReleaseChildren(m_children);
}

bool IChunk::HasText() const { return m_kind == kString || m_kind == kCustomText; }

void IChunk::SetText(const CString& text) {
  m_value.text = DuplicateText(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

void corvane::chunk::ChunkAccess::SetText(IChunk& chunk, const char* text, std::size_t length) {
  char* copy = DuplicateText(text, length);
  chunk.ReleaseText();
  chunk.m_value.text = copy;
}

void IChunk::ReleaseText() {
  if (HasText()) {
    delete[] m_value.text;
    m_value.text = nullptr;
  }
}

void IChunk::ReleaseChildren(ChildList& children) noexcept {
  // A chunk whose only holder is the list being released would destroy its
  // own children from inside its destructor, one stack frame per level; a
  // host-built chain a million deep would overflow the stack. Instead, such
  // chunks are moved to a local work list and their children are taken over
  // before each one dies, so every destructor here runs on an empty list.
  ChildList pending;
  auto takeOver = [&pending](ChildList& list) {
    for (boost::shared_ptr<IChunk>& entry : list) {
      if (!entry) continue;
      if (entry.use_count() == 1) {
        try {
          pending.push_back(std::move(entry));
          continue;
        } catch (...) {
          // No room for the work list: release it the plain, recursive way.
        }
      }
      // Shared elsewhere (or with this list itself, when a chunk is listed
      // twice): dropping one reference cannot destroy it unless it was the
      // last one, which the check above handles on its next appearance.
      entry.reset();
    }
    list.clear();
  };
  takeOver(children);
  while (!pending.empty()) {
    boost::shared_ptr<IChunk> chunk = std::move(pending.back());
    pending.pop_back();
    takeOver(chunk->m_children);
  }
}

int IChunk::getI32Value() { return m_value.i32; }
unsigned int IChunk::getU32Value() { return m_value.u32; }
float IChunk::getF32Value() { return m_value.f32; }
double IChunk::getF64Value() { return m_value.f64; }
bool IChunk::getBoolValue() { return m_value.bytes[0] != 0; }
__int64 IChunk::getI64Value() { return m_value.i64; }
unsigned __int64 IChunk::getU64Value() { return m_value.u64; }
char* IChunk::getStringValue() { return m_value.text; }
float IChunk::getF32Value2(unsigned int i) { return m_value.f32v[i]; }
float IChunk::getF32Value3(unsigned int i) { return m_value.f32v[i]; }
float IChunk::getF32Value4(unsigned int i) { return m_value.f32v[i]; }
double IChunk::getF64Value2(unsigned int i) { return m_value.f64v[i]; }
double IChunk::getF64Value3(unsigned int i) { return m_value.f64v[i]; }
double IChunk::getF64Value4(unsigned int i) { return m_value.f64v[i]; }
