// The framework's exceptions: causes, heap ownership through Delete(), and
// catching through the base class as host code does.
#include <corvane/platform/afx_exception.h>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(ExceptionTest, CauseValuesAreTheFrameworks) {
  EXPECT_EQ(CArchiveException::none, 0);
  EXPECT_EQ(CArchiveException::endOfFile, 3);
  EXPECT_EQ(CArchiveException::writeOnly, 4);
  EXPECT_EQ(CArchiveException::bufferFull, 8);
  EXPECT_EQ(CFileException::fileNotFound, 2);
  EXPECT_EQ(CFileException::accessDenied, 5);
  EXPECT_EQ(CFileException::diskFull, 13);
  EXPECT_EQ(CFileException::endOfFile, 14);
}

TEST(ExceptionTest, ThrownAsHeapPointersAndReleasedWithDelete) {
  try {
    AfxThrowArchiveException(CArchiveException::badSchema, "mesh.bin");
  } catch (CException* error) {
    CArchiveException* archive = dynamic_cast<CArchiveException*>(error);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->m_cause, CArchiveException::badSchema);
    EXPECT_TRUE(archive->m_strFileName == "mesh.bin");
    error->Delete();  // a leak here fails the sanitizer build
  }
  try {
    AfxThrowFileException(CFileException::diskFull, ENOSPC);
  } catch (CFileException* error) {
    EXPECT_EQ(error->m_cause, CFileException::diskFull);
    EXPECT_EQ(error->m_lOsError, ENOSPC);
    EXPECT_TRUE(error->m_strFileName.IsEmpty());
    error->Delete();
  }
}

TEST(ExceptionTest, DeleteLeavesObjectsNotMadeForThrowing) {
  CArchiveException onStack(CArchiveException::endOfFile);
  onStack.m_bAutoDelete = FALSE;
  onStack.Delete();  // must not free a stack object
  EXPECT_EQ(onStack.m_cause, CArchiveException::endOfFile);
}

TEST(ExceptionTest, OsErrorsMapToFileCauses) {
  EXPECT_EQ(CFileException::OsErrorToException(ENOENT), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::OsErrorToException(EACCES), CFileException::accessDenied);
  EXPECT_EQ(CFileException::OsErrorToException(ENOSPC), CFileException::diskFull);
  EXPECT_EQ(CFileException::OsErrorToException(EFBIG), CFileException::diskFull);
  EXPECT_EQ(CFileException::OsErrorToException(EMFILE), CFileException::tooManyOpenFiles);
  EXPECT_EQ(CFileException::OsErrorToException(EIO), CFileException::hardIO);
  EXPECT_EQ(CFileException::OsErrorToException(EXDEV), CFileException::genericException);
}

TEST(ExceptionTest, MessagesAreCutToTheBuffer) {
  CArchiveException error(CArchiveException::endOfFile);
  char message[64];
  ASSERT_TRUE(error.GetErrorMessage(message, sizeof message));
  EXPECT_STREQ(message, "end of file");
  char tiny[4];
  ASSERT_TRUE(error.GetErrorMessage(tiny, sizeof tiny));
  EXPECT_STREQ(tiny, "end");
  EXPECT_FALSE(error.GetErrorMessage(NULL, 10));
  CFileException unknown(99);
  ASSERT_TRUE(unknown.GetErrorMessage(message, sizeof message));
  EXPECT_STREQ(message, "unknown file error");
}

}  // namespace
