// The framework's exceptions: CException and the archive and file failures.
// They are thrown as heap pointers (`throw new CArchiveException(...)`); the
// catcher owns the object and releases it with Delete(), which frees heap
// objects and leaves objects built with autoDelete FALSE alone. An exception
// object belongs to the thread that caught it.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/cstring.h>
#include <corvane/platform/wintypes.h>

class CORVANE_API CException {
 public:
  explicit CException(BOOL autoDelete = TRUE) noexcept : m_bAutoDelete(autoDelete) {}
  virtual ~CException();

  // Frees the object when it was made for throwing (autoDelete TRUE).
  void Delete() noexcept;

  // A short English description of the failure, copied into `message`
  // (truncated to `maxLength` bytes with a terminator). FALSE when there is
  // no buffer.
  virtual BOOL GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext = nullptr) const;

  BOOL m_bAutoDelete;

 protected:
  CException(const CException&) = default;
  CException& operator=(const CException&) = default;
};

class CORVANE_API CArchiveException : public CException {
 public:
  // Values of m_cause; stored nowhere, but host code compares them.
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
    bufferFull = 8,
  };

  explicit CArchiveException(int cause = none, LPCSTR fileName = nullptr);
  BOOL GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext = nullptr) const override;

  int m_cause;
  CString m_strFileName;
};

class CORVANE_API CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG osError = -1, LPCSTR fileName = nullptr);
  BOOL GetErrorMessage(LPSTR message, UINT maxLength, UINT* helpContext = nullptr) const override;

  // The file cause for an operating-system error number: this library maps
  // the errno values of its platform.
  static int OsErrorToException(LONG osError) noexcept;

  int m_cause;
  LONG m_lOsError;  // errno (Windows: system error code) of the failed call; -1 when none
  CString m_strFileName;
};

[[noreturn]] CORVANE_API void AfxThrowArchiveException(int cause, LPCSTR fileName = nullptr);
[[noreturn]] CORVANE_API void AfxThrowFileException(int cause, LONG osError = -1,
                                                    LPCSTR fileName = nullptr);
