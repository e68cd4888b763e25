// Field visitors that write mesh records to an archive and read them back,
// following mesh_layout.h. The reader sizes a list by what the rest of the
// file is known to hold, never by its count alone, so a damaged count costs
// no more memory than the bytes that follow it; the archive's endOfFile ends
// the read. Failures are the archive's heap exceptions; the visitors hold
// nothing of their own.
#pragma once

#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/acge.h>
#include <corvane/platform/afx_archive.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "mesh/mesh_layout.h"
#include "platform/archive_read_ahead.h"
#include "platform/little_endian.h"

namespace corvane {
namespace mesh {

// 3D points and vectors share one form, and one operation writes and reads it.
template <typename Xyz>
inline void WriteXyz(CArchive& ar, const Xyz& value) {
  ar << value.x << value.y << value.z;
}
template <typename Xyz>
inline void ReadXyz(CArchive& ar, Xyz& value) {
  ar >> value.x >> value.y >> value.z;
}

class RecordWriter {
 public:
  explicit RecordWriter(CArchive& ar) : m_ar(ar) {}

  void operator()(int value) { m_ar << value; }
  void operator()(bool value) { m_ar << value; }
  void operator()(double value) { m_ar << value; }
  void operator()(const CString& text) { m_ar << text; }
  void operator()(const AcGePoint2d& point) { m_ar << point.x << point.y; }
  void operator()(const AcGePoint3d& point) { WriteXyz(m_ar, point); }
  void operator()(const AcGeVector3d& vector) { WriteXyz(m_ar, vector); }
  void operator()(const BinFaceData& face) { VisitFaceFields(*this, face); }
  void operator()(const BinMeshData& mesh) { VisitMeshFields(*this, mesh); }

  // Records one by one; plain values encoded a block at a time.
  void operator()(const std::vector<BinFaceData>& list) { WriteRecords(list); }
  void operator()(const std::vector<BinMeshData>& list) { WriteRecords(list); }
  template <typename T>
  void operator()(const std::vector<T>& list) {
    WriteCount(list.size());
    constexpr std::size_t size = EncodedSize<T>::value;
    unsigned char block[kEncodeBlockBytes];
    for (std::size_t done = 0; done < list.size();) {
      const std::size_t take = std::min(list.size() - done, kEncodeBlockBytes / size);
      for (std::size_t i = 0; i < take; ++i) Encode(list[done + i], block + i * size);
      m_ar.Write(block, static_cast<UINT>(take * size));
      done += take;
    }
  }

 private:
  // A multiple of every plain element's encoded size.
  static constexpr std::size_t kEncodeBlockBytes = 48 * 32;

  template <typename Record>
  void WriteRecords(const std::vector<Record>& list) {
    WriteCount(list.size());
    for (const Record& record : list) (*this)(record);
  }

  static void Encode(int value, unsigned char* out) { platform::le::Store(out, value); }
  static void Encode(const AcGePoint2d& point, unsigned char* out) {
    platform::le::Store(out, point.x);
    platform::le::Store(out + 8, point.y);
  }
  template <typename Xyz>
  static void Encode(const Xyz& value, unsigned char* out) {
    platform::le::Store(out, value.x);
    platform::le::Store(out + 8, value.y);
    platform::le::Store(out + 16, value.z);
  }

  void WriteCount(std::size_t count) {
    // A count is 4 bytes in the file; a longer list cannot be stored.
    if (count > 0xFFFFFFFFu) AfxThrowArchiveException(CArchiveException::badIndex);
    m_ar << static_cast<DWORD>(count);
  }

  CArchive& m_ar;
};

class RecordReader {
 public:
  explicit RecordReader(CArchive& ar) : m_ar(ar) {}

  void operator()(int& value) { m_ar >> value; }
  void operator()(bool& value) { m_ar >> value; }
  void operator()(double& value) { m_ar >> value; }
  void operator()(CString& text) { m_ar >> text; }
  void operator()(AcGePoint2d& point) { m_ar >> point.x >> point.y; }
  void operator()(AcGePoint3d& point) { ReadXyz(m_ar, point); }
  void operator()(AcGeVector3d& vector) { ReadXyz(m_ar, vector); }
  void operator()(BinFaceData& face) { VisitFaceFields(*this, face); }
  void operator()(BinMeshData& mesh) { VisitMeshFields(*this, mesh); }

  // Plain values: surplus elements go, present ones are read in place, and
  // the list grows at once to the elements the rest of the file is known to
  // hold; those are decoded from blocks of bytes.
  template <typename T>
  void operator()(std::vector<T>& list) {
    const std::size_t count = ReadCount();
    if (count < list.size()) list.resize(count);
    for (std::size_t done = 0; done < count; done = list.size()) {
      if (done == list.size()) {
        const std::size_t room = MakeRoom(list, count);
        if (room == 0) {
          list.push_back(ReadAside<T>());
          continue;
        }
        list.resize(done + room);
      }
      ReadPlain(list.data() + done, list.size() - done);
    }
  }

  // Records: surplus records are destroyed, present ones read in place,
  // missing ones appended default-constructed as they are read, into room
  // reserved for those the rest of the file is known to hold.
  void operator()(std::vector<BinFaceData>& list) { ReadRecords(list); }
  void operator()(std::vector<BinMeshData>& list) { ReadRecords(list); }

 private:
  // A multiple of every plain element's encoded size.
  static constexpr std::size_t kDecodeBlockBytes = 48 * 32;

  std::size_t ReadCount() {
    DWORD count;
    m_ar >> count;
    return count;
  }

  // Reserves room for the elements still missing from `list` (of `count`)
  // that the rest of the file is known to hold, and answers how many that
  // is. Past that number room is reserved only to grow geometrically while
  // reading a stream that cannot tell its length, and never beyond twice
  // the elements already read.
  template <typename T>
  std::size_t MakeRoom(std::vector<T>& list, std::size_t count) {
    constexpr std::size_t smallest = MinimumEncodedSize<T>::value;
    const std::size_t missing = count - list.size();
    const ULONGLONG bytes =
        platform::ArchiveReadAhead::LoadableBytes(m_ar, static_cast<ULONGLONG>(missing) * smallest);
    const std::size_t room = static_cast<std::size_t>(bytes / smallest);
    if (room > 0) list.reserve(std::max(list.size() + room, std::min(count, 2 * list.size())));
    return room;
  }

  // The next element, read outside its list: when the file is not known to
  // hold it, a false count then ends in endOfFile without growing the list.
  template <typename T>
  T ReadAside() {
    T element{};
    (*this)(element);
    return element;
  }

  template <typename Record>
  void ReadRecords(std::vector<Record>& list) {
    const std::size_t count = ReadCount();
    if (count < list.size())
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(count), list.end());
    for (Record& record : list) (*this)(record);
    while (list.size() < count) {
      if (list.size() == list.capacity() && MakeRoom(list, count) == 0) {
        list.push_back(ReadAside<Record>());
        continue;
      }
      list.emplace_back();
      (*this)(list.back());
    }
  }

  static void Decode(const unsigned char* in, int& value) { value = platform::le::Load<int>(in); }
  static void Decode(const unsigned char* in, AcGePoint2d& point) {
    point.x = platform::le::Load<double>(in);
    point.y = platform::le::Load<double>(in + 8);
  }
  template <typename Xyz>
  static void Decode(const unsigned char* in, Xyz& value) {
    value.x = platform::le::Load<double>(in);
    value.y = platform::le::Load<double>(in + 8);
    value.z = platform::le::Load<double>(in + 16);
  }

  // Reads `count` plain elements, in place from the archive's buffer when it
  // holds them; those wholly present are set even when the file ends among
  // them.
  template <typename T>
  void ReadPlain(T* out, std::size_t count) {
    constexpr std::size_t size = EncodedSize<T>::value;
    static_assert(kDecodeBlockBytes % size == 0, "blocks hold whole elements");
    while (count > 0) {
      const std::size_t take = std::min(count, kDecodeBlockBytes / size);
      if (const unsigned char* buffered =
              platform::ArchiveReadAhead::TakeBuffered(m_ar, static_cast<UINT>(take * size))) {
        for (std::size_t i = 0; i < take; ++i) Decode(buffered + i * size, out[i]);
        out += take;
        count -= take;
        continue;
      }
      unsigned char block[kDecodeBlockBytes];
      const UINT got = m_ar.Read(block, static_cast<UINT>(take * size));
      const std::size_t whole = got / size;
      for (std::size_t i = 0; i < whole; ++i) Decode(block + i * size, out[i]);
      if (whole != take) ThrowEndOfFile();
      out += take;
      count -= take;
    }
  }

  [[noreturn]] void ThrowEndOfFile() {
    CFile* file = m_ar.GetFile();
    AfxThrowArchiveException(CArchiveException::endOfFile,
                             file != nullptr ? file->GetFilePath().GetString() : nullptr);
  }

  CArchive& m_ar;
};

}  // namespace mesh
}  // namespace corvane
