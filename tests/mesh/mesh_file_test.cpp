// The mesh file byte for byte, round trips through files and through the
// archive operators, the resize rule on load, quiet returns on paths that
// cannot be opened, and a failed save that leaves the previous file intact.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>

#include <string>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "mesh/mesh_sample.h"
#include "platform/scratch_dir.h"

namespace {

using corvane_test::ByteBuilder;
using corvane_test::Bytes;
using corvane_test::ReadAll;
using corvane_test::SampleFace;
using corvane_test::SampleMesh;
using corvane_test::ScratchDir;
using corvane_test::WriteAll;

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
  out.U8(face.flagB).U8(face.flagA).F64(face.factor).U8(face.flagC);
  return out.bytes();
}

int ArchiveCause(CMeshBin& bin, const std::string& path) {
  try {
    bin.load(path.c_str());
  } catch (CArchiveException* error) {
    const int cause = error->m_cause;
    error->Delete();
    return cause;
  }
  return -1;
}

TEST(MeshFileTest, EmptyListIsFourZeroBytes) {
  ScratchDir dir;
  const std::string path = dir.Path("empty.bin");
  CMeshBin().save(path.c_str());
  EXPECT_EQ(ReadAll(path), (Bytes{0, 0, 0, 0}));
  CMeshBin loaded;
  loaded.meshes.push_back(SampleMesh(1, 1));
  loaded.load(path.c_str());
  EXPECT_TRUE(loaded.meshes.empty());
}

TEST(MeshFileTest, SmallMeshesHaveTheExactLayout) {
  ScratchDir dir;
  const std::string path = dir.Path("a.bin");
  CMeshBin bin;
  bin.meshes.resize(2);
  bin.meshes[0].number = 7;
  bin.meshes[0].name = "A";
  bin.meshes[1].number = -1;  // empty name
  bin.save(path.c_str());
  EXPECT_EQ(ReadAll(path), ByteBuilder()
                               .U32(2)
                               .U32(7).U8(1).Text("A").U32(0).U32(0)
                               .U32(0xFFFFFFFF).U8(0).U32(0).U32(0)
                               .bytes());
}

TEST(MeshFileTest, FullRecordsHaveTheExactLayoutWithoutTransientValue) {
  ScratchDir dir;
  const std::string path = dir.Path("full.bin");
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(3, 2));
  bin.meshes[0].faces[0].transientValue = 0x5A5A5A5A;
  bin.meshes[0].faces[1].flagB = true;  // flagB is written before flagA
  bin.meshes[0].faces[1].flagA = false;
  bin.save(path.c_str());
  const BinMeshData& mesh = bin.meshes[0];
  ByteBuilder expected;
  expected.U32(1).U32(3).U8(6).Text("mesh-3").U32(2);
  expected.Append(FaceBytes(mesh.faces[0])).Append(FaceBytes(mesh.faces[1]));
  expected.U32(4).U32(3).U32(4).U32(5).U32(6);
  EXPECT_EQ(ReadAll(path), expected.bytes());
}

TEST(MeshFileTest, RoundTripKeepsEveryStoredField) {
  ScratchDir dir;
  const std::string path = dir.Path("round.bin");
  CMeshBin bin;
  for (int i = 0; i < 5; ++i) bin.meshes.push_back(SampleMesh(i, i));
  bin.meshes[4].name = CString(std::string(300, 'n').c_str());  // a word-sized prefix
  bin.meshes[2].faces[1].transientValue = 42;
  bin.save(path.c_str());

  CMeshBin loaded;
  loaded.load(path.c_str());
  ASSERT_EQ(loaded.meshes.size(), 5u);
  for (std::size_t m = 0; m < 5; ++m) {
    const BinMeshData& saved = bin.meshes[m];
    const BinMeshData& back = loaded.meshes[m];
    EXPECT_EQ(back.number, saved.number);
    EXPECT_TRUE(back.name == saved.name);
    EXPECT_EQ(back.indices, saved.indices);
    ASSERT_EQ(back.faces.size(), saved.faces.size());
    for (std::size_t f = 0; f < saved.faces.size(); ++f) {
      EXPECT_EQ(back.faces[f].transientValue, 16777215);
      EXPECT_EQ(back.faces[f] == saved.faces[f], saved.faces[f].transientValue == 16777215);
    }
  }
  EXPECT_FALSE(loaded.meshes[2].faces[1] == bin.meshes[2].faces[1]);  // 42 was not stored
}

TEST(MeshFileTest, ArchiveOperatorsChainAndMatchTheFileForm) {
  ScratchDir dir;
  const std::string path = dir.Path("ops.bin");
  const BinFaceData face = SampleFace(9);
  const BinMeshData mesh = SampleMesh(8, 1);
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << AcGePoint2d(1, 2) << AcGePoint3d(3, 4, 5) << AcGeVector3d(6, 7, 8) << face << mesh;
    ar.Close();
  }
  const Bytes bytes = ReadAll(path);
  const Bytes head = ByteBuilder().F64(1).F64(2).F64(3).F64(4).F64(5).F64(6).F64(7).F64(8).bytes();
  ASSERT_GT(bytes.size(), head.size());
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  const Bytes faceBytes = FaceBytes(face);
  EXPECT_TRUE(std::equal(faceBytes.begin(), faceBytes.end(), bytes.begin() + 64));

  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&file, CArchive::load);
  AcGePoint2d p2;
  AcGePoint3d p3;
  AcGeVector3d v3;
  BinFaceData faceBack;
  BinMeshData meshBack;
  ar >> p2 >> p3 >> v3 >> faceBack >> meshBack;
  EXPECT_TRUE(p2.isEqualTo(AcGePoint2d(1, 2)));
  EXPECT_TRUE(p3.isEqualTo(AcGePoint3d(3, 4, 5)));
  EXPECT_TRUE(v3.isEqualTo(AcGeVector3d(6, 7, 8)));
  EXPECT_TRUE(faceBack == face);
  ASSERT_EQ(meshBack.faces.size(), 1u);
  EXPECT_TRUE(meshBack.faces[0] == mesh.faces[0]);
}

TEST(MeshFileTest, LoadResizesToTheFileKeepingElementsInPlace) {
  ScratchDir dir;
  const std::string path = dir.Path("resize.bin");
  CMeshBin file;
  file.meshes.push_back(SampleMesh(1, 2));
  file.meshes.push_back(SampleMesh(2, 1));
  file.save(path.c_str());

  CMeshBin more;  // more meshes and faces in memory than in the file
  for (int i = 0; i < 4; ++i) more.meshes.push_back(SampleMesh(50 + i, 3));
  more.meshes[0].faces[0].transientValue = 11;
  more.meshes[0].faces[0].indices.assign(100, 5);
  more.load(path.c_str());
  ASSERT_EQ(more.meshes.size(), 2u);
  ASSERT_EQ(more.meshes[0].faces.size(), 2u);
  ASSERT_EQ(more.meshes[1].faces.size(), 1u);
  EXPECT_EQ(more.meshes[0].faces[0].transientValue, 11);  // read in place
  EXPECT_EQ(more.meshes[0].faces[0].indices, file.meshes[0].faces[0].indices);
  EXPECT_TRUE(more.meshes[1].name == "mesh-2");

  CMeshBin fewer;  // one mesh with one face in memory
  fewer.meshes.push_back(SampleMesh(70, 1));
  fewer.meshes[0].faces[0].transientValue = 12;
  fewer.load(path.c_str());
  ASSERT_EQ(fewer.meshes.size(), 2u);
  ASSERT_EQ(fewer.meshes[0].faces.size(), 2u);
  EXPECT_EQ(fewer.meshes[0].faces[0].transientValue, 12);
  EXPECT_EQ(fewer.meshes[0].faces[1].transientValue, 16777215);  // appended
  EXPECT_EQ(fewer.meshes[1].faces[0].transientValue, 16777215);
  fewer.meshes[0].faces[0].transientValue = 16777215;
  EXPECT_TRUE(fewer.meshes[0].faces[0] == file.meshes[0].faces[0]);
  EXPECT_TRUE(fewer.meshes[1].faces[0] == file.meshes[1].faces[0]);
}

TEST(MeshFileTest, TrailingBytesAreIgnored) {
  ScratchDir dir;
  const std::string path = dir.Path("trail.bin");
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 1));
  bin.save(path.c_str());
  Bytes bytes = ReadAll(path);
  bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF});
  WriteAll(path, bytes);
  CMeshBin loaded;
  loaded.load(path.c_str());
  ASSERT_EQ(loaded.meshes.size(), 1u);
  EXPECT_TRUE(loaded.meshes[0].faces[0] == bin.meshes[0].faces[0]);
}

TEST(MeshFileTest, PathsThatCannotBeOpenedReturnQuietly) {
  ScratchDir dir;
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 1));
  bin.save(dir.Path("missing/mesh.bin").c_str());
  bin.save("");
  bin.save(dir.Dir().string().c_str());  // a directory cannot be replaced
  EXPECT_EQ(dir.EntryCount(), 0u);

  bin.load(dir.Path("missing.bin").c_str());
  bin.load(dir.Dir().string().c_str());
  bin.load("");
  ASSERT_EQ(bin.meshes.size(), 1u);
  EXPECT_EQ(bin.meshes[0].number, 1);
}

TEST(MeshFileTest, EmptyFileRaisesEndOfFile) {
  ScratchDir dir;
  const std::string path = dir.Path("zero.bin");
  WriteAll(path, {});
  CMeshBin bin;
  EXPECT_EQ(ArchiveCause(bin, path), CArchiveException::endOfFile);
}

TEST(MeshFileTest, SaveReplacesTheFileAndLeavesNothingElse) {
  ScratchDir dir;
  const std::string path = dir.Path("mesh.bin");
  WriteAll(path, Bytes(10000, 0x77));
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 1));
  bin.save(path.c_str());
  EXPECT_EQ(dir.EntryCount(), 1u);
  CMeshBin loaded;
  loaded.load(path.c_str());
  EXPECT_EQ(loaded.meshes.size(), 1u);
}

// The child process cannot grow files past a small limit (with the signal
// ignored, writes fail with EFBIG), so the save fails part-way. It reports
// through its exit code: 0 when every expectation held.
int SaveUnderFileSizeLimit(const std::string& path, const ScratchDir& dir, const Bytes& before) {
  struct rlimit limit = {8192, 8192};
  if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
  CMeshBin bin;
  for (int i = 0; i < 200; ++i) bin.meshes.push_back(SampleMesh(i, 3));
  int cause = -1;
  try {
    bin.save(path.c_str());
  } catch (CFileException* error) {
    cause = error->m_cause;
    error->Delete();
  } catch (CException* error) {
    error->Delete();
    return 11;
  }
  if (cause != CFileException::diskFull) return 12;
  if (ReadAll(path) != before) return 13;
  if (dir.EntryCount() != 1) return 14;
  return 0;
}

TEST(MeshFileTest, FailedSaveRaisesAndKeepsThePreviousFile) {
  ScratchDir dir;
  const std::string path = dir.Path("keep.bin");
  CMeshBin previous;
  for (int i = 0; i < 300; ++i) previous.meshes.push_back(SampleMesh(i, 2));  // larger than the limit
  previous.save(path.c_str());
  const Bytes before = ReadAll(path);
  ASSERT_GT(before.size(), 8192u);

  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) ::_exit(SaveUnderFileSizeLimit(path, dir, before));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(path), before);
  EXPECT_EQ(dir.EntryCount(), 1u);
}

}  // namespace
