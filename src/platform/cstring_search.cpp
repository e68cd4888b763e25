// CString: pieces and searches, walking the text character by character.
#include <corvane/platform/cstring.h>

#include <climits>

#include "platform/cstring_chars.h"

using corvane::platform::BoundaryAtOrAfter;
using corvane::platform::BoundaryAtOrBefore;
using corvane::platform::CharSet;
using corvane::platform::CharSize;
using corvane::platform::Needle;

namespace {

// The whole characters of `text` within bytes [first, first + count), where
// 0 <= first and 0 <= count; shares the buffer when that is all of it.
CString Slice(const CString& text, long long first, long long count) {
  const int length = text.GetLength();
  if (first >= length || count <= 0) return CString();
  const long long last = first + count;
  const int end = last < length ? static_cast<int>(last) : length;
  const char* data = text.GetString();
  const int begin = BoundaryAtOrAfter(data, static_cast<int>(first));
  const int stop = BoundaryAtOrBefore(data, end);
  if (begin == 0 && stop == length) return text;
  return stop > begin ? CString(data + begin, stop - begin) : CString();
}

// Byte length of the leading characters whose membership in `set` is `in`.
int LeadingRun(const CString& text, const char* set, bool in) {
  const CharSet members(set);
  const char* data = text.GetString();
  const int length = text.GetLength();
  int at = 0;
  while (at < length && members.Contains(data + at, CharSize(data + at)) == in) {
    at += CharSize(data + at);
  }
  return at;
}

}  // namespace

CString CString::Mid(int first) const { return Slice(*this, first < 0 ? 0 : first, INT_MAX); }

CString CString::Mid(int first, int count) const {
  return Slice(*this, first < 0 ? 0 : first, count);
}

CString CString::Left(int count) const { return Slice(*this, 0, count); }

CString CString::Right(int count) const {
  const int length = GetLength();
  if (count <= 0) return CString();  // also keeps length - count from overflowing
  if (count >= length) return *this;
  return Slice(*this, length - count, count);
}

CString CString::SpanIncluding(const char* set) const { return Left(LeadingRun(*this, set, true)); }

CString CString::SpanExcluding(const char* set) const {
  return Left(LeadingRun(*this, set, false));
}

CString CString::Tokenize(const char* tokens, int& start) const {
  const int length = GetLength();
  if (start >= 0 && start < length) {
    const CharSet delimiters(tokens);
    int at = BoundaryAtOrAfter(m_pszData, start);
    while (at < length && delimiters.Contains(m_pszData + at, CharSize(m_pszData + at))) {
      at += CharSize(m_pszData + at);
    }
    if (at < length) {
      const int first = at;
      while (at < length && !delimiters.Contains(m_pszData + at, CharSize(m_pszData + at))) {
        at += CharSize(m_pszData + at);
      }
      start = at < length ? at + CharSize(m_pszData + at) : length;
      return CString(m_pszData + first, at - first);
    }
  }
  start = -1;
  return CString();
}

int CString::Find(char ch, int start) const noexcept {
  const int length = GetLength();
  if (start < 0) start = 0;
  for (int at = 0; at < length; at += CharSize(m_pszData + at)) {
    if (m_pszData[at] == ch && at >= start && CharSize(m_pszData + at) == 1) return at;
  }
  return -1;
}

int CString::Find(const char* text, int start) const noexcept {
  const int length = GetLength();
  if (start < 0) start = 0;
  if (start > length) return -1;
  const Needle needle(text);
  if (needle.Length() == 0) return start;
  const int last = length - needle.Length();
  for (int at = 0; at <= last; at += CharSize(m_pszData + at)) {
    if (at >= start && needle.MatchesAt(m_pszData, length, at)) return at;
  }
  return -1;
}

int CString::ReverseFind(char ch) const noexcept {
  const int length = GetLength();
  int found = -1;
  for (int at = 0; at < length; at += CharSize(m_pszData + at)) {
    if (m_pszData[at] == ch && CharSize(m_pszData + at) == 1) found = at;
  }
  return found;
}

int CString::FindOneOf(const char* set) const noexcept {
  const CharSet members(set);
  if (members.IsEmpty()) return -1;
  const int length = GetLength();
  for (int at = 0; at < length; at += CharSize(m_pszData + at)) {
    if (members.Contains(m_pszData + at, CharSize(m_pszData + at))) return at;
  }
  return -1;
}
