// The Windows side of a save. The file the path names is probed by opening it
// for writing, so that a save fails where that open would; a file with the
// read-only attribute is refused as the open refuses it. A regular file with
// one link is replaced by a temporary created exclusively beside it (no
// other process may open it while the save lives), flushed, and put in place
// in one step: ReplaceFileW over an existing file (which keeps its
// attributes, security and creation time), MoveFileExW with write-through
// for a new one. Several hard links, devices and pipes are written in place.
// Temporaries of saves that died are removed by the next save of the file;
// a live save's temporary cannot be deleted while its handle is open.
#define _CRT_RAND_S
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_replacement.h"

namespace corvane {
namespace platform {
namespace {

constexpr wchar_t kTemporaryPrefix[] = L".corvane-";
constexpr wchar_t kTemporarySuffix[] = L".tmp";
constexpr int kRandomLetters = 12;
constexpr int kNameAttempts = 16;
constexpr DWORD kMaxTransfer = DWORD{1} << 30;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int LastError() {
  const DWORD error = ::GetLastError();
  return error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

void Close(HANDLE& handle) noexcept {
  if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

int WriteAll(HANDLE handle, const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  while (written < size) {
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - written, kMaxTransfer));
    if (!::WriteFile(handle, data + written, want, &done, nullptr)) return LastError();
    if (done == 0) return ERROR_DISK_FULL;
    written += done;
  }
  return 0;
}

// Disk files only: consoles, pipes and devices have nothing to flush.
int Flush(HANDLE handle) {
  if (::FlushFileBuffers(handle) || ::GetFileType(handle) != FILE_TYPE_DISK) return 0;
  return LastError();
}

// The name's part of a temporary's name (FNV-1a over its UTF-16 units), so
// that a save clears only leftovers of its own file.
std::wstring NameHash(const std::wstring& name) {
  std::uint32_t hash = 2166136261u;
  for (const wchar_t unit : name) hash = (hash ^ static_cast<std::uint16_t>(unit)) * 16777619u;
  wchar_t text[9];
  std::swprintf(text, 9, L"%08x", static_cast<unsigned>(hash));
  return text;
}

std::wstring TemporaryName(const std::wstring& name) {
  static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::wstring result = kTemporaryPrefix + NameHash(name) + L'-';
  for (int i = 0; i < kRandomLetters; ++i) {
    unsigned int value = 0;
    rand_s(&value);  // the system's cryptographic generator
    result += kLetters[value % (sizeof kLetters / sizeof kLetters[0] - 1)];
  }
  return result + kTemporarySuffix;
}

void Split(const std::wstring& path, std::wstring& dir, std::wstring& name) {
  const std::size_t slash = path.find_last_of(L"\\/");
  dir = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  if (dir == L".") dir.clear();
}

// Removes the temporaries dead saves of `name` left in `dir`; a live save's
// temporary is open without delete sharing, so deleting it fails.
void RemoveLeftovers(const std::wstring& dir, const std::wstring& name) {
  const std::wstring pattern = dir + kTemporaryPrefix + NameHash(name) + L"-*" + kTemporarySuffix;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> leftovers;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) leftovers.push_back(found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  for (const std::wstring& leftover : leftovers) ::DeleteFileW((dir + leftover).c_str());
}

// The path of the file an open handle reaches, links followed; the given path
// when the system cannot tell.
std::wstring FinalPath(HANDLE handle, const std::wstring& given) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length == 0) return given;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length + 1);
  }
}

}  // namespace

struct FileReplacement::Native {
  ~Native() { Close(handle); }

  int Prepare(const std::wstring& given) {
    const DWORD attributes = ::GetFileAttributesW(given.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) return static_cast<int>(error);
    }
    std::wstring target = given;
    if (exists) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
      // Opening it to write would be refused (an administrator included).
      if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
      handle = ::CreateFileW(given.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE) return LastError();
      BY_HANDLE_FILE_INFORMATION info;
      if (::GetFileType(handle) != FILE_TYPE_DISK) return 0;  // devices and pipes: in place
      if (!::GetFileInformationByHandle(handle, &info)) return LastError();
      truncateOnWrite = true;
      if (info.nNumberOfLinks != 1) return 0;  // the other names must see the new content
      target = FinalPath(handle, given);
    }
    Split(target, dirPath, name);
    if (name.empty()) return ERROR_ACCESS_DENIED;
    path = target;
    if (CreateTemporary() == 0) {
      truncateOnWrite = false;
      replacing = true;
      replaceExisting = exists;
      return 0;
    }
    if (exists) return 0;  // the probe's handle writes in place
    handle = ::CreateFileW(given.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    created = given;
    return 0;
  }

  int CreateTemporary() {
    RemoveLeftovers(dirPath, name);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::wstring candidate = dirPath + TemporaryName(name);
      const HANDLE made = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
      if (made != INVALID_HANDLE_VALUE) {
        temporary = candidate;
        Close(handle);  // the probe: the replacement must not meet our own handle
        handle = made;
        return 0;
      }
      if (::GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    return ERROR_FILE_EXISTS;
  }

  // Writing in place begins as the open would have begun: the file empty.
  int ReadyInPlace() {
    if (!truncateOnWrite) return 0;
    truncateOnWrite = false;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
      return LastError();
    }
    return 0;
  }

  int FinishInPlace() {
    int error = ReadyInPlace();
    if (error == 0) error = Flush(handle);
    if (!::CloseHandle(handle) && error == 0) error = LastError();
    handle = INVALID_HANDLE_VALUE;
    if (error == 0) created.clear();
    return error;
  }

  int FinishReplacement() {
    int error = Flush(handle);
    Close(handle);
    if (error != 0) return error;
    error = PutInPlace();
    if (error == 0) temporary.clear();
    return error;
  }

  int Finish() { return replacing ? FinishReplacement() : FinishInPlace(); }

  int PutInPlace() {
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!replaceExisting) {
      return ::MoveFileExW(temporary.c_str(), path.c_str(), moveFlags) ? 0 : LastError();
    }
    if (::ReplaceFileW(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
      return 0;
    }
    const int error = LastError();
    // The old file is gone and the new one still bears the temporary's name:
    // give it the file's name.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
      return ::MoveFileExW(temporary.c_str(), path.c_str(), moveFlags) ? 0 : LastError();
    }
    return error;  // the old file is untouched (held open by another process, say)
  }

  void Abandon() noexcept {
    Close(handle);
    if (!temporary.empty()) ::DeleteFileW(temporary.c_str());
    temporary.clear();
    if (!created.empty()) ::DeleteFileW(created.c_str());
    created.clear();
    truncateOnWrite = false;
  }

  std::wstring path;                     // the file the save puts its content at (links followed)
  std::wstring dirPath;                  // its folder, with the separator at the end (or empty)
  std::wstring name;                     // its name there
  HANDLE handle = INVALID_HANDLE_VALUE;  // the temporary, or the file when written in place
  std::wstring temporary;                // the temporary's full path while it exists
  bool replacing = false;                // the content goes to a temporary that replaces the file
  bool replaceExisting = false;          // ReplaceFileW, not a move, puts it in place
  bool truncateOnWrite = false;          // an existing file written in place
  std::wstring created;                  // a file created in place, removed if abandoned
};

void FileReplacement::NativeDeleter::operator()(Native* native) const noexcept { delete native; }

// Every temporary is named here; there is nothing to switch.
void UseNamedTemporariesForTesting(bool) noexcept {}

int FileReplacement::PrepareNative(const NativePathString& path) {
  m_native.reset(new Native);
  return m_native->Prepare(path);
}

int FileReplacement::WriteNative(const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  const int error = m_native->ReadyInPlace();
  return error != 0 ? error : WriteAll(m_native->handle, data, size, written);
}

int FileReplacement::FinishNative() { return m_native->Finish(); }

void FileReplacement::AbandonNative() noexcept { m_native->Abandon(); }

}  // namespace platform
}  // namespace corvane
