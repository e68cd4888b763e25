// Mesh file throughput: CMeshBin::save and CMeshBin::load against one
// fwrite/fread of the same number of bytes (the floor) and cereal's binary
// archive over the same records. Usage: mesh_bench [megabytes] [directory]
// (default 100 MB in the system's temporary folder). Rounds alternate, each
// step starting from a heap that has handed its free memory back; the best
// of each is reported in MB/s, with the ratios.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cereal/archives/binary.hpp>
#include <cereal/types/vector.hpp>

#include <corvane/mesh/mesh_bin.h>

// cereal forms of the records: the same fields, cereal's own layout. They
// live beside the record types so that cereal finds them.
template <class Archive>
void serialize(Archive& ar, AcGePoint2d& p) { ar(p.x, p.y); }
template <class Archive>
void serialize(Archive& ar, AcGePoint3d& p) { ar(p.x, p.y, p.z); }
template <class Archive>
void serialize(Archive& ar, AcGeVector3d& v) { ar(v.x, v.y, v.z); }

static void SaveText(cereal::BinaryOutputArchive& ar, const CString& text) {
  ar(cereal::make_size_tag(static_cast<cereal::size_type>(text.GetLength())));
  ar(cereal::binary_data(text.GetString(), static_cast<std::size_t>(text.GetLength())));
}
static void LoadText(cereal::BinaryInputArchive& ar, CString& text) {
  cereal::size_type length;
  ar(cereal::make_size_tag(length));
  char* buffer = text.GetBufferSetLength(static_cast<int>(length));
  ar(cereal::binary_data(buffer, static_cast<std::size_t>(length)));
  text.ReleaseBuffer(static_cast<int>(length));
}

template <class Archive>
void save(Archive& ar, const BinFaceData& f) {
  ar(f.points3d, f.indices, f.points2dA, f.points2dB, f.vectors3d);
  SaveText(ar, f.text);
  ar(f.number, f.flagB, f.flagA, f.factor, f.flagC);
}
template <class Archive>
void load(Archive& ar, BinFaceData& f) {
  ar(f.points3d, f.indices, f.points2dA, f.points2dB, f.vectors3d);
  LoadText(ar, f.text);
  ar(f.number, f.flagB, f.flagA, f.factor, f.flagC);
}
template <class Archive>
void save(Archive& ar, const BinMeshData& m) {
  ar(m.number);
  SaveText(ar, m.name);
  ar(m.faces, m.indices);
}
template <class Archive>
void load(Archive& ar, BinMeshData& m) {
  ar(m.number);
  LoadText(ar, m.name);
  ar(m.faces, m.indices);
}

namespace {

using Clock = std::chrono::steady_clock;

BinFaceData MakeFace(int seed) {
  BinFaceData face;
  for (int i = 0; i < 4; ++i) face.points3d.emplace_back(seed + i, i * 0.5, -i);
  for (int i = 0; i < 6; ++i) face.indices.push_back(seed + i);
  for (int i = 0; i < 4; ++i) face.points2dA.emplace_back(i, seed * 0.25);
  for (int i = 0; i < 4; ++i) face.points2dB.emplace_back(-i, seed);
  face.vectors3d.emplace_back(0, 0, 1);
  face.text.Format("face%d", seed % 1000);
  face.number = seed;
  face.factor = seed * 0.001;
  face.flagA = seed % 2 == 0;
  return face;
}

std::vector<BinMeshData> MakeMeshes(double megabytes) {
  constexpr int kFacesPerMesh = 200;
  constexpr double kBytesPerMesh = kFacesPerMesh * 322.0;  // the face layout above
  const int meshCount = std::max(1, static_cast<int>(megabytes * 1e6 / kBytesPerMesh));
  std::vector<BinMeshData> meshes(static_cast<std::size_t>(meshCount));
  for (int m = 0; m < meshCount; ++m) {
    meshes[m].number = m;
    meshes[m].name.Format("mesh %d", m);
    for (int f = 0; f < kFacesPerMesh; ++f) meshes[m].faces.push_back(MakeFace(m * kFacesPerMesh + f));
    meshes[m].indices.assign(50, m);
  }
  return meshes;
}

// Every timed step starts from the same heap. glibc hands freed memory back
// to the system at moments that depend on the previous step's allocations,
// and a load that finds it gone pays the page faults of taking it back: with
// unequal starts that decided the load comparison (about 2x either way).
void ReturnFreeMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

double Seconds(const std::function<void()>& body) {
  ReturnFreeMemory();
  const auto start = Clock::now();
  body();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 100.0;
  const std::filesystem::path dir =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string ours = (dir / "mesh_bench_ours.bin").string();
  const std::string raw = (dir / "mesh_bench_raw.bin").string();
  const std::string theirs = (dir / "mesh_bench_cereal.bin").string();

  CMeshBin source;
  source.meshes = MakeMeshes(megabytes);
  source.save(ours.c_str());
  const std::size_t bytes = std::filesystem::file_size(ours);
  std::vector<char> block(bytes, 1);
  std::printf("%zu meshes, %.1f MB on disk\n", source.meshes.size(), bytes / 1e6);

  double best[6] = {1e9, 1e9, 1e9, 1e9, 1e9, 1e9};
  auto keep = [&](int slot, double seconds) { best[slot] = std::min(best[slot], seconds); };
  for (int round = 0; round < 5; ++round) {
    keep(0, Seconds([&] { source.save(ours.c_str()); }));
    keep(1, Seconds([&] {
      CMeshBin loaded;
      loaded.load(ours.c_str());
      if (loaded.meshes.size() != source.meshes.size()) std::abort();
    }));
    keep(2, Seconds([&] {
      std::FILE* out = std::fopen(raw.c_str(), "wb");
      if (out == nullptr || std::fwrite(block.data(), 1, bytes, out) != bytes) std::abort();
      std::fclose(out);
    }));
    keep(3, Seconds([&] {
      std::FILE* in = std::fopen(raw.c_str(), "rb");
      if (in == nullptr || std::fread(block.data(), 1, bytes, in) != bytes) std::abort();
      std::fclose(in);
    }));
    keep(4, Seconds([&] {
      std::ofstream out(theirs, std::ios::binary);
      cereal::BinaryOutputArchive ar(out);
      ar(source.meshes);
    }));
    keep(5, Seconds([&] {
      std::ifstream in(theirs, std::ios::binary);
      cereal::BinaryInputArchive ar(in);
      std::vector<BinMeshData> loaded;
      ar(loaded);
      if (loaded.size() != source.meshes.size()) std::abort();
    }));
  }
  const char* names[6] = {"CMeshBin::save", "CMeshBin::load", "fwrite", "fread", "cereal save", "cereal load"};
  for (int i = 0; i < 6; ++i) std::printf("%-16s %8.1f MB/s\n", names[i], bytes / 1e6 / best[i]);
  std::printf("save: %.2fx cereal's time, %.2fx the raw write's\n", best[0] / best[4], best[0] / best[2]);
  std::printf("load: %.2fx cereal's time, %.2fx the raw read's\n", best[1] / best[5], best[1] / best[3]);
  for (const std::string& path : {ours, raw, theirs}) std::filesystem::remove(path);
  return 0;
}
