// Saving and loading a large mesh file: CMeshBin against one fwrite/fread of
// the same number of bytes (the floor) and, when cereal is installed, its
// binary archive of the same records. Saves are durable, so every reference
// save is followed by an fsync too. Rounds alternate the measurements;
// results are medians with their spread (bench_support.h).
//
//   mesh_bench [megabytes=100] [rounds=5] [folder=/tmp]
#include <corvane/corvane.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "reference_meshes.h"

#ifdef CORVANE_BENCH_WITH_CEREAL
#include <cereal/archives/binary.hpp>
#include <cereal/types/vector.hpp>

// cereal forms of the records: the same fields, cereal's own layout. They
// live beside the record types so that cereal finds them.
template <class Archive>
void serialize(Archive& ar, AcGePoint2d& p) {
  ar(p.x, p.y);
}
template <class Archive>
void serialize(Archive& ar, AcGePoint3d& p) {
  ar(p.x, p.y, p.z);
}
template <class Archive>
void serialize(Archive& ar, AcGeVector3d& v) {
  ar(v.x, v.y, v.z);
}

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

#endif

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 100.0;
  const int rounds = bench::Rounds(argc, argv, 2);
  const std::filesystem::path dir =
      argc > 3 ? std::filesystem::path(argv[3]) : std::filesystem::temp_directory_path();
  const std::string ours = (dir / "mesh_bench_ours.bin").string();
  const std::string raw = (dir / "mesh_bench_raw.bin").string();
  const std::string theirs = (dir / "mesh_bench_cereal.bin").string();

  CMeshBin source;
  source.meshes = bench::MakeMeshes(megabytes);
  source.save(ours.c_str());
  const std::size_t bytes = std::filesystem::file_size(ours);
  const double mb = bytes / (1024.0 * 1024.0);
  std::vector<char> block(bytes, 1);
  std::printf("%zu meshes, %.1f MB on disk; %d rounds\n\n", source.meshes.size(), mb, rounds);

  const auto nothing = [] {};
  bench::Series save, load, rawWrite, rawWriteUnsynced, rawRead, cerealSave, cerealLoad;
  for (int round = 0; round < rounds; ++round) {
    save.Add(bench::InChild(nothing, [&] {
      source.save(ours.c_str());
      return true;
    }));
    load.Add(bench::InChild(nothing, [&] {
      CMeshBin* loaded = new CMeshBin;  // left to the child's exit
      loaded->load(ours.c_str());
      return loaded->meshes.size() == source.meshes.size();
    }));
    rawWrite.Add(bench::InChild(nothing, [&] {
      std::FILE* out = std::fopen(raw.c_str(), "wb");
      const bool written = out != nullptr && std::fwrite(block.data(), 1, bytes, out) == bytes;
      return out != nullptr && std::fclose(out) == 0 && written && bench::Fsync(raw);
    }));
    rawWriteUnsynced.Add(bench::InChild(nothing, [&] {
      std::FILE* out = std::fopen(raw.c_str(), "wb");
      const bool written = out != nullptr && std::fwrite(block.data(), 1, bytes, out) == bytes;
      return out != nullptr && std::fclose(out) == 0 && written;
    }));
    rawRead.Add(bench::InChild(nothing, [&] {
      std::FILE* in = std::fopen(raw.c_str(), "rb");
      const bool read = in != nullptr && std::fread(block.data(), 1, bytes, in) == bytes;
      if (in != nullptr) std::fclose(in);
      return read;
    }));
#ifdef CORVANE_BENCH_WITH_CEREAL
    cerealSave.Add(bench::InChild(nothing, [&] {
      {
        std::ofstream out(theirs, std::ios::binary);
        cereal::BinaryOutputArchive ar(out);
        ar(source.meshes);
      }
      return bench::Fsync(theirs);
    }));
    cerealLoad.Add(bench::InChild(nothing, [&] {
      std::ifstream in(theirs, std::ios::binary);
      cereal::BinaryInputArchive ar(in);
      std::vector<BinMeshData>* loaded = new std::vector<BinMeshData>;
      ar(*loaded);
      return loaded->size() == source.meshes.size();
    }));
#endif
  }
  bench::PrintSeries("CMeshBin::save (synced)", save, mb);
  bench::PrintSeries("CMeshBin::load", load, mb);
  bench::PrintSeries("one fwrite + fsync", rawWrite, mb);
  bench::PrintSeries("one fwrite, not synced", rawWriteUnsynced, mb);
  bench::PrintSeries("one fread", rawRead, mb);
  std::printf("\n");
#ifdef CORVANE_BENCH_WITH_CEREAL
  bench::PrintSeries("cereal save + fsync", cerealSave, mb);
  bench::PrintSeries("cereal load", cerealLoad, mb);
  std::printf("\n");
  bench::PrintRatio("save / cereal save + fsync", bench::Compare(save, cerealSave), 1.0);
  bench::PrintRatio("load / cereal load", bench::Compare(load, cerealLoad), 1.0);
#else
  std::printf("cereal is not installed: its comparison is skipped\n");
#endif
  bench::PrintRatio("save / one fwrite + fsync", bench::Compare(save, rawWrite), 3.0);
  bench::PrintRatio("load / one fread", bench::Compare(load, rawRead), 3.0);
  std::printf("syncing costs %.3f s of a %.0f MB write (median against median)\n",
              rawWrite.Median() - rawWriteUnsynced.Median(), mb);
  for (const std::string& path : {ours, raw, theirs}) std::filesystem::remove(path);
  return 0;
}
