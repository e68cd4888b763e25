// OutputFile: the library's save of a whole file (what every save of the
// library does, see the README) for content a tool makes itself, a library
// addition for tools: a command that fails leaves an existing output as it
// was. Open, then Write the content in pieces, then Commit; an OutputFile
// destroyed before Commit abandons its save. Nothing throws but
// std::bad_alloc; one thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/cstring.h>

#include <cstddef>

namespace corvane {
namespace platform {
class FileReplacement;
}  // namespace platform

class CORVANE_API OutputFile {
 public:
  // `path` is code page 936 text, as every path of the library; nothing
  // happens until Open.
  explicit OutputFile(const CString& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False, touching nothing, where opening the file for writing would fail.
  bool Open();
  // The next bytes; a failure is kept for Commit.
  void Write(const void* data, std::size_t size);
  // True when the whole content is durably at the path; otherwise the file
  // is as it was before Open.
  bool Commit();
  // The system's cause of the first failure (an errno value on POSIX); 0
  // when there was none.
  int Error() const;

 private:
  platform::FileReplacement* m_save;
};

}  // namespace corvane
