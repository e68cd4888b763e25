// The chunk factories, NameChun/LabelChun and the pending label and name.
#include <corvane/chunk/chunk_factory.h>

#include "chunk/chunk_arena.h"
#include "platform/codepage.h"

// Constant-initialised (CString's default constructor is constexpr), so they
// are empty before any code of the library or its host runs.
CString CIoPubHelp::h_StrLabel;
CString CIoPubHelp::h_strName;

void CIoPubHelp::reset() {
  h_StrLabel = CString();
  h_strName = CString();
}

boost::shared_ptr<IChunk> newChunk(CString const& label) {
  return corvane::chunk::MakeChunk(label);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name) {
  return corvane::chunk::MakeChunk(label, name);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, int value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, unsigned int value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, __int64 value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                   unsigned __int64 value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, bool value) {
  return corvane::chunk::MakeChunk(label, name, value);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x, float y) {
  return corvane::chunk::MakeChunk(label, name, x, y);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x, float y,
                                   float z) {
  return corvane::chunk::MakeChunk(label, name, x, y, z);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x, float y,
                                   float z, float w) {
  return corvane::chunk::MakeChunk(label, name, x, y, z, w);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x, double y) {
  return corvane::chunk::MakeChunk(label, name, x, y);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x, double y,
                                   double z) {
  return corvane::chunk::MakeChunk(label, name, x, y, z);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x, double y,
                                   double z, double w) {
  return corvane::chunk::MakeChunk(label, name, x, y, z, w);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, CString const& text) {
  return corvane::chunk::MakeChunk(label, name, text);
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, const char* text) {
  return corvane::chunk::MakeChunk(label, name, CString(text));
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, const wchar_t* text) {
  return corvane::chunk::MakeChunk(label, name, CString(text));
}

// The standard-string factories convert exactly as XmlOp::string2CString and
// XmlOp::wstring2CString do (text up to the first NUL; wide text to code page
// 936), without making the chunk tree depend on the streaming layer.
boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, std::string text) {
  return corvane::chunk::MakeChunk(label, name, CString(text.c_str()));
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, std::wstring text) {
  const std::string narrow = corvane::platform::WideToNarrow(text.c_str(), text.size());
  return corvane::chunk::MakeChunk(label, name,
                                   CString(narrow.data(), static_cast<int>(narrow.size())));
}

boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, CString const& type,
                                   CString const& text) {
  return corvane::chunk::MakeChunk(label, name, type, text);
}

CString NameChun(boost::shared_ptr<IChunk> chunk) { return chunk ? chunk->name() : CString(); }

CString LabelChun(boost::shared_ptr<IChunk> chunk) { return chunk ? chunk->label() : CString(); }
