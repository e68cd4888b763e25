// What loading costs and where it stops: a file that cannot tell its length
// still loads whole; every truncation (the empty file included) ends in
// endOfFile; counts or lengths larger than the data fail with memory for the
// bytes present only, up to files of 1 MB built to cost the loader the most
// memory per byte.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/allocation_meter.h"
#include "support/mesh_sample.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

constexpr std::size_t kFileLimit = 1024 * 1024;
// A load may cost the archive buffer and the path, and per byte of the file a
// few times the smallest record it can hold (a face is 36 bytes on disk at
// least, several times that in memory, and a growing list briefly holds its
// old and new storage).
constexpr std::size_t kFixedCost = 256 * 1024;
constexpr std::size_t kCostPerFileByte = 16;

// The smallest face: five empty lists, an empty text, number, flags, factor.
ByteBuilder SmallestFace(std::size_t number) {
  ByteBuilder face;
  face.U32(0).U32(0).U32(0).U32(0).U32(0).U8(0).U32(number);
  return face.U8(0).U8(0).F64(1).U8(0);
}

// `head`, then as many copies of `record` as fit in kFileLimit bytes with `tail` after them.
Bytes Fill(ByteBuilder head, const ByteBuilder& record, const Bytes& tail = {}) {
  while (head.bytes().size() + record.bytes().size() + tail.size() <= kFileLimit) {
    head.Append(record.bytes());
  }
  return head.Append(tail).bytes();
}

class LengthlessFile : public CFile {  // as a pipe
 public:
  ULONGLONG GetLength() const override { AfxThrowFileException(CFileException::badSeek, 29); }
};

class MeshLoadBoundsTest : public ::testing::Test {
 protected:
  // Loads `file` (into `bin` when given); answers the archive cause raised
  // (-1: none) and the peak heap above the start of the load.
  int Load(const Bytes& file, std::size_t* peak = nullptr, CMeshBin* bin = nullptr) {
    WriteAll(path, file);
    CMeshBin fresh;
    AllocationMeter meter;
    const int cause =
        CaughtCause<CArchiveException>([&] { (bin ? *bin : fresh).load(path.c_str()); });
    if (peak != nullptr) *peak = meter.PeakAboveStart();
    return cause;
  }
  // Reads one mesh through a file that cannot tell its length, as Load.
  int LoadLengthless(BinMeshData& back, std::size_t* peak) {
    LengthlessFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    AllocationMeter meter;
    const int cause = CaughtCause<CArchiveException>([&] { ar >> back; });
    *peak = meter.PeakAboveStart();
    return cause;
  }
  ScratchDir dir;
  const std::string path = dir.Path("meshes.bin");
};

TEST_F(MeshLoadBoundsTest, ALengthlessFileLoadsWholeAndACountBeyondItEndsWithBoundedMemory) {
  BinMeshData mesh = SampleMesh(3, 3000), back;  // far more than one archive buffer
  mesh.faces[2999].points3d.assign(5000, AcGePoint3d(1, 2, 3));
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << mesh;
  }
  std::size_t peak = 0;
  ASSERT_EQ(LoadLengthless(back, &peak), -1);
  ASSERT_EQ(back.faces.size(), mesh.faces.size());
  for (std::size_t i = 0; i < mesh.faces.size(); ++i)
    ASSERT_TRUE(back.faces[i] == mesh.faces[i]) << i;
  EXPECT_EQ(back.indices, mesh.indices);

  ByteBuilder bytes;
  bytes.U32(1).U8(0).U32(0xFFFFFFFFu);  // a mesh claiming four billion faces
  const std::size_t faces = 20000;
  for (std::size_t i = 0; i < faces; ++i) bytes.Append(SmallestFace(i).bytes());
  WriteAll(path, bytes.bytes());
  back = BinMeshData();
  EXPECT_EQ(LoadLengthless(back, &peak), CArchiveException::endOfFile);
  EXPECT_LE(peak, kCostPerFileByte * bytes.bytes().size());
  // Every face really present, and at most the one the file ended in.
  ASSERT_TRUE(back.faces.size() >= faces && back.faces.size() <= faces + 1);
  EXPECT_EQ(back.faces[faces - 1].number, static_cast<int>(faces - 1));
}

TEST_F(MeshLoadBoundsTest, EveryTruncationRaisesEndOfFile) {
  CMeshBin bin, partly;
  bin.meshes = {SampleMesh(1, 2), SampleMesh(2, 0)};
  bin.meshes[1].name = CString('w', 260);  // a word-sized prefix
  bin.save(path.c_str());
  const Bytes whole = ReadAll(path);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(Load(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
              CArchiveException::endOfFile)
        << "cut at " << size;
  }
  // A load cut in the last mesh leaves the list partly read.
  EXPECT_EQ(Load(Bytes(whole.begin(), whole.end() - 1), nullptr, &partly),
            CArchiveException::endOfFile);
  ASSERT_EQ(partly.meshes.size(), 2u);
  EXPECT_TRUE(partly.meshes[0].faces[1] == bin.meshes[0].faces[1]);
}

TEST_F(MeshLoadBoundsTest, CountsAndLengthsBeyondTheDataCostOnlyTheBytesPresent) {
  const ByteBuilder oneMesh = ByteBuilder().U32(1).U32(0);  // one mesh, number 0
  const ByteBuilder emptyMesh = ByteBuilder().U32(0).U8(0).U32(0).U32(0);
  // A mesh named by one wide character, converted on the way in.
  const ByteBuilder wideMesh =
      ByteBuilder().U32(0).U8(0xFF).U16(0xFFFE).U8(1).U16(0x4E2D).U32(0).U32(0);
  const std::size_t meshes = (kFileLimit - 4) / 13, faces = (kFileLimit - 17) / 36;
  struct Case {
    std::string what;
    Bytes file;
    bool truncated;
  };
  std::vector<Case> cases = {
      {"meshes", ByteBuilder().U32(~0u).U32(1).U32(0x41414141).bytes(), true},
      {"mesh indices", ByteBuilder(oneMesh).U8(0).U32(0).U32(~0u).U32(9).bytes(), true},
      // Files of 1 MB made of the records that cost the most memory per byte.
      {"empty meshes", Fill(ByteBuilder().U32(meshes), emptyMesh), false},
      {"empty meshes, count too large", Fill(ByteBuilder().U32(~0u), emptyMesh), true},
      {"smallest faces", Fill(ByteBuilder(oneMesh).U8(0).U32(faces), SmallestFace(0), {0, 0, 0, 0}),
       false},
      {"smallest faces, count too large",
       Fill(ByteBuilder(oneMesh).U8(0).U32(~0u), SmallestFace(0)), true},
      {"wide names", Fill(ByteBuilder().U32((kFileLimit - 4) / 18), wideMesh), false}};
  for (int list = 0; list < 5; ++list) {  // each face list claiming four billion elements
    ByteBuilder head = ByteBuilder(oneMesh).U8(0).U32(1);
    for (int before = 0; before < list; ++before) head.U32(0);
    cases.push_back({"face list " + std::to_string(list),
                     Fill(head.U32(~0u), ByteBuilder().U32(0x3F800000u)), true});
  }
  for (const Case& c : cases) {
    ASSERT_LE(c.file.size(), kFileLimit);
    std::size_t peak = 0;
    EXPECT_EQ(Load(c.file, &peak), c.truncated ? CArchiveException::endOfFile : -1) << c.what;
    EXPECT_LE(peak, kFixedCost + kCostPerFileByte * c.file.size()) << c.what;
  }
}

}  // namespace
