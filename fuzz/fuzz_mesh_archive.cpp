// Fuzz target: the archive operators loading the input. Its first byte picks
// the reader (low seven bits) and a 64-byte archive buffer (top bit); readers
// give up with the framework's heap exceptions only. Reached: a whole record.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/platform/afx_archive.h>
#include <corvane/platform/afx_exception.h>

#include "fuzz_support.h"

namespace {

using corvane_fuzz::Require;

void ReadSome(CArchive& ar, std::uint8_t reader, corvane_fuzz::Execution& execution) {
  BinFaceData face;
  BinMeshData mesh;
  switch (reader % 6) {
    case 0:
      ar >> face;
      Require(face.transientValue == BinFaceData::kUnsetTransientValue);
      return execution.Reached();
    case 1:
      ar >> mesh;
      execution.Reached();
      ar >> mesh;  // the second read goes into a filled record
      return;
    case 2: {
      AcGePoint2d a;
      AcGePoint3d b;
      AcGeVector3d c;
      ar >> a >> b >> c;
      return execution.Reached();
    }
    case 3: {
      int charSize = 0;
      AfxReadStringLength(ar, charSize);
      Require(charSize == 1 || charSize == 2);
      CString text;
      ar >> text;
      return execution.Reached();
    }
    default:
      for (;;) {
        ar >> mesh >> face;  // into records filled by the previous round
        execution.Reached();
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
    Require(error->m_cause == CArchiveException::endOfFile ||
            error->m_cause == CArchiveException::genericException);
    error->Delete();
  } catch (CException* error) {
    error->Delete();
  }
  ar.Abort();
  return 0;
}
