// Fuzz target: a binary mesh file loaded through CMeshBin::load; a file that
// loads, saved again, must load back to the same bytes. A built input
// (fuzz_support.h) is a list of meshes as saved; raw ones break the format.
#include <corvane/mesh/mesh_bin.h>
#include <corvane/platform/afx_exception.h>

#include <limits>

#include "fuzz_support.h"

namespace {

using corvane_fuzz::Program;
using Limits = std::numeric_limits<double>;

// clang-format off
const double kReals[] = {0.0, -0.0, 1.0, -1.5, 1.0 / 3, 1e308, Limits::min(), Limits::denorm_min(),
                         Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN()};
// clang-format on
const char* const kTexts[] = {"", "A", "Mesh 1", "\xC7\xBD\xCC\xE5", "\x81", "\xFF\xFE"};

double Real(Program& p) { return p.Next() < 0xF0 ? p.Pick(kReals) : p.Bytes<double>(); }

CString Text(Program& p) {
  const std::uint8_t how = p.Next();
  if (how < 0xE0) return CString(p.Pick(kTexts));
  return CString(std::string((how & 0x1F) * 20u, 'N').c_str());  // the longer length prefixes
}

// Up to three items made by `make`, now and then up to 120.
template <typename T, typename Make>
void Fill(Program& p, std::vector<T>& items, Make make) {
  const std::uint8_t count = p.Next();
  items.resize(count < 0xF0 ? count % 4 : (count & 0x0Fu) * 8);
  for (T& item : items) item = make();
}

BinFaceData Face(Program& p) {
  BinFaceData face;
  Fill(p, face.points3d, [&p] { return AcGePoint3d{Real(p), Real(p), Real(p)}; });
  Fill(p, face.indices, [&p] { return p.Bytes<int>(); });
  Fill(p, face.points2dA, [&p] { return AcGePoint2d{Real(p), Real(p)}; });
  Fill(p, face.points2dB, [&p] { return AcGePoint2d{Real(p), Real(p)}; });
  Fill(p, face.vectors3d, [&p] { return AcGeVector3d{Real(p), Real(p), Real(p)}; });
  face.text = Text(p);
  face.number = p.Bytes<int>();
  face.flagA = p.Next() & 1;
  face.flagB = p.Next() & 1;
  face.flagC = p.Next() & 1;
  face.factor = Real(p);
  return face;
}

std::string BuildMeshFile(Program& p) {
  static const corvane_fuzz::ScratchFile built("_built.bin");
  CMeshBin meshes;
  Fill(p, meshes.meshes, [&p] {
    BinMeshData mesh;
    mesh.number = p.Bytes<int>();
    mesh.name = Text(p);
    Fill(p, mesh.faces, [&p] { return Face(p); });
    Fill(p, mesh.indices, [&p] { return p.Bytes<int>(); });
    return mesh;
  });
  meshes.save(built.path());
  return built.Read();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input("_in.bin");
  static const corvane_fuzz::ScratchFile saved("_saved.bin");
  corvane_fuzz::Execution execution("the save-and-reload check");
  input.Write(corvane_fuzz::FileFrom(data, size, &BuildMeshFile));
  CMeshBin meshes;
  try {
    meshes.load(input.path());
  } catch (CException* error) {
    error->Delete();
    return 0;
  }
  // What loaded is narrow text and plain numbers: saving it and loading the
  // result must give back the same file.
  meshes.save(saved.path());
  const std::string first = saved.Read();
  CMeshBin reloaded;
  reloaded.load(saved.path());
  if (reloaded.meshes.size() != meshes.meshes.size()) std::abort();
  reloaded.save(saved.path());
  if (saved.Read() != first) std::abort();
  execution.Reached();
  return 0;
}
