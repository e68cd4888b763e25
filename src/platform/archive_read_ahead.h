// Read-ahead on a loading CArchive for the library's own readers: how many of
// the next bytes the file is known to hold, so that a count stated in the
// data never sizes memory beyond the bytes really there, and runs of buffered
// bytes decoded in place. Not part of the framework's interface. Never throws.
#pragma once

#include <corvane/platform/afx_archive.h>

#include <cstddef>

namespace corvane {
namespace platform {

struct ArchiveReadAhead {
  // How many of the next `wanted` bytes are buffered or left in the file; a
  // file that cannot tell its length or position counts as holding only
  // what is buffered. 0 when not loading.
  static ULONGLONG LoadableBytes(CArchive& ar, ULONGLONG wanted) noexcept {
    const ULONGLONG buffered = static_cast<ULONGLONG>(ar.m_loadEnd - ar.m_loadCur);
    return wanted <= buffered ? wanted : ar.LoadableBeyondBuffer(wanted, buffered);
  }
  // The next `count` bytes in place, counted as read; null, with nothing
  // read, when fewer are buffered.
  static const BYTE* TakeBuffered(CArchive& ar, UINT count) noexcept {
    if (static_cast<std::size_t>(ar.m_loadEnd - ar.m_loadCur) < count) return nullptr;
    const BYTE* taken = ar.m_loadCur;
    ar.m_loadCur += count;
    return taken;
  }
};

}  // namespace platform
}  // namespace corvane
