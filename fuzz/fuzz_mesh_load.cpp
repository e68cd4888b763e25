// Fuzz target: a binary mesh file loaded through CMeshBin::load. A file that
// loads is saved again, and that file must load back to the same bytes.
// A built input (fuzz_support.h) is a list of meshes written with the
// archive operators, now and then cut short or with a byte flipped; so most
// built files load completely.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <corvane/platform/afx_exception.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

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

// Up to three items made by `make`.
template <typename T, typename Make>
void Fill(Program& p, std::vector<T>& items, Make make) {
  items.resize(p.Next() % 4);
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
  const std::uint8_t flags = p.Next();
  face.flagA = flags & 1;
  face.flagB = flags & 2;
  face.flagC = flags & 4;
  face.factor = Real(p);
  return face;
}

std::string BuildMeshFile(Program& p) {
  std::vector<BinMeshData> meshes;
  Fill(p, meshes, [&p] {
    BinMeshData mesh;
    mesh.number = p.Bytes<int>();
    mesh.name = Text(p);
    Fill(p, mesh.faces, [&p] { return Face(p); });
    Fill(p, mesh.indices, [&p] { return p.Bytes<int>(); });
    return mesh;
  });
  corvane_fuzz::MemoryFile file(nullptr, 0);
  CArchive ar(&file, CArchive::store);
  ar << static_cast<unsigned int>(meshes.size());
  for (const BinMeshData& mesh : meshes) ar << mesh;
  ar.Close();
  std::string bytes = file.output;
  const std::uint8_t damage = p.MayBreak() ? p.Next() : 0;
  const std::size_t at = p.Bytes<std::uint16_t>() % bytes.size();
  if (damage >= 0xF8) bytes.resize(at);
  if (damage >= 0xF0 && damage < 0xF8) bytes[at] = static_cast<char>(~bytes[at]);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvane_fuzz::ScratchFile input(".bin");
  static const corvane_fuzz::ScratchFile saved(".bin");
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
