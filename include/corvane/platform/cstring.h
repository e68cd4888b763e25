// CString: the framework's narrow string, as the library and its hosts use it.
// A sequence of bytes in the narrow code page (936, GBK) with a byte length and
// a NUL-terminated buffer; the bytes are never re-encoded. It is one pointer
// wide and copy-on-write over a shared buffer with an atomic count, so copies
// never allocate; all empty strings share one static text. Copies are
// independent values. A CString object is used by one thread at a time;
// copies of it may live on other threads.
#pragma once

#include <atomic>
#include <cstdarg>
#include <iosfwd>

#include <corvane/export.h>

namespace corvane {
namespace detail {

// Lies immediately before the characters of every string buffer.
struct StringHeader {
  std::atomic<int> refs;
  int length;
  int capacity;
  int reserved;
};

struct EmptyStringBlock {
  StringHeader header;
  char text[16];
};

// The text every empty CString points at; never counted, never freed.
extern CORVANE_API EmptyStringBlock g_emptyString;

}  // namespace detail
}  // namespace corvane

class CORVANE_API CString {
 public:
  constexpr CString() noexcept : m_pszData(corvane::detail::g_emptyString.text) {}
  CString(const char* text);                 // up to the first NUL; null gives ""
  CString(const char* text, int length);     // exactly `length` bytes
  CString(const wchar_t* text);              // wide text converted to code page 936
  CString(const wchar_t* text, int length);  // `length` wide characters, converted
  CString(const CString& other) noexcept : m_pszData(other.m_pszData) { AddRef(); }
  CString(CString&& other) noexcept : m_pszData(other.m_pszData) {
    other.m_pszData = corvane::detail::g_emptyString.text;
  }
  ~CString() { Release(); }

  CString& operator=(const CString& other) noexcept;
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);

  int GetLength() const noexcept { return Header()->length; }
  bool IsEmpty() const noexcept { return Header()->length == 0; }
  void Empty() noexcept;
  const char* GetString() const noexcept { return m_pszData; }
  operator const char*() const noexcept { return m_pszData; }
  char GetAt(int index) const noexcept { return m_pszData[index]; }
  char operator[](int index) const noexcept { return m_pszData[index]; }
  void SetAt(int index, char ch);

  // Byte order, as strcmp for texts without NUL: <0, 0 or >0.
  int Compare(const char* text) const noexcept;
  // As Compare, with ASCII letters folded to lower case.
  int CompareNoCase(const char* text) const noexcept;

  // printf-style formatting into this string.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text, int length);

  // Direct access to a private buffer of at least `minLength` bytes; call
  // ReleaseBuffer with the new length (or -1: up to the first NUL) afterwards.
  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  friend CORVANE_API bool operator==(const CString& a, const CString& b) noexcept;
  friend CORVANE_API bool operator<(const CString& a, const CString& b) noexcept;

 private:
  corvane::detail::StringHeader* Header() const noexcept {
    return reinterpret_cast<corvane::detail::StringHeader*>(m_pszData) - 1;
  }
  bool IsShared() const noexcept { return m_pszData == corvane::detail::g_emptyString.text; }
  void AddRef() const noexcept {
    if (!IsShared()) Header()->refs.fetch_add(1, std::memory_order_relaxed);
  }
  void Release() noexcept {
    if (!IsShared()) ReleaseSlow();
  }
  void ReleaseSlow() noexcept;
  // Makes the buffer private and able to hold `length` bytes; keeps the
  // first min(length, old length) bytes.
  char* PrepareWrite(int length);
  void Assign(const char* text, int length);

  char* m_pszData;
};

CORVANE_API bool operator==(const CString& a, const char* b) noexcept;
inline bool operator==(const char* a, const CString& b) noexcept { return b == a; }
inline bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) noexcept { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) noexcept { return !(b == a); }
inline bool operator>(const CString& a, const CString& b) noexcept { return b < a; }
inline bool operator<=(const CString& a, const CString& b) noexcept { return !(b < a); }
inline bool operator>=(const CString& a, const CString& b) noexcept { return !(a < b); }

CORVANE_API CString operator+(const CString& a, const CString& b);
CORVANE_API CString operator+(const CString& a, const char* b);
CORVANE_API CString operator+(const char* a, const CString& b);
CORVANE_API CString operator+(const CString& a, char b);

// Writes the bytes unchanged (for diagnostics and test output).
CORVANE_API std::ostream& operator<<(std::ostream& out, const CString& text);
