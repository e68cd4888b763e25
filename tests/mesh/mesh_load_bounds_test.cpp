// What loading costs and where it stops: a valid file's lists are allocated
// once, at their final size; a file that cannot tell its length still loads
// whole; every truncation (the empty file included) ends in endOfFile; counts
// or lengths larger than the data fail with memory for the bytes present only,
// up to files of 1 MB built to cost the loader the most memory per byte.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <gtest/gtest.h>

#include <string>

#include "support/allocation_meter.h"
#include "support/mesh_sample.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

constexpr std::size_t kFileLimit = 1024 * 1024;
// A face is 36 bytes on disk at least, several times that in memory, and a
// growing list briefly holds its old and new storage.
constexpr std::size_t kMaxBytesPerFileByte = 16;

// The smallest face: five empty lists, an empty text, number, flags, factor.
void AppendSmallestFace(ByteBuilder& out, std::size_t number) {
  out.U32(0)
      .U32(0)
      .U32(0)
      .U32(0)
      .U32(0)
      .U8(0)
      .U32(static_cast<unsigned long>(number))
      .U8(0)
      .U8(0)
      .F64(1)
      .U8(0);
}

class LengthlessFile : public CFile {  // as a pipe
 public:
  ULONGLONG GetLength() const override { AfxThrowFileException(CFileException::badSeek, 29); }
};

class MeshLoadBoundsTest : public ::testing::Test {
 protected:
  // Loads `file` into `bin`; answers the archive cause raised (-1: none) and
  // the peak heap above the start of the load.
  int Load(const Bytes& file, CMeshBin& bin, std::size_t* peak = nullptr) {
    WriteAll(path, file);
    AllocationMeter meter;
    const int cause = CaughtCause<CArchiveException>([&] { bin.load(path.c_str()); });
    if (peak != nullptr) *peak = meter.PeakAboveStart();
    return cause;
  }
  int Load(const Bytes& file, std::size_t* peak = nullptr) {
    CMeshBin bin;
    return Load(file, bin, peak);
  }
  // Reads one mesh through a file that cannot tell its length; answers the
  // archive cause raised (-1: none) and the peak heap above the start.
  int LoadLengthless(BinMeshData& back, std::size_t* peak) {
    LengthlessFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    AllocationMeter meter;
    const int cause = CaughtCause<CArchiveException>([&] { ar >> back; });
    *peak = meter.PeakAboveStart();
    return cause;
  }
  void ExpectBoundedPerByte(const char* what, const Bytes& file, bool truncated) {
    ASSERT_LE(file.size(), kFileLimit);
    std::size_t peak = 0;
    EXPECT_EQ(Load(file, &peak), truncated ? CArchiveException::endOfFile : -1) << what;
    EXPECT_LE(peak, kMaxBytesPerFileByte * file.size()) << what;
  }
  ScratchDir dir;
  const std::string path = dir.Path("meshes.bin");
};

TEST_F(MeshLoadBoundsTest, AValidFileIsLoadedWithoutRegrowingItsLists) {
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
  for (std::size_t i = 0; i < faces; ++i) AppendSmallestFace(bytes, i);
  WriteAll(path, bytes.bytes());
  back = BinMeshData();
  EXPECT_EQ(LoadLengthless(back, &peak), CArchiveException::endOfFile);
  EXPECT_LE(peak, kMaxBytesPerFileByte * bytes.bytes().size());
  // Every face really present, and at most the one the file ended in.
  ASSERT_GE(back.faces.size(), faces);
  EXPECT_LE(back.faces.size(), faces + 1);
  EXPECT_EQ(back.faces[faces - 1].number, static_cast<int>(faces - 1));
}

TEST_F(MeshLoadBoundsTest, EveryTruncationRaisesEndOfFile) {
  CMeshBin bin;
  bin.meshes.push_back(SampleMesh(1, 2));
  bin.meshes.push_back(SampleMesh(2, 0));
  bin.meshes[1].name = CString(std::string(260, 'w').c_str());
  const std::string wholePath = dir.Path("whole.bin");
  bin.save(wholePath.c_str());
  const Bytes whole = ReadAll(wholePath);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(Load(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
              CArchiveException::endOfFile)
        << "cut at " << size;
  }
  EXPECT_EQ(Load(whole), -1);
  CMeshBin partly;  // a load cut in the last mesh leaves the list partly read
  EXPECT_EQ(Load(Bytes(whole.begin(), whole.end() - 1), partly), CArchiveException::endOfFile);
  ASSERT_EQ(partly.meshes.size(), 2u);
  EXPECT_TRUE(partly.meshes[0].faces[1] == bin.meshes[0].faces[1]);
}

TEST_F(MeshLoadBoundsTest, HugeCountsInTinyFilesFailFast) {
  const ByteBuilder oneMesh = ByteBuilder().U32(1).U32(1);
  const Bytes files[] = {
      ByteBuilder().U32(0xFFFFFFFF).U32(1).U32(0x41414141).bytes(),      // meshes
      ByteBuilder(oneMesh).U8(0).U32(0).U32(0xFFFFFFFF).U32(9).bytes(),  // mesh indices
      ByteBuilder(oneMesh).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFF).bytes(),  // name
                                                                                          // length
  };
  for (const Bytes& file : files) {
    std::size_t peak = 0;
    EXPECT_EQ(Load(file, &peak), CArchiveException::endOfFile) << ::testing::PrintToString(file);
    EXPECT_LT(peak, 256u * 1024u) << ::testing::PrintToString(file);
  }
}

TEST_F(MeshLoadBoundsTest, SmallestMeshesAndFacesCostLittlePerByte) {
  const std::size_t meshes = (kFileLimit - 4) / 13, faces = (kFileLimit - 4 - 13) / 36;
  for (const bool tooLarge : {false, true}) {
    ByteBuilder meshFile, faceFile;
    meshFile.U32(tooLarge ? 0xFFFFFFFFu : meshes);
    for (std::size_t i = 0; i < meshes; ++i) meshFile.U32(0).U8(0).U32(0).U32(0);
    ExpectBoundedPerByte(tooLarge ? "meshes, count too large" : "empty meshes", meshFile.bytes(),
                         tooLarge);
    faceFile.U32(1).U32(0).U8(0).U32(tooLarge ? 0xFFFFFFFFu : faces);
    for (std::size_t i = 0; i < faces; ++i) AppendSmallestFace(faceFile, 0);
    if (!tooLarge) faceFile.U32(0);
    ExpectBoundedPerByte(tooLarge ? "faces, count too large" : "empty faces", faceFile.bytes(),
                         tooLarge);
  }
}

TEST_F(MeshLoadBoundsTest, ListsAndTextsCostLittlePerByte) {
  for (int list = 0; list < 5; ++list) {  // each face list claiming four billion elements
    ByteBuilder file;
    file.U32(1).U32(0).U8(0).U32(1);
    for (int before = 0; before < list; ++before) file.U32(0);
    file.U32(0xFFFFFFFFu);
    while (file.bytes().size() + 4 <= kFileLimit) file.U32(0x3F800000u);
    ExpectBoundedPerByte("list, count too large", file.bytes(), true);
  }
  // Names of one wide character each (converted on the way in), and a name
  // claiming more than the file holds.
  ByteBuilder wide, longName;
  const std::size_t count = (kFileLimit - 4) / 19;
  wide.U32(static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i)
    wide.U32(0).U8(0xFF).U16(0xFFFE).U8(1).U16(0x4E2D).U32(0).U32(0);
  ExpectBoundedPerByte("wide names", wide.bytes(), false);
  longName.U32(1).U32(0).U8(0xFF).U16(0xFFFF).U32(0x7FFFFFF0u);
  while (longName.bytes().size() < kFileLimit) longName.U8('x');
  ExpectBoundedPerByte("name longer than file", longName.bytes(), true);
}

}  // namespace
