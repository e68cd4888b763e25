// How loading sizes its lists: a valid file's lists are allocated once, at
// their final size, and a file that cannot tell its length (as a pipe
// cannot) still loads whole, while a count it cannot back ends in endOfFile
// with memory for the bytes really read only.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>

#include <string>

#include <gtest/gtest.h>

#include "mesh/mesh_sample.h"
#include "platform/allocation_meter.h"
#include "platform/scratch_dir.h"

namespace {

using namespace corvane_test;

class LengthlessFile : public CFile {
 public:
  ULONGLONG GetLength() const override { AfxThrowFileException(CFileException::badSeek, 29); }
};

class MeshLoadGrowthTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  const std::string path = dir.Path("meshes.bin");
};

TEST_F(MeshLoadGrowthTest, AValidFileIsLoadedWithoutRegrowingItsLists) {
  CMeshBin saved;
  saved.meshes.resize(3000);
  saved.meshes[0].faces.resize(20000);
  saved.meshes[0].faces[0].indices.assign(30000, 5);
  saved.save(path.c_str());
  CMeshBin loaded;
  const std::size_t before = g_liveBytes.load();
  AllocationMeter meter;
  loaded.load(path.c_str());
  const std::size_t held = g_liveBytes.load() - before;
  ASSERT_EQ(loaded.meshes.size(), 3000u);
  ASSERT_EQ(loaded.meshes[0].faces.size(), 20000u);
  EXPECT_EQ(loaded.meshes[0].faces[0].indices.size(), 30000u);
  // Beyond what the loaded lists hold: the archive buffer and the file path.
  EXPECT_LE(meter.PeakAboveStart(), held + 96 * 1024);
}

TEST_F(MeshLoadGrowthTest, AFileThatCannotTellItsLengthStillLoadsWhole) {
  BinMeshData mesh = SampleMesh(3, 3000);  // far more than one archive buffer
  mesh.faces[2999].points3d.assign(5000, AcGePoint3d(1, 2, 3));
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << mesh;
  }
  LengthlessFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  BinMeshData back;
  ar >> back;
  ASSERT_EQ(back.faces.size(), mesh.faces.size());
  for (std::size_t i = 0; i < mesh.faces.size(); ++i) ASSERT_TRUE(back.faces[i] == mesh.faces[i]) << i;
  EXPECT_EQ(back.indices, mesh.indices);
}

TEST_F(MeshLoadGrowthTest, ACountBeyondALengthlessFileEndsInEndOfFileWithBoundedMemory) {
  ByteBuilder bytes;
  bytes.U32(1).U8(0).U32(0xFFFFFFFFu);  // a mesh claiming four billion faces
  const std::size_t faces = 20000;
  for (std::size_t i = 0; i < faces; ++i) {
    bytes.U32(0).U32(0).U32(0).U32(0).U32(0).U8(0).U32(static_cast<unsigned long>(i)).U8(0).U8(0).F64(1).U8(0);
  }
  WriteAll(path, bytes.bytes());
  LengthlessFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  BinMeshData back;
  AllocationMeter meter;
  EXPECT_EQ(CaughtCause<CArchiveException>([&] { ar >> back; }), CArchiveException::endOfFile);
  EXPECT_LE(meter.PeakAboveStart(), 16 * bytes.bytes().size());
  // Every face really present, and at most the one the file ended in.
  ASSERT_GE(back.faces.size(), faces);
  EXPECT_LE(back.faces.size(), faces + 1);
  EXPECT_EQ(back.faces[faces - 1].number, static_cast<int>(faces - 1));
}

}  // namespace
