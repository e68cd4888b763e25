#include <corvane/platform/afx_archive.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/little_endian.h"

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* buffer)
    : m_nMode(mode), m_pFile(file), m_nBufSize(bufferSize), m_bUserBuf(buffer != nullptr) {
  if (m_nBufSize < kMinBufferSize) {
    m_nBufSize = kMinBufferSize;
    m_bUserBuf = false;
  }
  m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(buffer) : new BYTE[m_nBufSize];
  m_loadCur = m_loadEnd = m_lpBufStart;
  m_storeCur = m_storeEnd = m_lpBufStart;
  if (IsStoring()) m_storeEnd = m_lpBufStart + m_nBufSize;
  if (m_pFile == nullptr) Detach();
}

CArchive::~CArchive() {
  if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete)) {
    try {
      Flush();
    } catch (CException* error) {
      error->Delete();
    } catch (...) {
    }
  }
  if (!m_bUserBuf) delete[] m_lpBufStart;
}

void CArchive::RequireLoading() const {
  if (m_pFile == nullptr) AfxThrowArchiveException(CArchiveException::genericException);
  if (IsStoring()) AfxThrowArchiveException(CArchiveException::writeOnly);
}

void CArchive::RequireStoring() const {
  if (m_pFile == nullptr) AfxThrowArchiveException(CArchiveException::genericException);
  if (IsLoading()) AfxThrowArchiveException(CArchiveException::readOnly);
}

UINT CArchive::RefillFromFile() {
  const std::size_t unread = static_cast<std::size_t>(m_loadEnd - m_loadCur);
  if (unread > 0 && m_loadCur != m_lpBufStart) std::memmove(m_lpBufStart, m_loadCur, unread);
  m_loadCur = m_lpBufStart;
  m_loadEnd = m_lpBufStart + unread;
  const UINT got = m_pFile->Read(m_loadEnd, static_cast<UINT>(m_nBufSize - unread));
  m_loadEnd += got;
  return got;
}

void CArchive::FillBuffer(UINT needed) {
  RequireLoading();
  while (static_cast<std::size_t>(m_loadEnd - m_loadCur) < needed) {
    if (RefillFromFile() == 0) {
      AfxThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
    }
  }
}

void CArchive::WriteBufferToFile() {
  const UINT pending = static_cast<UINT>(m_storeCur - m_lpBufStart);
  // Reset first: bytes that failed to reach the file are not offered again.
  m_storeCur = m_lpBufStart;
  if (pending > 0) m_pFile->Write(m_lpBufStart, pending);
}

void CArchive::MakeRoom() {
  RequireStoring();
  WriteBufferToFile();
}

UINT CArchive::Read(void* buffer, UINT count) {
  RequireLoading();
  BYTE* out = static_cast<BYTE*>(buffer);
  UINT done = 0;
  while (done < count) {
    const UINT buffered = static_cast<UINT>(m_loadEnd - m_loadCur);
    if (buffered > 0) {
      const UINT take = std::min(buffered, count - done);
      std::memcpy(out + done, m_loadCur, take);
      m_loadCur += take;
      done += take;
    } else if (count - done >= static_cast<UINT>(m_nBufSize)) {
      const UINT got = m_pFile->Read(out + done, count - done);
      if (got == 0) break;
      done += got;
    } else if (RefillFromFile() == 0) {
      break;
    }
  }
  return done;
}

void CArchive::Write(const void* buffer, UINT count) {
  RequireStoring();
  if (count <= static_cast<UINT>(m_storeEnd - m_storeCur)) {
    if (count > 0) std::memcpy(m_storeCur, buffer, count);
    m_storeCur += count;
    return;
  }
  WriteBufferToFile();
  if (count >= static_cast<UINT>(m_nBufSize)) {
    m_pFile->Write(buffer, count);
  } else {
    std::memcpy(m_storeCur, buffer, count);
    m_storeCur += count;
  }
}

void CArchive::Flush() {
  if (m_pFile == nullptr) AfxThrowArchiveException(CArchiveException::genericException);
  if (IsStoring()) {
    WriteBufferToFile();
    return;
  }
  const LONGLONG unread = m_loadEnd - m_loadCur;
  m_loadCur = m_loadEnd = m_lpBufStart;
  if (unread > 0) m_pFile->Seek(-unread, CFile::current);
}

ULONGLONG CArchive::LoadableBeyondBuffer(ULONGLONG wanted, ULONGLONG buffered) noexcept {
  if (m_pFile == nullptr || IsStoring()) return buffered;
  // Any failure (a pipe has no position, a file of the caller's own may not
  // know its length) only means that nothing past the buffer is promised.
  try {
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    const ULONGLONG inFile = length > position ? length - position : 0;
    return std::min(wanted, buffered + inFile);
  } catch (CException* error) {
    error->Delete();
  } catch (...) {
  }
  return buffered;
}

void CArchive::Close() {
  if (m_pFile == nullptr) return;
  try {
    Flush();
  } catch (...) {
    Detach();
    throw;
  }
  Detach();
}

void CArchive::Abort() noexcept { Detach(); }

void CArchive::Detach() noexcept {
  m_pFile = nullptr;
  m_loadCur = m_loadEnd = m_lpBufStart;
  m_storeCur = m_storeEnd = m_lpBufStart;
}

// The fast paths: one comparison against the buffer, then the codec. The
// storing window is empty while loading and the loading window is empty
// while storing, so a transfer in the wrong direction always reaches the
// slow path, which raises the mode error before anything moves.
template <typename T>
CArchive& CArchive::StoreNumber(T value) {
  if (static_cast<std::size_t>(m_storeEnd - m_storeCur) < sizeof(T)) MakeRoom();
  corvane::platform::le::Store(m_storeCur, value);
  m_storeCur += sizeof(T);
  return *this;
}

template <typename T>
CArchive& CArchive::LoadNumber(T& value) {
  if (static_cast<std::size_t>(m_loadEnd - m_loadCur) < sizeof(T)) FillBuffer(sizeof(T));
  value = corvane::platform::le::Load<T>(m_loadCur);
  m_loadCur += sizeof(T);
  return *this;
}

CArchive& CArchive::operator<<(BYTE value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(WORD value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(unsigned int value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(int value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(LONG value) { return StoreNumber(static_cast<std::int32_t>(value)); }
CArchive& CArchive::operator<<(unsigned long value) {
  return StoreNumber(static_cast<std::uint32_t>(value));
}
CArchive& CArchive::operator<<(short value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(char value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(bool value) { return StoreNumber(static_cast<BYTE>(value ? 1 : 0)); }
CArchive& CArchive::operator<<(float value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(double value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(LONGLONG value) { return StoreNumber(value); }
CArchive& CArchive::operator<<(ULONGLONG value) { return StoreNumber(value); }

CArchive& CArchive::operator>>(BYTE& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(WORD& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(unsigned int& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(int& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(LONG& value) {
  std::int32_t stored;
  LoadNumber(stored);
  value = stored;
  return *this;
}
CArchive& CArchive::operator>>(unsigned long& value) {
  std::uint32_t stored;
  LoadNumber(stored);
  value = stored;
  return *this;
}
CArchive& CArchive::operator>>(short& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(char& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(bool& value) {
  BYTE stored;
  LoadNumber(stored);
  value = stored != 0;
  return *this;
}
CArchive& CArchive::operator>>(float& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(double& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(LONGLONG& value) { return LoadNumber(value); }
CArchive& CArchive::operator>>(ULONGLONG& value) { return LoadNumber(value); }
