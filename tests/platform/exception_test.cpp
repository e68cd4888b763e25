// The framework's exceptions: causes, heap ownership through Delete(), the
// mapping from system errors, and their messages. (What file operations put in
// a CFileException is in file_test.cpp and save_posix_test.cpp.)
#include <corvane/platform/afx_exception.h>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

// Host code compares m_cause with the framework's own numbers.
static_assert(CArchiveException::endOfFile == 3 && CArchiveException::writeOnly == 4 &&
                  CFileException::fileNotFound == 2 && CFileException::diskFull == 13,
              "the framework's cause values");

TEST(ExceptionTest, ThrownAsHeapPointersAndReleasedWithDelete) {
  try {
    AfxThrowArchiveException(CArchiveException::badSchema, "mesh.bin");
  } catch (CException* error) {  // caught through the base class, as host code does
    CArchiveException* archive = dynamic_cast<CArchiveException*>(error);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->m_cause, CArchiveException::badSchema);
    EXPECT_EQ(archive->m_strFileName, "mesh.bin");
    error->Delete();  // a leak here fails the sanitizer build
  }
  CArchiveException onStack(CArchiveException::endOfFile);
  onStack.m_bAutoDelete = FALSE;
  onStack.Delete();  // must not free an object not made for throwing
  EXPECT_EQ(onStack.m_cause, CArchiveException::endOfFile);
}

TEST(ExceptionTest, OsErrorsMapToFileCauses) {
#if defined(_WIN32)  // the system's error codes
  const int cases[][2] = {{2 /* ERROR_FILE_NOT_FOUND */, CFileException::fileNotFound},
                          {3 /* ERROR_PATH_NOT_FOUND */, CFileException::badPath},
                          {32 /* ERROR_SHARING_VIOLATION */, CFileException::sharingViolation},
                          {112 /* ERROR_DISK_FULL */, CFileException::diskFull}};
#else
  const int cases[][2] = {{ENOENT, CFileException::fileNotFound},
                          {ENOSPC, CFileException::diskFull}};
#endif
  for (const auto& c : cases)
    EXPECT_EQ(CFileException::OsErrorToException(c[0]), c[1]) << "errno " << c[0];
}

TEST(ExceptionTest, MessagesAreCutToTheBuffer) {
  CArchiveException error(CArchiveException::endOfFile);
  char message[64], tiny[4];
  ASSERT_TRUE(error.GetErrorMessage(message, sizeof message));
  ASSERT_TRUE(error.GetErrorMessage(tiny, sizeof tiny));
  EXPECT_STREQ(message, "end of file");
  EXPECT_STREQ(tiny, "end");
}

}  // namespace
