// Field visitors that write mesh records to an archive and read them back,
// following mesh_layout.h. The reader grows lists only as their elements are
// really read, so a damaged count costs no more memory than the bytes that
// follow it; the archive's endOfFile ends the read. Failures are the
// archive's heap exceptions; the visitors hold nothing of their own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include <corvane/mesh/bin_face_data.h>
#include <corvane/mesh/bin_mesh_data.h>
#include <corvane/platform/acge.h>
#include <corvane/platform/afx_archive.h>

#include "mesh/mesh_layout.h"

namespace corvane {
namespace mesh {

// Plain lists grow by at most this many bytes' worth of elements before
// those elements are read.
constexpr std::size_t kListBatchBytes = 64 * 1024;

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

  template <typename T>
  void operator()(const std::vector<T>& list) {
    WriteCount(list.size());
    for (const T& element : list) (*this)(element);
  }

 private:
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

  // Plain values: surplus elements go, the rest is read in batches, the list
  // growing one batch ahead of the reading at most.
  template <typename T>
  void operator()(std::vector<T>& list) {
    const std::size_t count = ReadCount();
    if (count <= list.size()) {
      list.resize(count);
      for (T& element : list) (*this)(element);
      return;
    }
    constexpr std::size_t batch = kListBatchBytes / EncodedSize<T>::value;
    for (std::size_t done = 0; done < count;) {
      const std::size_t end = std::min(count, done + batch);
      if (end > list.size()) list.resize(end);
      for (; done < end; ++done) (*this)(list[done]);
    }
  }

  // Records: surplus records are destroyed, present ones read in place,
  // missing ones appended default-constructed one at a time as they are read.
  void operator()(std::vector<BinFaceData>& list) { ReadRecords(list); }
  void operator()(std::vector<BinMeshData>& list) { ReadRecords(list); }

 private:
  std::size_t ReadCount() {
    DWORD count;
    m_ar >> count;
    return count;
  }

  template <typename Record>
  void ReadRecords(std::vector<Record>& list) {
    const std::size_t count = ReadCount();
    if (count < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(count), list.end());
    for (Record& record : list) (*this)(record);
    while (list.size() < count) {
      list.emplace_back();
      (*this)(list.back());
    }
  }

  CArchive& m_ar;
};

}  // namespace mesh
}  // namespace corvane
