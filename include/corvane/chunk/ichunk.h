// IChunk: one node of the chunk tree, with a label (its role), a name (tells
// siblings apart), an optional typed value and an ordered list of shared
// children. Chunks are held through boost::shared_ptr; a parent holds its
// children, a child holds nothing of its parent. No operation reports errors:
// missing children are empty pointers, failed removals false; running out of
// memory throws std::bad_alloc. A tree is used by one thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/platform/wintypes.h>

#include <boost/any.hpp>
#include <boost/shared_ptr.hpp>
#include <map>
#include <vector>

namespace corvane {
namespace chunk {
struct ChunkAccess;
}  // namespace chunk
}  // namespace corvane

class CORVANE_API IChunk {
 public:
  typedef std::vector<boost::shared_ptr<IChunk> > ChildList;

  // The label comes first, then the name, then the value.
  explicit IChunk(CString label);
  IChunk(CString label, CString name);
  IChunk(CString label, CString name, int value);
  IChunk(CString label, CString name, unsigned int value);
  IChunk(CString label, CString name, float value);
  IChunk(CString label, CString name, __int64 value);
  IChunk(CString label, CString name, unsigned __int64 value);
  IChunk(CString label, CString name, double value);
  IChunk(CString label, CString name, bool value);
  IChunk(CString label, CString name, float x, float y);
  IChunk(CString label, CString name, float x, float y, float z);
  IChunk(CString label, CString name, float x, float y, float z, float w);
  IChunk(CString label, CString name, double x, double y);
  IChunk(CString label, CString name, double x, double y, double z);
  IChunk(CString label, CString name, double x, double y, double z, double w);
  IChunk(CString label, CString name, const CString& text);
  // String literals make "string" chunks (without these they would pick
  // bool); wide text is converted to code page 936.
  IChunk(CString label, CString name, const char* text);
  IChunk(CString label, CString name, const wchar_t* text);
  // Custom text kind: any type tag with a text value.
  IChunk(CString label, CString name, const CString& type, const CString& text);

  // Copies share the children (not the subtree) and own a copy of the text.
  IChunk(const IChunk& other);
  IChunk& operator=(const IChunk& other);
  // Releases the subtree without recursion, so any depth is safe.
  ~IChunk();

  const CString& name() { return m_name; }
  const CString& label() { return m_label; }
  const CString& type() { return m_type; }
  ChildList& children() { return m_children; }
  unsigned int numChild() { return static_cast<unsigned int>(m_children.size()); }

  // Typed getters read the value's bits as the named type; none checks the
  // value kind or the component index.
  int getI32Value();
  unsigned int getU32Value();
  float getF32Value();
  double getF64Value();
  bool getBoolValue();
  __int64 getI64Value();
  unsigned __int64 getU64Value();
  char* getStringValue();  // the chunk's own text buffer, or null when empty
  float getF32Value2(unsigned int i);
  float getF32Value3(unsigned int i);
  float getF32Value4(unsigned int i);
  double getF64Value2(unsigned int i);
  double getF64Value3(unsigned int i);
  double getF64Value4(unsigned int i);

  // Children: append (an empty pointer is ignored), reach, count, remove.
  // Name and label lookups ignore ASCII letter case and take the first match.
  void addChild(boost::shared_ptr<IChunk> child);
  void allNumChild(unsigned int& counter);                      // adds all descendants, wrapping
  boost::shared_ptr<IChunk> Child(unsigned int position);       // unchecked
  boost::shared_ptr<IChunk> operator[](unsigned int position);  // empty when out of range
  boost::shared_ptr<IChunk> ChildByName(const CString& name);
  boost::shared_ptr<IChunk> ChildByLabel(const CString& label);
  bool erase(unsigned int position);
  bool eraseName(const CString& name);
  bool eraseLabel(const CString& label);

  // The value as text: "%d", "%f", components joined by ",", "true"/"false",
  // or the text itself; empty for no value.
  CString getValueAsString();
  // Gather the direct children's values by name (a later name replaces an
  // earlier one); both replace the map's contents and answer its size.
  unsigned int getValues(std::map<CString, CString>& values);
  unsigned int getValues(std::map<CString, boost::any>& values);

 private:
  // The library's own code reads the value kind (the m_kind code) through
  // corvane::chunk::ChunkAccess (src/chunk); it is not part of this class's
  // interface.
  friend struct corvane::chunk::ChunkAccess;

  // All members start at the first byte; reading another member than the one
  // written reinterprets the bits, which the typed getters rely on.
  union Value {
    int i32;
    unsigned int u32;
    float f32;
    __int64 i64;
    unsigned __int64 u64;
    double f64;
    float f32v[4];
    double f64v[4];
    char* text;
    unsigned char bytes[32];  // bool is read as bytes[0] != 0, never as a bool
  };

  bool HasText() const;
  void SetText(const CString& text);
  void ReleaseText();
  // Releases the entries of `children` one chunk at a time, never recursing.
  static void ReleaseChildren(ChildList& children) noexcept;

  CString m_name;
  CString m_label;
  CString m_type;
  int m_kind;  // the value kind: corvane::chunk::ValueKind
  ChildList m_children;
  Value m_value;
};
