// The part of a save that is the same on every platform: buffering, the first
// failure, and what a full disk keeps back in memory.
#include "platform/file_replacement.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/native_path.h"

namespace corvane {
namespace platform {
namespace {

// Writes from a streaming serializer arrive in small pieces; they reach the
// file in blocks of this size.
constexpr std::size_t kBufferSize = 64 * 1024;

bool IsFullDisk(int error) {
#ifdef EDQUOT
  if (error == EDQUOT) return true;
#endif
  return error == ENOSPC;
}

}  // namespace

FileReplacement::FileReplacement(const char* narrowPath)
    : narrowPath_(narrowPath == nullptr ? "" : narrowPath) {}

FileReplacement::~FileReplacement() {
  if (native_) AbandonNative();
}

bool FileReplacement::Open() {
  if (state_ != State::kIdle) return false;
  state_ = State::kDone;
  std::string path;
  if (!NativePath(narrowPath_.c_str(), path)) {
    Fail(narrowPath_.empty() ? ENOENT : EILSEQ);
    return false;
  }
  buffer_.reset(new (std::nothrow) char[kBufferSize]);
  if (!buffer_) {
    Fail(ENOMEM);
    return false;
  }
  int error;
  try {
    error = PrepareNative(path);
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  if (error != 0) {
    Fail(error);
    if (native_) AbandonNative();
    return false;
  }
  state_ = State::kOpen;
  return true;
}

void FileReplacement::Write(const void* data, std::size_t size) noexcept {
  if (state_ != State::kOpen) {
    Fail(EBADF);
    return;
  }
  if (error_ != 0 || size == 0) return;
  const char* bytes = static_cast<const char*>(data);
  if (holdingBack_) {
    HoldBack(bytes, size);
    return;
  }
  if (buffered_ + size <= kBufferSize) {
    std::memcpy(buffer_.get() + buffered_, bytes, size);
    buffered_ += size;
    return;
  }
  if (buffered_ > 0) {
    const std::size_t pending = buffered_;
    buffered_ = 0;
    Send(buffer_.get(), pending);
  }
  if (error_ != 0) return;
  if (holdingBack_) {
    HoldBack(bytes, size);
  } else if (size >= kBufferSize) {
    Send(bytes, size);
  } else {
    std::memcpy(buffer_.get(), bytes, size);
    buffered_ = size;
  }
}

bool FileReplacement::Commit() {
  if (state_ != State::kOpen) {
    Fail(EBADF);
    return false;
  }
  state_ = State::kDone;
  if (error_ == 0 && buffered_ > 0) {
    const std::size_t pending = buffered_;
    buffered_ = 0;
    Send(buffer_.get(), pending);
  }
  if (error_ == 0) {
    int error;
    try {
      error = FinishNative(heldBack_.data(), heldBack_.size());
    } catch (const std::bad_alloc&) {
      error = ENOMEM;
    }
    if (error != 0) Fail(error);
  }
  if (error_ != 0) AbandonNative();
  std::vector<char>().swap(heldBack_);
  buffer_.reset();
  return error_ == 0;
}

void FileReplacement::Send(const char* data, std::size_t size) noexcept {
  std::size_t written = 0;
  const int error = WriteNative(data, size, written);
  if (error == 0) return;
  if (!replacing_ || !IsFullDisk(error)) {
    Fail(error);
    return;
  }
  // Once the temporary replaces the old file, the old file's blocks are free
  // for the rest; keep that rest meanwhile.
  holdingBack_ = true;
  fullDiskError_ = error;
  HoldBack(data + written, size - written);
}

void FileReplacement::HoldBack(const char* data, std::size_t size) noexcept {
  // More than the old file frees would not fit in place either.
  if (size > oldSize_ - heldBack_.size()) {
    Fail(fullDiskError_);
    return;
  }
  try {
    heldBack_.insert(heldBack_.end(), data, data + size);
  } catch (const std::bad_alloc&) {
    Fail(ENOMEM);
  }
}

void FileReplacement::Fail(int error) noexcept {
  if (error_ == 0) error_ = error;
  std::vector<char>().swap(heldBack_);
}

}  // namespace platform
}  // namespace corvane
