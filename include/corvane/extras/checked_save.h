// SaveChunkFile: XmlFileIO::save that says whether the file was written, a
// library addition for tools and hosts that must tell their users of a save
// that failed (XmlFileIO::save stays quiet, as host code expects). Same bytes
// and the same safe replacement of an existing file; no progress callbacks.
// WriteChunkStream writes the same bytes into an open stream (standard
// output, say), which is written, never replaced. Nothing throws but
// std::bad_alloc; one thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/export.h>
#include <corvane/platform/cstring.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>

namespace corvane {

// False, with the file as it was, when `root` is empty or its label is not an
// XML name, or the file cannot be written (no folder, no permission, a full
// disk).
CORVANE_API bool SaveChunkFile(const CString& path, boost::shared_ptr<IChunk> root);

// False when `root` is empty or its label is not an XML name (nothing is
// written then), or the stream reports an error.
CORVANE_API bool WriteChunkStream(std::FILE* out, boost::shared_ptr<IChunk> root);

}  // namespace corvane
