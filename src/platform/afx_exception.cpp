#include <corvane/platform/afx_exception.h>

#include <cstring>

namespace {

BOOL CopyMessage(const char* text, LPSTR message, UINT maxLength, UINT* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  if (message == nullptr || maxLength == 0) return FALSE;
  std::size_t length = std::strlen(text);
  if (length >= maxLength) length = maxLength - 1;
  std::memcpy(message, text, length);
  message[length] = '\0';
  return TRUE;
}

const char* ArchiveCauseText(int cause) {
  static const char* const kTexts[] = {
      "no error",
      "unknown archive error",
      "archive is loading, cannot write",
      "end of file",
      "archive is storing, cannot read",
      "bad index",
      "bad class",
      "bad schema",
      "buffer full",
  };
  if (cause < 0 || cause >= static_cast<int>(sizeof kTexts / sizeof kTexts[0])) return kTexts[1];
  return kTexts[cause];
}

const char* FileCauseText(int cause) {
  static const char* const kTexts[] = {
      "no error",
      "unknown file error",
      "file not found",
      "bad path",
      "too many open files",
      "access denied",
      "invalid file",
      "cannot remove the current directory",
      "directory full",
      "bad seek",
      "hardware I/O error",
      "sharing violation",
      "lock violation",
      "disk full",
      "end of file",
  };
  if (cause < 0 || cause >= static_cast<int>(sizeof kTexts / sizeof kTexts[0])) return kTexts[1];
  return kTexts[cause];
}

}  // namespace

CException::~CException() = default;

void CException::Delete() noexcept {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext) const {
  return CopyMessage("unknown error", message, maxLength, helpContext);
}

CArchiveException::CArchiveException(int cause, LPCSTR fileName)
    : m_cause(cause), m_strFileName(fileName) {}

BOOL CArchiveException::GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext) const {
  return CopyMessage(ArchiveCauseText(m_cause), message, maxLength, helpContext);
}

CFileException::CFileException(int cause, LONG osError, LPCSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

BOOL CFileException::GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext) const {
  return CopyMessage(FileCauseText(m_cause), message, maxLength, helpContext);
}

void AfxThrowArchiveException(int cause, LPCSTR fileName) {
  throw new CArchiveException(cause, fileName);
}

void AfxThrowFileException(int cause, LONG osError, LPCSTR fileName) {
  throw new CFileException(cause, osError, fileName);
}
