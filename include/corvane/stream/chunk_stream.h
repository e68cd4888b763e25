// Typed streaming into and out of chunk trees.
//   parent << value  makes a chunk holding the value, labelled and named from
//                    CIoPubHelp's pending strings (which it then empties),
//                    appends it to parent when parent is not empty, and
//                    returns the new chunk, so chained `<<` nests.
//   chunk >> value   copies the chunk's own value bits (or, for the text
//                    types, its value text) and returns the chunk. On an
//                    empty chunk numbers are left alone and std strings emptied.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/chunk/value_records.h>
#include <corvane/export.h>

#include <boost/shared_ptr.hpp>
#include <string>

CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const int& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const unsigned int& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const float& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent, double value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const __int64& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const unsigned __int64& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const bool& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const CString& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const char* value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const wchar_t* value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const std::string& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const std::wstring& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpFloat2& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpFloat3& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpFloat4& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpDouble2& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpDouble3& value);
CORVANE_API boost::shared_ptr<IChunk> operator<<(boost::shared_ptr<IChunk> parent,
                                                 const TmpDouble4& value);

CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, int& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 unsigned int& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, float& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, double& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, __int64& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 unsigned __int64& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, bool& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, CString& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 std::string& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 std::wstring& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat2& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat3& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk, TmpFloat4& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 TmpDouble2& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 TmpDouble3& value);
CORVANE_API boost::shared_ptr<IChunk> operator>>(boost::shared_ptr<IChunk> chunk,
                                                 TmpDouble4& value);
