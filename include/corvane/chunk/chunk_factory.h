// The chunk factories, one per IChunk constructor (label first, then name,
// then value), each making the chunk and its counts in one allocation; the
// name and label readers that accept an empty pointer; and CIoPubHelp, which
// holds the label and name that the next `<<` gives to the chunk it makes.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>

#include <boost/shared_ptr.hpp>
#include <string>

CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               int value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               unsigned int value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               float value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               __int64 value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               unsigned __int64 value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               double value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               bool value);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x,
                                               float y);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x,
                                               float y, float z);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, float x,
                                               float y, float z, float w);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x,
                                               double y);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x,
                                               double y, double z);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name, double x,
                                               double y, double z, double w);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               CString const& text);
// String literals make "string" chunks (without these they would pick bool);
// wide text is converted to code page 936.
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               const char* text);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               const wchar_t* text);
// Standard strings are taken as narrow text (std::string, bytes unchanged)
// or converted to code page 936 (std::wstring).
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               std::string text);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               std::wstring text);
CORVANE_API boost::shared_ptr<IChunk> newChunk(CString const& label, CString const& name,
                                               CString const& type, CString const& text);

// The chunk's name or label, or the empty text for an empty pointer.
CORVANE_API CString NameChun(boost::shared_ptr<IChunk> chunk);
CORVANE_API CString LabelChun(boost::shared_ptr<IChunk> chunk);

// The pending label and name: process-wide, unguarded, consumed by every `<<`.
class CORVANE_API CIoPubHelp {
 public:
  static CString h_StrLabel;
  static CString h_strName;

  static void reset();  // empties the label, then the name
  CIoPubHelp& operator=(CIoPubHelp const&) { return *this; }
};
