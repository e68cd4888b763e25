// Test helper: a host's file that cannot tell its length, as a pipe cannot;
// loading from it must rely on the bytes it delivers.
#pragma once

#include <corvane/platform/afx_exception.h>
#include <corvane/platform/afx_file.h>

namespace corvane_test {

class LengthlessFile : public CFile {
 public:
  ULONGLONG GetLength() const override { AfxThrowFileException(CFileException::badSeek, 29); }
};

}  // namespace corvane_test
