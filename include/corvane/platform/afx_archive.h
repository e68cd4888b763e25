// CArchive: the framework's buffered binary stream over a CFile, storing or
// loading. Numbers are little-endian with no padding. Failures throw heap
// exceptions the caller releases with Delete(): CArchiveException* for wrong
// direction (readOnly, writeOnly) and numbers past the end (endOfFile), and
// the file's own CFileException*. The archive borrows the file and never
// closes it. One thread at a time.
#pragma once

#include <corvane/export.h>
#include <corvane/platform/afx_exception.h>
#include <corvane/platform/afx_file.h>
#include <corvane/platform/cstring.h>
#include <corvane/platform/wintypes.h>

namespace corvane {
namespace platform {
struct ArchiveReadAhead;
}  // namespace platform
}  // namespace corvane

class CORVANE_API CArchive {
 public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };
  // Buffers smaller than this are replaced by an own buffer of this size, so
  // that any single number fits (a library addition).
  static constexpr int kMinBufferSize = 64;

  // `buffer`, when given, must hold `bufferSize` bytes and outlive the
  // archive; otherwise the archive allocates its own. bNoByteSwap is
  // accepted and has no effect: the byte order is always little-endian.
  CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
  // An archive that is still open flushes here (as Flush) unless
  // bNoFlushOnDelete was given. A destructor must not throw, so a failure of
  // that last flush is swallowed (the exception deleted): call Close() first
  // to see it.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const noexcept { return (m_nMode & load) != 0; }
  BOOL IsStoring() const noexcept { return (m_nMode & load) == 0; }
  CFile* GetFile() const noexcept { return m_pFile; }

  // Copies up to `count` bytes out; fewer only at end of file, never throws
  // endOfFile. Large blocks bypass the buffer; a file that delivers fewer
  // bytes than asked is read again until it has them or reports its end.
  UINT Read(void* buffer, UINT count);
  // Copies `count` bytes in; large blocks bypass the buffer.
  void Write(const void* buffer, UINT count);
  // Storing: hands the buffered bytes to the file. Loading: gives the
  // buffered bytes not yet handed out back to the file by seeking, so the
  // file position is right after the last byte consumed.
  void Flush();
  // Flushes (storing or loading, as Flush) and detaches from the file; later
  // transfers throw genericException. The archive is detached even when the
  // flush throws.
  void Close();
  // Detaches without flushing or reporting anything.
  void Abort() noexcept;

  // Numbers, little-endian; a bool is one byte (any non-zero byte reads as
  // true) and a LONG four, as the framework lays them out.
  CArchive& operator<<(BYTE value);
  CArchive& operator<<(WORD value);
  CArchive& operator<<(unsigned int value);  // also DWORD
  CArchive& operator<<(int value);
  CArchive& operator<<(LONG value);
  CArchive& operator<<(unsigned long value);  // DWORD on Windows; 32 bits, as LONG
  CArchive& operator<<(short value);
  CArchive& operator<<(char value);
  CArchive& operator<<(bool value);
  CArchive& operator<<(float value);
  CArchive& operator<<(double value);
  CArchive& operator<<(LONGLONG value);
  CArchive& operator<<(ULONGLONG value);

  CArchive& operator>>(BYTE& value);
  CArchive& operator>>(WORD& value);
  CArchive& operator>>(unsigned int& value);
  CArchive& operator>>(int& value);
  CArchive& operator>>(LONG& value);
  CArchive& operator>>(unsigned long& value);
  CArchive& operator>>(short& value);
  CArchive& operator>>(char& value);
  CArchive& operator>>(bool& value);
  CArchive& operator>>(float& value);
  CArchive& operator>>(double& value);
  CArchive& operator>>(LONGLONG& value);
  CArchive& operator>>(ULONGLONG& value);

 private:
  // Not part of the framework's class: the library's mesh reader looks ahead
  // into the load buffer through corvane::platform::ArchiveReadAhead
  // (src/platform/archive_read_ahead.h).
  friend struct corvane::platform::ArchiveReadAhead;

  template <typename T>
  CArchive& StoreNumber(T value);
  template <typename T>
  CArchive& LoadNumber(T& value);

  // Makes at least `needed` bytes available to load, or throws (writeOnly,
  // genericException when closed, endOfFile when the file runs out).
  void FillBuffer(UINT needed);
  // Empties the store buffer into the file, or throws (readOnly, generic).
  void MakeRoom();
  void RequireLoading() const;
  void RequireStoring() const;
  // Reads as much as the free part of the buffer takes; returns the count.
  UINT RefillFromFile();
  void WriteBufferToFile();
  void Detach() noexcept;
  // Loading: how many of `wanted` bytes past the `buffered` ones the file
  // still holds (0 when it cannot tell its length or position).
  ULONGLONG LoadableBeyondBuffer(ULONGLONG wanted, ULONGLONG buffered) noexcept;

  UINT m_nMode;
  CFile* m_pFile;
  int m_nBufSize;
  BYTE* m_lpBufStart;
  bool m_bUserBuf;
  BYTE* m_loadCur;   // next unread byte
  BYTE* m_loadEnd;   // end of the bytes read from the file
  BYTE* m_storeCur;  // next free byte
  BYTE* m_storeEnd;  // end of the buffer while storing
};

// The framework's string length prefix (1, 3, 7 or 15 bytes; a wide string
// carries the 3-byte tag FF FE FF first). `length` counts characters.
CORVANE_API void AfxWriteStringLength(CArchive& ar, UINT_PTR length, BOOL unicode);
// Reads a prefix; `charSize` becomes 1 (narrow) or 2 (UTF-16LE).
CORVANE_API UINT_PTR AfxReadStringLength(CArchive& ar, int& charSize);

// A CString goes out narrow: the prefix, then its bytes. On the way in a
// wide string is converted from UTF-16LE to code page 936. Text shorter than
// its prefix raises endOfFile; memory grows only with text really read.
CORVANE_API CArchive& operator<<(CArchive& ar, const CString& text);
CORVANE_API CArchive& operator>>(CArchive& ar, CString& text);
