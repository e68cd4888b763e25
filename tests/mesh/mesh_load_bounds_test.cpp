// What loading costs and where it stops: a file that cannot tell its length still loads whole;
// every truncation (the empty file included) ends in endOfFile; counts or lengths larger than the
// data fail with memory for the bytes present only, up to files of 1 MB built to cost the loader
// the most memory per byte.
#include <corvane/mesh/mesh_archive.h>
#include <corvane/mesh/mesh_bin.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "support/allocation_meter.h"
#include "support/lengthless_file.h"
#include "support/mesh_sample.h"
#include "support/scratch_dir.h"

namespace {

using namespace corvane_test;

constexpr std::size_t kFileLimit = 1024 * 1024;
// A load may cost the archive buffer and the path, and per byte of the file a few times the
// smallest record it can hold (a face is 36 bytes on disk at least, several times that in memory,
// and a growing list briefly holds its old and new storage).
constexpr std::size_t kFixedCost = 256 * 1024;
constexpr std::size_t kCostPerFileByte = 16;

// The smallest face: five empty lists, an empty text, number, flags, factor.
ByteBuilder SmallestFace(std::size_t number) {
  ByteBuilder face;
  face.U32(0).U32(0).U32(0).U32(0).U32(0).U8(0).U32(number);
  return face.U8(0).U8(0).F64(1).U8(0);
}

// `head`, then as many copies of `record` as fit in kFileLimit bytes.
Bytes Fill(ByteBuilder head, const ByteBuilder& record) {
  while (head.bytes().size() + record.bytes().size() <= kFileLimit) head.Append(record.bytes());
  return head.bytes();
}

// Runs `load`: the archive cause it raised (-1: none), and in `peak` the peak heap above its start.
int Cause(const std::function<void()>& load, std::size_t* peak = nullptr) {
  AllocationMeter meter;
  const int cause = CaughtCause<CArchiveException>(load);
  if (peak != nullptr) *peak = meter.PeakAboveStart();
  return cause;
}

class MeshLoadBoundsTest : public ::testing::Test {
 protected:
  // Writes `file` and loads it (into `bin` when given).
  int Load(const Bytes& file, std::size_t* peak = nullptr, CMeshBin* bin = nullptr) {
    WriteAll(path, file);
    CMeshBin fresh;
    return Cause([&] { (bin ? *bin : fresh).load(path.c_str()); }, peak);
  }
  ScratchDir dir;
  const std::string path = dir.Path("meshes.bin");
};

// Far more faces than one archive buffer holds, read through a file that cannot
// tell its length: once as counted, once with a count of four billion.
TEST_F(MeshLoadBoundsTest, ALengthlessFileLoadsWholeAndACountBeyondItEndsWithBoundedMemory) {
  const std::size_t faces = 20000;
  ByteBuilder body;
  for (std::size_t i = 0; i < faces; ++i) body.Append(SmallestFace(i).bytes());
  for (const std::size_t count : {faces, std::size_t(0xFFFFFFFFu)}) {
    WriteAll(path, ByteBuilder().U32(1).U8(0).U32(count).Append(body.bytes()).U32(0).bytes());
    LengthlessFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    BinMeshData back;
    std::size_t peak = 0;
    EXPECT_EQ(Cause([&] { ar >> back; }, &peak),
              count == faces ? -1 : CArchiveException::endOfFile);
    EXPECT_LE(peak, kCostPerFileByte * body.bytes().size());
    // Every face really present, and at most the one the file ended in.
    ASSERT_GE(back.faces.size(), faces);
    ASSERT_LE(back.faces.size(), faces + 1);
    EXPECT_EQ(back.faces[faces - 1].number, static_cast<int>(faces - 1));
  }
}

TEST_F(MeshLoadBoundsTest, EveryTruncationAndCountBeyondTheDataEndsInEndOfFileCheaply) {
  CMeshBin bin, partly;
  bin.meshes = {SampleMesh(1, 2), SampleMesh(2, 0)};
  bin.meshes[1].name = CString('w', 260);  // a word-sized prefix
  bin.save(path.c_str());
  const Bytes whole = ReadAll(path);
  for (std::size_t size = 0; size < whole.size(); ++size)
    ASSERT_EQ(Load(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))),
              CArchiveException::endOfFile)
        << "cut at " << size;
  // A load cut in the last mesh leaves the list partly read.
  EXPECT_EQ(Load(Bytes(whole.begin(), whole.end() - 1), nullptr, &partly),
            CArchiveException::endOfFile);
  ASSERT_EQ(partly.meshes.size(), 2u);
  EXPECT_TRUE(partly.meshes[0].faces[1] == bin.meshes[0].faces[1]);

  const ByteBuilder emptyMesh = ByteBuilder().U32(0).U8(0).U32(0).U32(0);
  const std::pair<Bytes, bool> truncatedOrNot[] = {
      // Files of 1 MB made of the records that cost the most memory per byte.
      {Fill(ByteBuilder().U32((kFileLimit - 4) / 13), emptyMesh), false},
      {Fill(ByteBuilder().U32(~0u), emptyMesh), true},
      // One mesh with one face whose first list claims four billion points.
      {Fill(ByteBuilder().U32(1).U32(0).U8(0).U32(1).U32(~0u), ByteBuilder().U32(0x3F800000u)),
       true}};
  for (const auto& [file, truncated] : truncatedOrNot) {
    std::size_t peak = 0;
    EXPECT_EQ(Load(file, &peak), truncated ? CArchiveException::endOfFile : -1) << file.size();
    EXPECT_LE(peak, kFixedCost + kCostPerFileByte * file.size()) << file.size();
  }
}

}  // namespace
