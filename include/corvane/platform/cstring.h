// CString: the framework's narrow string, as the library and its hosts use it.
// A sequence of bytes in the narrow code page (936, GBK) with a byte length and
// a NUL-terminated buffer; the bytes are never re-encoded. It is one pointer
// wide and copy-on-write over a shared buffer with an atomic count, so copies
// never allocate; all empty strings share one static text. Copies are
// independent values. A CString object is used by one thread at a time;
// copies of it may live on other threads.
//
// Lengths and indexes count bytes, but text is read as characters from its
// start: a lead byte 0x81-0xFE and the byte after it (unless that is the
// terminating NUL) are one double-byte character, which no operation splits,
// searches inside, case-folds, trims or replaces as single bytes. Case folding
// is ASCII only. Indexes and counts out of range are clamped, except for
// GetAt, SetAt and operator[], which take a valid byte index.
#pragma once

#include <corvane/export.h>

#include <atomic>
#include <cstdarg>
#include <iosfwd>
#include <type_traits>

class CString;

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

// Constraints that keep literal 0 and nullptr meaning "no text": a character or a
// wide text is taken only when it is exactly of that type.
template <typename T>
using IfChar = std::enable_if_t<std::is_same_v<T, char>, int>;
template <typename T>
using IfWideChar = std::enable_if_t<std::is_same_v<T, wchar_t>, int>;

template <typename T>
inline constexpr bool kIsCString = std::is_base_of_v<CString, std::remove_cv_t<T>>;

template <typename... Args>
using IfAnyCString = std::enable_if_t<(kIsCString<Args> || ...), int>;

// What may pass through printf's `...`; a CString stands for its text.
template <typename T, typename D = std::decay_t<T>>
inline constexpr bool kIsPrintfArgument =
    std::is_arithmetic_v<D> || std::is_enum_v<D> || std::is_pointer_v<D> ||
    std::is_null_pointer_v<D> || kIsCString<T>;

template <typename T>
decltype(auto) PrintfArgument(const T& value) noexcept {
  if constexpr (kIsCString<T>) {
    return value.GetString();
  } else {
    return value;
  }
}

}  // namespace detail
}  // namespace corvane

class CORVANE_API CString {
 public:
  constexpr CString() noexcept : m_pszData(corvane::detail::g_emptyString.text) {}
  CString(const char* text);              // up to the first NUL; null gives ""
  CString(const char* text, int length);  // exactly `length` bytes
  template <typename Char, corvane::detail::IfChar<Char> = 0>
  CString(Char ch, int repeat = 1) : CString() {  // `repeat` copies of `ch`
    AssignRepeated(ch, repeat);
  }
  // Wide text converted to code page 936; with a length, that many wide characters.
  template <typename Wide, corvane::detail::IfWideChar<Wide> = 0>
  CString(const Wide* text) : CString() {
    AssignWide(text, -1);
  }
  template <typename Wide, corvane::detail::IfWideChar<Wide> = 0>
  CString(const Wide* text, int length) : CString() {
    if (length > 0) AssignWide(text, length);
  }
  CString(const CString& other) noexcept : m_pszData(other.m_pszData) { AddRef(); }
  CString(CString&& other) noexcept : m_pszData(other.m_pszData) {
    other.m_pszData = corvane::detail::g_emptyString.text;
  }
  ~CString() { Release(); }

  CString& operator=(const CString& other) noexcept;
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);
  template <typename Char, corvane::detail::IfChar<Char> = 0>
  CString& operator=(Char ch) {
    AssignRepeated(ch, 1);
    return *this;
  }
  template <typename Wide, corvane::detail::IfWideChar<Wide> = 0>
  CString& operator=(const Wide* text) {
    AssignWide(text, -1);
    return *this;
  }

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
  // As Compare, with ASCII letters folded to lower case where they are
  // single-byte characters (never the trail byte of a double-byte one).
  int CompareNoCase(const char* text) const noexcept;

  // printf-style formatting into this string. A call with CString arguments
  // takes the template below, which passes their text to %s; other calls keep
  // the compiler's format checking.
  void Format(const char* format, ...) CORVANE_PRINTF(2, 3);
  void AppendFormat(const char* format, ...) CORVANE_PRINTF(2, 3);
  void FormatV(const char* format, va_list args) CORVANE_PRINTF(2, 0);
  void AppendFormatV(const char* format, va_list args) CORVANE_PRINTF(2, 0);
  template <typename... Args, corvane::detail::IfAnyCString<Args...> = 0>
  void Format(const char* format, const Args&... args) {
    static_assert((corvane::detail::kIsPrintfArgument<Args> && ...),
                  "printf-style formatting takes numbers, enums, pointers and CStrings only");
    FormatUnchecked(format, corvane::detail::PrintfArgument(args)...);
  }
  template <typename... Args, corvane::detail::IfAnyCString<Args...> = 0>
  void AppendFormat(const char* format, const Args&... args) {
    static_assert((corvane::detail::kIsPrintfArgument<Args> && ...),
                  "printf-style formatting takes numbers, enums, pointers and CStrings only");
    AppendFormatUnchecked(format, corvane::detail::PrintfArgument(args)...);
  }

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text);  // null appends nothing
  void Append(const char* text, int length);
  void AppendChar(char ch);

  // The whole characters within bytes [first, first + count): a start inside
  // a character moves past it, an end inside one leaves it out.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  // The leading characters that are all in `set`, or all not in it.
  CString SpanIncluding(const char* set) const;
  CString SpanExcluding(const char* set) const;
  // The next token after `start` between characters of `tokens`; moves `start`
  // past the delimiter that ends it, or to -1 (with "") when none is left.
  CString Tokenize(const char* tokens, int& start) const;

  // Byte index of the first match on a character boundary at or after
  // `start`, or -1; empty text is found at `start`. A single byte never
  // matches inside a double-byte character.
  int Find(char ch, int start = 0) const noexcept;
  int Find(const char* text, int start = 0) const noexcept;
  int ReverseFind(char ch) const noexcept;
  int FindOneOf(const char* set) const noexcept;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();  // by characters
  // Replacements, left to right and non-overlapping; the count made.
  int Replace(char oldChar, char newChar);
  int Replace(const char* oldText, const char* newText);
  int Remove(char ch);
  // These return the new length. Insert moves an index inside a character
  // past it; Delete removes every character that overlaps its range.
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  // Trimming without arguments removes white space (" \t\n\r\v\f").
  CString& Trim();
  CString& Trim(char target);
  CString& Trim(const char* targets);
  CString& TrimLeft();
  CString& TrimLeft(char target);
  CString& TrimLeft(const char* targets);
  CString& TrimRight();
  CString& TrimRight(char target);
  CString& TrimRight(const char* targets);
  // Shortens to at most `newLength` bytes, leaving out a character cut in two.
  void Truncate(int newLength);

  // Direct access to a private buffer of at least `minLength` bytes; call
  // ReleaseBuffer with the new length (or -1: up to the first NUL) afterwards.
  char* GetBuffer();
  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);
  void ReleaseBufferSetLength(int newLength);

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
  void AssignRepeated(char ch, int repeat);
  void AssignWide(const wchar_t* text, int length);  // length < 0: up to the NUL
  // Out of line so that no argument list is instantiated in the library.
  void FormatUnchecked(const char* format, ...);
  void AppendFormatUnchecked(const char* format, ...);
  // Keeps bytes [begin, end), which lie on character boundaries.
  void KeepRange(int begin, int end);

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
inline bool operator<(const CString& a, const char* b) noexcept { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, const char* b) noexcept { return a.Compare(b) > 0; }
inline bool operator<=(const CString& a, const char* b) noexcept { return a.Compare(b) <= 0; }
inline bool operator>=(const CString& a, const char* b) noexcept { return a.Compare(b) >= 0; }
inline bool operator<(const char* a, const CString& b) noexcept { return b.Compare(a) > 0; }
inline bool operator>(const char* a, const CString& b) noexcept { return b.Compare(a) < 0; }
inline bool operator<=(const char* a, const CString& b) noexcept { return b.Compare(a) >= 0; }
inline bool operator>=(const char* a, const CString& b) noexcept { return b.Compare(a) <= 0; }

CORVANE_API CString operator+(const CString& a, const CString& b);
CORVANE_API CString operator+(const CString& a, const char* b);
CORVANE_API CString operator+(const char* a, const CString& b);
CORVANE_API CString operator+(const CString& a, char b);
// Only a real char, so that an integer is never narrowed to one here.
template <typename Char, corvane::detail::IfChar<Char> = 0>
CString operator+(Char a, const CString& b) {
  CString result(b);
  result.Insert(0, a);
  return result;
}

// Writes the bytes unchanged (for diagnostics and test output).
CORVANE_API std::ostream& operator<<(std::ostream& out, const CString& text);
