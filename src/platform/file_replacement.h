// One save of a file, giving what opening it to "create or truncate, then
// write" gives, without losing the old file where that can be avoided:
// - Open fails, touching nothing, wherever that open would fail, the kernel's
//   protections of world-writable sticky folders included.
// - The path keeps its meaning: symbolic links are followed (a dangling
//   link's target is created), every hard link sees the new content, owner,
//   group, permission bits and extended attributes stay, and FIFOs and devices
//   are written, never replaced. A new file gets 0666 less the umask.
// - A regular file with one link, in a folder that allows it, is replaced
//   whole by a temporary beside it: a save stopped at any moment leaves the old
//   content or the new, and the next save of that file removes what a killed
//   save of the same user left behind. Anywhere else (a file mounted over its
//   name, too) the file is written in place, as the open
//   would write it; abandoning such a save after data reached it leaves what
//   the open would have left.
// - A replacement that does not fit beside the old file fails with the disk's
//   cause and leaves the old file as it was.
// Error() holds the operating system's cause of the first failure (errno
// values on POSIX, system error codes on Windows). Each call once, in order; one thread at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/native_path.h"

namespace corvane {
namespace platform {

class FileReplacement {
 public:
  // `narrowPath` is code page 936 text; nothing happens until Open.
  explicit FileReplacement(const char* narrowPath);
  // Abandons an uncommitted save: its temporary goes, the file stays as it was.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False, touching nothing, when the file could not be opened for writing.
  bool Open();
  // The next bytes of the new content, in chunks of any size. A failure is
  // kept for Commit, and later writes are ignored.
  void Write(const void* data, std::size_t size) noexcept;
  // True when the whole new content is durably at the path.
  bool Commit();
  // The cause of the first failure; 0 when there was none.
  int Error() const noexcept { return m_error; }

 private:
  // The operating system's side, one implementation per platform
  // (file_replacement_posix.cpp, file_replacement_win32.cpp).
  struct Native;
  struct NativeDeleter {
    void operator()(Native* native) const noexcept;
  };
  // Fills m_native; answers 0 or the cause.
  int PrepareNative(const NativePathString& path);
  // Writes all of `data` or answers the cause with `written` telling how much went.
  int WriteNative(const char* data, std::size_t size, std::size_t& written);
  // Puts the written content in place and makes it durable.
  int FinishNative();
  // Undoes whatever an unfinished save left; harmless after a finished one.
  void AbandonNative() noexcept;

  void Send(const char* data, std::size_t size) noexcept;
  void Fail(int error) noexcept;

  enum class State { kIdle, kOpen, kDone };

  std::string m_narrowPath;
  State m_state = State::kIdle;
  int m_error = 0;
  std::unique_ptr<Native, NativeDeleter> m_native;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_buffered = 0;
};

// Tests use this to take the path that file systems without unnamed
// temporaries take: every temporary is named from the start.
void UseNamedTemporariesForTesting(bool named) noexcept;

}  // namespace platform
}  // namespace corvane
