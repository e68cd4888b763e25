#include <corvane/platform/afx_archive.h>

#include <algorithm>
#include <cstring>

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* buffer)
    : m_nMode(mode), m_pFile(file), m_nBufSize(bufferSize), m_bUserBuf(buffer != NULL) {
  if (m_nBufSize < kMinBufferSize) {
    m_nBufSize = kMinBufferSize;
    m_bUserBuf = false;
  }
  m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(buffer) : new BYTE[m_nBufSize];
  m_loadCur = m_loadEnd = m_lpBufStart;
  m_storeCur = m_storeEnd = m_lpBufStart;
  if (IsStoring()) m_storeEnd = m_lpBufStart + m_nBufSize;
  if (m_pFile == NULL) Detach();
}

CArchive::~CArchive() {
  if (m_pFile != NULL && !(m_nMode & bNoFlushOnDelete)) {
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
  if (m_pFile == NULL) AfxThrowArchiveException(CArchiveException::genericException);
  if (IsStoring()) AfxThrowArchiveException(CArchiveException::writeOnly);
}

void CArchive::RequireStoring() const {
  if (m_pFile == NULL) AfxThrowArchiveException(CArchiveException::genericException);
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
  if (m_pFile == NULL) AfxThrowArchiveException(CArchiveException::genericException);
  if (IsStoring()) {
    WriteBufferToFile();
    return;
  }
  const LONGLONG unread = m_loadEnd - m_loadCur;
  m_loadCur = m_loadEnd = m_lpBufStart;
  if (unread > 0) m_pFile->Seek(-unread, CFile::current);
}

ULONGLONG CArchive::LoadableBeyondBuffer(ULONGLONG wanted, ULONGLONG buffered) noexcept {
  if (m_pFile == NULL || IsStoring()) return buffered;
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
  if (m_pFile == NULL) return;
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
  m_pFile = NULL;
  m_loadCur = m_loadEnd = m_lpBufStart;
  m_storeCur = m_storeEnd = m_lpBufStart;
}
