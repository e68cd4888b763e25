// CString: editing in place. Each edit walks the text character by character,
// and a string that the edit would leave unchanged is not made private.
#include <corvane/platform/cstring.h>

#include <climits>
#include <cstring>
#include <new>

#include "platform/cstring_chars.h"

using corvane::platform::BoundaryAtOrAfter;
using corvane::platform::BoundaryAtOrBefore;
using corvane::platform::CharSet;
using corvane::platform::CharSize;
using corvane::platform::Needle;

namespace {

constexpr char kWhiteSpace[] = " \t\n\r\v\f";

// Adds `delta` to the letters in [low, high]; a walk by characters never
// meets a trail byte.
void ShiftLetters(CString& text, char low, char high, int delta) {
  const int length = text.GetLength();
  const char* data = text.GetString();
  char* out = nullptr;
  for (int at = 0; at < length; at += CharSize(data + at)) {
    if (data[at] >= low && data[at] <= high) {
      if (out == nullptr) data = out = text.GetBuffer();
      out[at] = static_cast<char>(out[at] + delta);
    }
  }
}

int InsertBytes(CString& text, int index, const char* bytes, int count) {
  const int length = text.GetLength();
  if (count <= 0) return length;
  if (count > INT_MAX - 64 - length) throw std::bad_alloc();
  index = index < 0 ? 0 : (index > length ? length : index);
  index = BoundaryAtOrAfter(text.GetString(), index);
  char* data = text.GetBufferSetLength(length + count);
  std::memmove(data + index + count, data + index, static_cast<std::size_t>(length - index));
  std::memcpy(data + index, bytes, static_cast<std::size_t>(count));
  return length + count;
}

struct Range {
  int begin;
  int end;
};

// What trimming characters of `targets` from either end would keep.
Range Untrimmed(const CString& text, const char* targets, bool left, bool right) {
  const int length = text.GetLength();
  const CharSet members(targets);
  if (members.IsEmpty()) return {0, length};
  const char* data = text.GetString();
  int firstKept = length;
  int keptEnd = 0;
  for (int at = 0; at < length; at += CharSize(data + at)) {
    if (!members.Contains(data + at, CharSize(data + at))) {
      if (firstKept == length) firstKept = at;
      keptEnd = at + CharSize(data + at);
      if (!right) break;
    }
  }
  return {left ? firstKept : 0, right ? keptEnd : length};
}

}  // namespace

CString& CString::MakeUpper() {
  ShiftLetters(*this, 'a', 'z', 'A' - 'a');
  return *this;
}

CString& CString::MakeLower() {
  ShiftLetters(*this, 'A', 'Z', 'a' - 'A');
  return *this;
}

CString& CString::MakeReverse() {
  const int length = GetLength();
  if (length < 2) return *this;
  CString reversed;
  char* out = reversed.PrepareWrite(length);
  for (int at = 0; at < length; at += CharSize(m_pszData + at)) {
    const int size = CharSize(m_pszData + at);
    std::memcpy(out + length - at - size, m_pszData + at, static_cast<std::size_t>(size));
  }
  *this = std::move(reversed);
  return *this;
}

int CString::Replace(char oldChar, char newChar) {
  const int length = GetLength();
  const char* data = m_pszData;
  char* out = nullptr;
  int count = 0;
  for (int at = 0; at < length;) {
    // Sized before the byte changes: the text keeps its original characters.
    const int size = CharSize(data + at);
    if (size == 1 && data[at] == oldChar) {
      ++count;
      if (oldChar != newChar) {
        if (out == nullptr) data = out = PrepareWrite(length);
        out[at] = newChar;
      }
    }
    at += size;
  }
  return count;
}

int CString::Replace(const char* oldText, const char* newText) {
  const Needle needle(oldText);
  if (needle.Length() == 0) return 0;
  const int length = GetLength();
  int count = 0;
  for (int at = 0; at < length;) {
    if (needle.MatchesAt(m_pszData, length, at)) {
      ++count;
      at += needle.Length();
    } else {
      at += CharSize(m_pszData + at);
    }
  }
  if (count == 0) return 0;

  const char* replacement = newText != nullptr ? newText : "";
  const int replacementLength = static_cast<int>(std::strlen(replacement));
  const long long newLength =
      length + static_cast<long long>(count) * (replacementLength - needle.Length());
  if (newLength > INT_MAX - 64) throw std::bad_alloc();
  CString result;  // built aside: either text may lie in this string
  char* out = result.PrepareWrite(static_cast<int>(newLength));
  for (int at = 0; at < length;) {
    if (needle.MatchesAt(m_pszData, length, at)) {
      std::memcpy(out, replacement, static_cast<std::size_t>(replacementLength));
      out += replacementLength;
      at += needle.Length();
    } else {
      const int size = CharSize(m_pszData + at);
      std::memcpy(out, m_pszData + at, static_cast<std::size_t>(size));
      out += size;
      at += size;
    }
  }
  *this = std::move(result);
  return count;
}

int CString::Remove(char ch) {
  const int length = GetLength();
  const char* data = m_pszData;
  char* out = nullptr;
  int kept = 0;
  for (int at = 0; at < length;) {
    const int size = CharSize(data + at);
    if (size == 1 && data[at] == ch) {
      if (out == nullptr) data = out = PrepareWrite(length);
    } else {
      if (out != nullptr) std::memmove(out + kept, out + at, static_cast<std::size_t>(size));
      kept += size;
    }
    at += size;
  }
  if (out == nullptr) return 0;
  PrepareWrite(kept);
  return length - kept;
}

int CString::Insert(int index, char ch) { return InsertBytes(*this, index, &ch, 1); }

int CString::Insert(int index, const char* text) {
  if (text == nullptr) return GetLength();
  if (text >= m_pszData && text <= m_pszData + GetLength()) {
    const CString copy(text);  // a piece of this string, which is about to move
    return InsertBytes(*this, index, copy.GetString(), copy.GetLength());
  }
  return InsertBytes(*this, index, text, static_cast<int>(std::strlen(text)));
}

int CString::Delete(int index, int count) {
  const int length = GetLength();
  if (index < 0) index = 0;
  if (count <= 0 || index >= length) return length;
  const long long last = static_cast<long long>(index) + count;
  const int begin = BoundaryAtOrBefore(m_pszData, index);
  const int end = last >= length ? length : BoundaryAtOrAfter(m_pszData, static_cast<int>(last));
  char* data = PrepareWrite(length);
  std::memmove(data + begin, data + end, static_cast<std::size_t>(length - end));
  PrepareWrite(length - (end - begin));
  return GetLength();
}

CString& CString::Trim() { return Trim(kWhiteSpace); }

CString& CString::Trim(char target) {
  const char targets[] = {target, '\0'};
  return Trim(targets);
}

CString& CString::Trim(const char* targets) {
  const Range kept = Untrimmed(*this, targets, true, true);
  KeepRange(kept.begin, kept.end);
  return *this;
}

CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }

CString& CString::TrimLeft(char target) {
  const char targets[] = {target, '\0'};
  return TrimLeft(targets);
}

CString& CString::TrimLeft(const char* targets) {
  const Range kept = Untrimmed(*this, targets, true, false);
  KeepRange(kept.begin, kept.end);
  return *this;
}

CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimRight(char target) {
  const char targets[] = {target, '\0'};
  return TrimRight(targets);
}

CString& CString::TrimRight(const char* targets) {
  const Range kept = Untrimmed(*this, targets, false, true);
  KeepRange(kept.begin, kept.end);
  return *this;
}

void CString::Truncate(int newLength) {
  if (newLength < 0) newLength = 0;
  if (newLength < GetLength()) KeepRange(0, BoundaryAtOrBefore(m_pszData, newLength));
}
