// The mesh file byte for byte, round trips, the resize rule on load, and quiet
// returns on paths that cannot be opened. (What a save keeps of its path is in
// platform/save_posix_test.cpp.)
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <gtest/gtest.h>

#include <string>

#include "support/mesh_sample.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

// The face record as the file lays it out, spelled out field by field.
Bytes FaceBytes(const BinFaceData& face) {
  ByteBuilder out;
  out.U32(face.points3d.size());
  for (const AcGePoint3d& p : face.points3d) out.F64(p.x).F64(p.y).F64(p.z);
  out.U32(face.indices.size());
  for (int i : face.indices) out.U32(static_cast<unsigned>(i));
  for (const auto* list : {&face.points2dA, &face.points2dB}) {
    out.U32(list->size());
    for (const AcGePoint2d& p : *list) out.F64(p.x).F64(p.y);
  }
  out.U32(face.vectors3d.size());
  for (const AcGeVector3d& v : face.vectors3d) out.F64(v.x).F64(v.y).F64(v.z);
  out.U8(static_cast<unsigned>(face.text.GetLength())).Text(face.text.GetString());
  out.U32(static_cast<unsigned>(face.number));
  out.U8(face.flagB).U8(face.flagA).F64(face.factor).U8(face.flagC);  // flagB first
  return out.bytes();
}

class MeshFileTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  const std::string path = dir.Path("mesh.bin");
};

TEST_F(MeshFileTest, TheFileIsTheRecordsByteForByte) {
  WriteAll(path, Bytes(10000, 0x77));  // replaced whole, with nothing left beside it
  CMeshBin bin;
  bin.save(path.c_str());
  EXPECT_EQ(ReadAll(path), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(dir.Entries().size(), 1u);

  BinMeshData mesh = SampleMesh(8, 1);
  mesh.faces[0].transientValue = 0x5A5A5A5A;  // never stored
  ByteBuilder meshBytes;
  meshBytes.U32(8).U8(6).Text("mesh-8").U32(1).Append(FaceBytes(mesh.faces[0]));
  meshBytes.U32(4).U32(8).U32(9).U32(10).U32(11);
  bin.meshes = {mesh, BinMeshData()};
  bin.meshes[1].number = -1;  // empty name: a zero prefix and no text
  bin.save(path.c_str());
  EXPECT_EQ(ReadAll(path),
            ByteBuilder().U32(2).Append(meshBytes.bytes()).U32(~0u).U8(0).U32(0).U32(0).bytes());

  {  // the geometry operators write the same forms
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << AcGePoint2d(1, 2) << AcGePoint3d(3, 4, 5) << AcGeVector3d(6, 7, 8);
  }
  ByteBuilder expected;
  for (int i = 1; i <= 8; ++i) expected.F64(i);
  EXPECT_EQ(ReadAll(path), expected.bytes());
}

// A round trip (trailing bytes ignored) into a list with one mesh fewer, more
// faces in each and every plain list one element longer: saved again, it gives
// the same bytes. Paths that cannot be opened are quiet.
TEST_F(MeshFileTest, LoadReadsEveryStoredFieldResizingInPlaceAndUnopenablePathsAreQuiet) {
  CMeshBin file, loaded;
  file.meshes = {SampleMesh(1, 2), SampleMesh(2, 1), SampleMesh(3, 0)};
  file.meshes[2].name = CString('n', 300);  // a word-sized prefix
  file.save(path.c_str());
  const Bytes stored = ReadAll(path);
  WriteAll(path, ByteBuilder().Append(stored).U32(0xDEADBEEF).bytes());
  BinMeshData longer = SampleMesh(50, 3);
  longer.indices.push_back(0);
  for (BinFaceData& face : longer.faces) {
    face.points3d.emplace_back();
    face.indices.push_back(0);
    face.points2dA.emplace_back();
    face.points2dB.emplace_back();
    face.vectors3d.emplace_back();
  }
  loaded.meshes.assign(2, longer);
  loaded.meshes[0].faces[0].transientValue = 11;
  loaded.load(path.c_str());
  EXPECT_EQ(loaded.meshes[0].faces[0].transientValue, 11);  // loaded in place: it is not stored
  loaded.save(dir.Path("copy.bin").c_str());
  EXPECT_EQ(ReadAll(dir.Path("copy.bin")), stored);
  CMeshBin().save(path.c_str());
  loaded.load(path.c_str());
  EXPECT_TRUE(loaded.meshes.empty());
  for (const std::string& unopenable : {dir.Path("missing/mesh.bin"), dir.Dir().string()}) {
    file.save(unopenable.c_str());  // a directory cannot be replaced either
    file.load(unopenable.c_str());
  }
  EXPECT_EQ(file.meshes.size(), 3u);
  EXPECT_EQ(dir.Entries().size(), 2u);
}

}  // namespace
