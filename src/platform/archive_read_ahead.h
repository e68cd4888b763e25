// Read-ahead on a loading CArchive for the library's own readers: how many of
// the next bytes the file is known to hold, so that a count stated in the
// data never sizes memory beyond the bytes really there, and runs of buffered
// bytes decoded in place. Not part of the framework's interface. Never throws.
#pragma once

#include <corvane/platform/afx_archive.h>

namespace corvane {
namespace platform {

struct ArchiveReadAhead {
  // How many of the next `wanted` bytes are buffered or left in the file.
  static ULONGLONG LoadableBytes(CArchive& ar, ULONGLONG wanted) noexcept {
    return ar.GetLoadableBytes(wanted);
  }
  // The next `count` bytes in place, counted as read; null when fewer are buffered.
  static const BYTE* TakeBuffered(CArchive& ar, UINT count) noexcept {
    return ar.TakeBuffered(count);
  }
};

}  // namespace platform
}  // namespace corvane
