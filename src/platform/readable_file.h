// A regular file opened for reading by its narrow (code page 936) path, read
// front to back in blocks and rewound for a second pass. Directories,
// devices and pipes do not open, so a read never waits, and a path whose
// bytes are not code page 936 text does not open either (no two paths
// alias). Failures are results, never exceptions. One thread at a time.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

class ReadableFile {
 public:
  ReadableFile() = default;
  ~ReadableFile();
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;

  // False when the file is missing, unreadable or not a regular file.
  bool Open(const char* narrowPath);
  // Up to `size` bytes from the current position: the count read, 0 at the
  // end of the file, -1 on a read error.
  long long Read(void* buffer, std::size_t size);
  // Back to the first byte; false on failure.
  bool Rewind();
  // The file's size when it was opened.
  unsigned long long SizeAtOpen() const { return m_size; }

 private:
  int m_fd = -1;
  unsigned long long m_size = 0;
};

}  // namespace platform
}  // namespace corvane
