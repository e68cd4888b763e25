// Fuzz target: the archive operators on a loading archive over the input.
// The first byte picks what is read: its low seven bits the reader (0 a
// face, 1 a mesh read twice, 2 points, 3 a string through
// AfxReadStringLength, 4 and 5 a mixed sequence, modulo 6), its top bit a
// 64-byte archive buffer instead of 4096 bytes. The rest is the archive's
// data. Each reader gives up with the framework's heap exceptions, nothing
// else. Reached: the first whole record (or the string) was read.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_exception.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"

namespace {

void ReadSome(CArchive& ar, std::uint8_t reader, corvane_fuzz::Execution& execution) {
  switch (reader % 6) {
    case 0: {
      BinFaceData face;
      ar >> face;
      if (face.transientValue != BinFaceData::kUnsetTransientValue) std::abort();
      execution.Reached();
      break;
    }
    case 1: {
      BinMeshData mesh;
      ar >> mesh;
      execution.Reached();
      ar >> mesh;  // the second read goes into a filled record
      break;
    }
    case 2: {
      AcGePoint2d a;
      AcGePoint3d b;
      AcGeVector3d c;
      ar >> a >> b >> c;
      execution.Reached();
      break;
    }
    case 3: {
      int charSize = 0;
      const UINT_PTR length = AfxReadStringLength(ar, charSize);
      if (charSize != 1 && charSize != 2) std::abort();
      (void)length;
      CString text;
      ar >> text;
      execution.Reached();
      break;
    }
    default: {
      for (;;) {
        BinMeshData mesh;
        ar >> mesh;
        BinFaceData face;
        ar >> face;
        execution.Reached();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  corvane_fuzz::Execution execution("a whole record");
  if (size == 0) return 0;
  corvane_fuzz::MemoryFile file(data + 1, size - 1);
  // A small buffer makes refills and large-block reads happen on small inputs.
  CArchive ar(&file, CArchive::load, data[0] & 0x80 ? 64 : 4096);
  try {
    ReadSome(ar, data[0] & 0x7F, execution);
  } catch (CArchiveException* error) {
    if (error->m_cause != CArchiveException::endOfFile &&
        error->m_cause != CArchiveException::genericException) {
      std::abort();
    }
    error->Delete();
  } catch (CException* error) {
    error->Delete();
  }
  ar.Abort();
  return 0;
}
