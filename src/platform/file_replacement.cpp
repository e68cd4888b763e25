// The part of a save that is the same on every platform: buffering and the
// first failure.
#include "platform/file_replacement.h"

#include <cstring>
#include <new>

#include "platform/native_path.h"
#include "platform/os_error.h"

namespace corvane {
namespace platform {
namespace {

// Writes from a streaming serializer arrive in small pieces; they reach the
// file in blocks of this size.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

FileReplacement::FileReplacement(const char* narrowPath)
    : m_narrowPath(narrowPath == nullptr ? "" : narrowPath) {}

FileReplacement::~FileReplacement() {
  if (m_native) AbandonNative();
}

bool FileReplacement::Open() {
  if (m_state != State::kIdle) return false;
  m_state = State::kDone;
  NativePathString path;
  if (!NativePath(m_narrowPath.c_str(), path)) {
    Fail(m_narrowPath.empty() ? kErrorFileNotFound : kErrorBadPath);
    return false;
  }
  m_buffer.reset(new (std::nothrow) char[kBufferSize]);
  if (!m_buffer) {
    Fail(kErrorNoMemory);
    return false;
  }
  int error;
  try {
    error = PrepareNative(path);
  } catch (const std::bad_alloc&) {
    error = kErrorNoMemory;
  }
  if (error != 0) {
    Fail(error);
    if (m_native) AbandonNative();
    return false;
  }
  m_state = State::kOpen;
  return true;
}

void FileReplacement::Write(const void* data, std::size_t size) noexcept {
  if (m_state != State::kOpen) {
    Fail(kErrorNotOpen);
    return;
  }
  if (m_error != 0 || size == 0) return;
  const char* bytes = static_cast<const char*>(data);
  if (m_buffered + size <= kBufferSize) {
    std::memcpy(m_buffer.get() + m_buffered, bytes, size);
    m_buffered += size;
    return;
  }
  if (m_buffered > 0) {
    const std::size_t pending = m_buffered;
    m_buffered = 0;
    Send(m_buffer.get(), pending);
  }
  if (m_error != 0) return;
  if (size >= kBufferSize) {
    Send(bytes, size);
  } else {
    std::memcpy(m_buffer.get(), bytes, size);
    m_buffered = size;
  }
}

bool FileReplacement::Commit() {
  if (m_state != State::kOpen) {
    Fail(kErrorNotOpen);
    return false;
  }
  m_state = State::kDone;
  if (m_error == 0 && m_buffered > 0) {
    const std::size_t pending = m_buffered;
    m_buffered = 0;
    Send(m_buffer.get(), pending);
  }
  if (m_error == 0) {
    int error;
    try {
      error = FinishNative();
    } catch (const std::bad_alloc&) {
      error = kErrorNoMemory;
    }
    if (error != 0) Fail(error);
  }
  if (m_error != 0) AbandonNative();
  m_buffer.reset();
  return m_error == 0;
}

// A full disk fails the save like any other cause: the old file stays whole
// until the new one is complete beside it.
void FileReplacement::Send(const char* data, std::size_t size) noexcept {
  std::size_t written = 0;
  const int error = WriteNative(data, size, written);
  if (error != 0) Fail(error);
}

void FileReplacement::Fail(int error) noexcept {
  if (m_error == 0) m_error = error;
}

}  // namespace platform
}  // namespace corvane
