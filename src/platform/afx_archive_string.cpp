#include <corvane/platform/afx_archive.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/archive_read_ahead.h"
#include "platform/codepage.h"

namespace {

// Tags of the length prefix: a byte of 0xFF says "a wider field follows";
// a following word of 0xFFFE marks a wide string; all-ones fields say "wider
// still".
constexpr BYTE kByteEscape = 0xFF;
constexpr WORD kWideTag = 0xFFFE;
constexpr WORD kWordEscape = 0xFFFF;
constexpr DWORD kDwordEscape = 0xFFFFFFFF;

// Text longer than this is read in pieces of this size, so that memory grows
// with the bytes really present, not with what a damaged prefix claims.
constexpr UINT kPieceBytes = 64 * 1024;

[[noreturn]] void ThrowEndOfFile(CArchive& ar) {
  CFile* file = ar.GetFile();
  AfxThrowArchiveException(CArchiveException::endOfFile,
                           file != nullptr ? file->GetFilePath().GetString() : nullptr);
}

// Whether the file is known to hold all of the next `byteCount` bytes, so
// that a buffer of that size is sized by bytes really there.
bool AllThere(CArchive& ar, unsigned long long byteCount) {
  return corvane::platform::ArchiveReadAhead::LoadableBytes(ar, byteCount) == byteCount;
}

// Reads exactly `byteCount` bytes, growing `out` piece by piece (at once
// where the file holds them all: no regrowth, no spare room).
void ReadBytes(CArchive& ar, unsigned long long byteCount, std::string& out) {
  out.clear();
  if (AllThere(ar, byteCount)) out.reserve(static_cast<std::size_t>(byteCount));
  while (byteCount > 0) {
    const UINT piece = byteCount < kPieceBytes ? static_cast<UINT>(byteCount) : kPieceBytes;
    const std::size_t before = out.size();
    out.resize(before + piece);
    if (ar.Read(&out[before], piece) != piece) ThrowEndOfFile(ar);
    byteCount -= piece;
  }
}

// A length no CString can hold: consume it in pieces so that a damaged
// prefix still ends in endOfFile, and refuse text that is really there.
[[noreturn]] void SkipOversizedText(CArchive& ar, unsigned long long byteCount) {
  std::vector<char> scratch(kPieceBytes);
  while (byteCount > 0) {
    const UINT piece = byteCount < kPieceBytes ? static_cast<UINT>(byteCount) : kPieceBytes;
    if (ar.Read(scratch.data(), piece) != piece) ThrowEndOfFile(ar);
    byteCount -= piece;
  }
  AfxThrowArchiveException(CArchiveException::genericException);
}

}  // namespace

void AfxWriteStringLength(CArchive& ar, UINT_PTR length, BOOL unicode) {
  if (unicode) ar << kByteEscape << kWideTag;
  if (length < kByteEscape) {
    ar << static_cast<BYTE>(length);
    return;
  }
  ar << kByteEscape;
  if (length < kWideTag) {
    ar << static_cast<WORD>(length);
    return;
  }
  ar << kWordEscape;
  if (length < kDwordEscape) {
    ar << static_cast<DWORD>(length);
    return;
  }
  ar << kDwordEscape << static_cast<ULONGLONG>(length);
}

UINT_PTR AfxReadStringLength(CArchive& ar, int& charSize) {
  charSize = 1;
  BYTE byteLength;
  ar >> byteLength;
  if (byteLength < kByteEscape) return byteLength;
  WORD wordLength;
  ar >> wordLength;
  if (wordLength == kWideTag) {
    charSize = 2;
    ar >> byteLength;
    if (byteLength < kByteEscape) return byteLength;
    ar >> wordLength;
  }
  if (wordLength < kWordEscape) return wordLength;
  DWORD dwordLength;
  ar >> dwordLength;
  if (dwordLength < kDwordEscape) return dwordLength;
  ULONGLONG qwordLength;
  ar >> qwordLength;
  return static_cast<UINT_PTR>(qwordLength);
}

CArchive& operator<<(CArchive& ar, const CString& text) {
  const int length = text.GetLength();
  AfxWriteStringLength(ar, static_cast<UINT_PTR>(length), FALSE);
  ar.Write(text.GetString(), static_cast<UINT>(length));
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& text) {
  int charSize = 1;
  const UINT_PTR length = AfxReadStringLength(ar, charSize);
  // Saturates instead of wrapping, so a damaged prefix cannot look short.
  const unsigned long long byteCount = charSize == 1 || length <= ULLONG_MAX / 2
                                           ? static_cast<unsigned long long>(length) * charSize
                                           : ULLONG_MAX;
  if (length > static_cast<UINT_PTR>(INT_MAX) ||
      byteCount > static_cast<unsigned long long>(INT_MAX)) {
    SkipOversizedText(ar, byteCount);
  }
  if (charSize == 1 && (byteCount <= kPieceBytes || AllThere(ar, byteCount))) {
    // Straight into the string's own buffer: one copy of the text, however long.
    CString result;
    const int size = static_cast<int>(byteCount);
    char* buffer = result.GetBufferSetLength(size);
    const UINT got = ar.Read(buffer, static_cast<UINT>(size));
    result.ReleaseBuffer(size);
    if (got != static_cast<UINT>(size)) ThrowEndOfFile(ar);
    text = result;
    return ar;
  }
  std::string bytes;
  ReadBytes(ar, byteCount, bytes);
  if (charSize == 1) {
    text = CString(bytes.data(), static_cast<int>(bytes.size()));
  } else {
    const std::string narrow = corvane::platform::Utf16LeToNarrow(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size() / 2);
    text = CString(narrow.data(), static_cast<int>(narrow.size()));
  }
  return ar;
}
