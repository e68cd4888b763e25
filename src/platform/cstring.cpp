#include <corvane/platform/cstring.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <ostream>
#include <string>

#include "platform/codepage.h"
#include "platform/cstring_chars.h"

namespace corvane {
namespace detail {
EmptyStringBlock g_emptyString = {{{0}, 0, 0, 0}, {0}};
}  // namespace detail
}  // namespace corvane

using corvane::detail::StringHeader;
using corvane::platform::CharSize;

namespace {

char* AllocateBuffer(int length) {
  if (length < 0 || length > INT_MAX - 64) throw std::bad_alloc();
  // Round small requests up so that short appends do not reallocate.
  int capacity = length < 15 ? 15 : length;
  void* block = ::operator new(sizeof(StringHeader) + static_cast<std::size_t>(capacity) + 1);
  StringHeader* header = new (block) StringHeader;
  header->refs.store(1, std::memory_order_relaxed);
  header->length = length;
  header->capacity = capacity;
  header->reserved = 0;
  char* data = reinterpret_cast<char*>(header + 1);
  data[length] = '\0';
  return data;
}

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

}  // namespace

CString::CString(const char* text) : CString() {
  if (text != nullptr) Assign(text, static_cast<int>(std::strlen(text)));
}

CString::CString(const char* text, int length) : CString() {
  if (text != nullptr && length > 0) Assign(text, length);
}

void CString::AssignRepeated(char ch, int repeat) {
  if (repeat <= 0) {
    Empty();
    return;
  }
  char* data = AllocateBuffer(repeat);
  std::memset(data, ch, static_cast<std::size_t>(repeat));
  Release();
  m_pszData = data;
}

void CString::AssignWide(const wchar_t* text, int length) {
  if (text == nullptr || length == 0) {
    Empty();
    return;
  }
  const std::size_t count = length < 0 ? std::wcslen(text) : static_cast<std::size_t>(length);
  const std::string narrow = corvane::platform::WideToNarrow(text, count);
  Assign(narrow.data(), static_cast<int>(narrow.size()));
}

CString& CString::operator=(const CString& other) noexcept {
  if (m_pszData != other.m_pszData) {
    other.AddRef();
    Release();
    m_pszData = other.m_pszData;
  }
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Release();
    m_pszData = other.m_pszData;
    other.m_pszData = corvane::detail::g_emptyString.text;
  }
  return *this;
}

CString& CString::operator=(const char* text) {
  if (text == nullptr || *text == '\0') {
    Empty();
  } else {
    Assign(text, static_cast<int>(std::strlen(text)));
  }
  return *this;
}

void CString::Empty() noexcept {
  Release();
  m_pszData = corvane::detail::g_emptyString.text;
}

void CString::SetAt(int index, char ch) { PrepareWrite(GetLength())[index] = ch; }

int CString::Compare(const char* text) const noexcept {
  return std::strcmp(m_pszData, text != nullptr ? text : "");
}

int CString::CompareNoCase(const char* text) const noexcept {
  const char* a = m_pszData;
  const char* b = text != nullptr ? text : "";
  // While the bytes agree, both texts are at the same character boundary.
  for (;;) {
    const int size = CharSize(a);
    const unsigned char ca =
        size == 1 ? FoldAscii(static_cast<unsigned char>(*a)) : static_cast<unsigned char>(*a);
    const unsigned char cb = CharSize(b) == 1 ? FoldAscii(static_cast<unsigned char>(*b))
                                              : static_cast<unsigned char>(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == '\0') return 0;
    if (size == 2 && a[1] != b[1]) {
      return static_cast<unsigned char>(a[1]) < static_cast<unsigned char>(b[1]) ? -1 : 1;
    }
    a += size;
    b += size;
  }
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

namespace {

// The framework's size prefix I64 ("%I64d", "%I64u", "%I64x", "%I64X") as
// the standard ll, which every C runtime reads the same way.
std::string WithStandardSizes(const char* format) {
  std::string result;
  for (const char* at = format; *at != '\0';) {
    result += *at;
    if (*at++ != '%') continue;
    if (*at == '%') {
      result += *at++;
      continue;
    }
    while (*at != '\0' && std::strchr("-+ #0123456789.*", *at) != nullptr) result += *at++;
    if (std::strncmp(at, "I64", 3) == 0) {
      result += "ll";
      at += 3;
    }
  }
  return result;
}

}  // namespace

void CString::FormatV(const char* format, va_list args) {
  std::string standard;
  if (format != nullptr && std::strstr(format, "I64") != nullptr) {
    standard = WithStandardSizes(format);
    format = standard.c_str();
  }
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length <= 0) {
    Empty();
  } else if (length < static_cast<int>(sizeof small)) {
    Assign(small, length);
  } else {
    CString result;
    char* buffer = result.PrepareWrite(length);
    std::vsnprintf(buffer, static_cast<std::size_t>(length) + 1, format, args);
    *this = std::move(result);
  }
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void CString::AppendFormatV(const char* format, va_list args) {
  CString piece;
  piece.FormatV(format, args);
  *this += piece;
}

void CString::FormatUnchecked(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormatUnchecked(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

CString& CString::operator+=(const CString& other) {
  const CString keep(other);  // `other` may be this very string
  Append(keep.m_pszData, keep.GetLength());
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text != nullptr) Append(text, static_cast<int>(std::strlen(text)));
  return *this;
}

CString& CString::operator+=(char ch) {
  Append(&ch, 1);
  return *this;
}

void CString::Append(const char* text) {
  if (text != nullptr) Append(text, static_cast<int>(std::strlen(text)));
}

void CString::AppendChar(char ch) { Append(&ch, 1); }

void CString::Append(const char* text, int length) {
  if (length <= 0) return;
  const int old = GetLength();
  if (length > INT_MAX - 64 - old) throw std::bad_alloc();
  if (text >= m_pszData && text <= m_pszData + old) {
    const CString keep(*this);  // appending a piece of itself
    const std::ptrdiff_t offset = text - m_pszData;
    char* data = PrepareWrite(old + length);
    std::memmove(data + old, keep.m_pszData + offset, static_cast<std::size_t>(length));
    return;
  }
  char* data = PrepareWrite(old + length);
  std::memcpy(data + old, text, static_cast<std::size_t>(length));
}

char* CString::GetBuffer() { return GetBuffer(0); }

char* CString::GetBuffer(int minLength) {
  const int length = GetLength();
  char* data = PrepareWrite(minLength > length ? minLength : length);
  Header()->length = length;
  data[length] = '\0';
  return data;
}

char* CString::GetBufferSetLength(int length) { return PrepareWrite(length < 0 ? 0 : length); }

void CString::ReleaseBuffer(int newLength) {
  if (IsShared()) return;
  StringHeader* header = Header();
  if (newLength < 0) newLength = static_cast<int>(std::strlen(m_pszData));
  if (newLength > header->capacity) newLength = header->capacity;
  header->length = newLength;
  m_pszData[newLength] = '\0';
  if (newLength == 0) Empty();
}

void CString::ReleaseBufferSetLength(int newLength) {
  ReleaseBuffer(newLength < 0 ? 0 : newLength);
}

void CString::KeepRange(int begin, int end) {
  if (begin == 0 && end == GetLength()) return;
  if (end <= begin) {
    Empty();
    return;
  }
  char* data = PrepareWrite(GetLength());
  std::memmove(data, data + begin, static_cast<std::size_t>(end - begin));
  PrepareWrite(end - begin);
}

void CString::ReleaseSlow() noexcept {
  StringHeader* header = Header();
  if (header->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    header->~StringHeader();
    ::operator delete(header);
  }
}

char* CString::PrepareWrite(int length) {
  if (length == 0) {
    Empty();
    return m_pszData;
  }
  if (!IsShared()) {
    StringHeader* header = Header();
    if (header->refs.load(std::memory_order_acquire) == 1 && length <= header->capacity) {
      header->length = length;
      m_pszData[length] = '\0';
      return m_pszData;
    }
  }
  const int old = GetLength();
  const int grown = (length > old && old > 0) ? (length < old * 2 ? old * 2 : length) : length;
  char* data = AllocateBuffer(grown);
  std::memcpy(data, m_pszData, static_cast<std::size_t>(old < length ? old : length));
  reinterpret_cast<StringHeader*>(data)[-1].length = length;
  data[length] = '\0';
  Release();
  m_pszData = data;
  return data;
}

void CString::Assign(const char* text, int length) {
  if (length <= 0) {
    Empty();
    return;
  }
  char* data = AllocateBuffer(length);
  std::memcpy(data, text, static_cast<std::size_t>(length));
  Release();
  m_pszData = data;
}

bool operator==(const CString& a, const CString& b) noexcept {
  if (a.m_pszData == b.m_pszData) return true;
  const int length = a.GetLength();
  return length == b.GetLength() &&
         std::memcmp(a.m_pszData, b.m_pszData, static_cast<std::size_t>(length)) == 0;
}

bool operator==(const CString& a, const char* b) noexcept { return a.Compare(b) == 0; }

bool operator<(const CString& a, const CString& b) noexcept {
  const int la = a.GetLength();
  const int lb = b.GetLength();
  const int common =
      std::memcmp(a.GetString(), b.GetString(), static_cast<std::size_t>(la < lb ? la : lb));
  return common < 0 || (common == 0 && la < lb);
}

CString operator+(const CString& a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, const char* b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const char* a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, char b) {
  CString result(a);
  result += b;
  return result;
}

std::ostream& operator<<(std::ostream& out, const CString& text) {
  return out.write(text.GetString(), text.GetLength());
}
