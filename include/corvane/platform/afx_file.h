// CFile: the framework's unbuffered binary file over an operating-system file
// descriptor (on Windows the C runtime's, over the wide API; always binary). Paths are narrow code
// page 936 text; bytes that are not make a path name no file (cause badPath). Open reports failure
// as FALSE (and in the optional CFileException record); every other failing operation throws a heap
// CFileException* that the caller releases with Delete(). The destructor closes quietly. One thread
// at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/cstring.h>
#include <corvane/platform/wintypes.h>

// The framework's 64-bit names (a repeated identical typedef is harmless, so
// these may also appear in wintypes.h).
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;

class CORVANE_API CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,  // share flags are accepted and have no effect
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,      // create the file, or truncate it when it exists
    modeNoTruncate = 0x2000,  // with modeCreate: keep an existing file's contents
    typeText = 0x4000,        // accepted; files are always binary here
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

  CFile() noexcept = default;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  virtual ~CFile();

  // Opens `path`; FALSE (with `error` filled when given) when it cannot be
  // opened. A directory never opens. An open file is closed first.
  virtual BOOL Open(LPCSTR path, UINT flags, CFileException* error = nullptr);

  // Reads up to `count` bytes; fewer only at end of file.
  virtual UINT Read(void* buffer, UINT count);
  // Writes all `count` bytes (a full disk raises diskFull).
  virtual void Write(const void* buffer, UINT count);
  // Makes what was written durable on the storage device.
  virtual void Flush();
  // Closes the file; a failing close still releases the descriptor, then throws.
  virtual void Close();
  // Closes without reporting anything.
  virtual void Abort() noexcept;

  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);

  CString GetFilePath() const { return m_strFileName; }
  bool IsOpen() const noexcept { return m_fd >= 0; }  // a library addition

  // Renames or removes a file by path; failures throw CFileException*.
  static void Rename(LPCSTR oldName, LPCSTR newName);
  static void Remove(LPCSTR fileName);

 private:
  [[noreturn]] void ThrowLastError() const;
  void RequireOpen() const;

  int m_fd = -1;
  CString m_strFileName;
};
